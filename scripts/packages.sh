#!/usr/bin/env bash
# The Debian packages that building and testing Tolvane need. Sourced by run.sh, test.sh and
# bench.sh; run it as a command to set up one part only:
#   scripts/packages.sh linux|package|linux-tests|package-tests|windows|windows-tests|arm64|armhf

# freeglut's development package is libglut-dev from Debian 12 on and freeglut3-dev before: "a|b"
# takes whichever the system has, the first where it has both. Debian's freeglut links libXi and
# libXxf86vm without pulling in their -dev packages.
BUILD_PACKAGES="cmake make g++ libglut-dev|freeglut3-dev libxi-dev libxxf86vm-dev"
# The Debian package: dpkg-shlibdeps (with file, which CPack runs on each file) computes its
# dependencies, gzip compresses its manual page and changelog.
PACKAGE_PACKAGES="$BUILD_PACKAGES dpkg-dev file gzip"
# A virtual display with Mesa's software GL and a window manager, and the tools that look at it and
# type into it.
DISPLAY_PACKAGES="xvfb xauth libgl1-mesa-dri xdotool imagemagick openbox x11-utils x11-apps"
# What the package's tests need: pytest, the window's display, python3-xlib (which sends a window
# WM_DELETE_WINDOW), and what judges the Debian package.
PACKAGE_TEST_PACKAGES="$PACKAGE_PACKAGES $DISPLAY_PACKAGES python3 python3-pytest python3-xlib lintian desktop-file-utils"
# Then the other test tools, the static analysers, GLFW and SDL2 for the benchmark to compare
# freeglut with; the desktops' X window managers (muffin and marco abort without their settings
# daemons' GSettings schemas, KWin draws no frame without its Breeze style), their Wayland
# compositors with Xwayland and a session bus, and what lets one user's X clients on another's
# display (xhost), finds a compositor's Xwayland (procps) and sets and closes windows of labwc.
# "name?" is installed where the release has it: labwc came with Debian 13.
TEST_PACKAGES="$PACKAGE_TEST_PACKAGES wmctrl mesa-utils apitrace clang-tidy cppcheck libglfw3-dev libsdl2-dev
    xfwm4 muffin cinnamon-settings-daemon marco mate-settings-daemon-common kwin-x11 kwin-style-breeze
    mutter kwin-wayland weston sway labwc? wlr-randr? wlrctl? xwayland x11-xserver-utils
    dbus-daemon dbus-bin dbus-session-bus-common procps"
# The Windows build: MinGW-w64 (freeglut comes from its source package, fetched by the build), and
# NSIS for the installer.
WINDOWS_PACKAGES="cmake make g++-mingw-w64-x86-64-posix nsis"
# icoutils to read the exe's resources; Wine for 64-bit programs, and the X and GL libraries that
# its display driver loads at run time (recommended by Wine, so left out of a minimal install); the
# machine's own compiler and GL headers for the benchmark's frame counter, which runs beside Wine.
WINDOWS_TEST_PACKAGES="$DISPLAY_PACKAGES python3 python3-pytest wmctrl icoutils wine wine64 g++ libgl-dev
    libgl1 libxcursor1 libxi6 libxrandr2 libxrender1 libxfixes3 libxinerama1 libxcomposite1 libxxf86vm1"
# A build for another Linux machine (arm64, armhf), cross-compiled here: the cross toolchain and that
# machine's libraries installed beside this one's (multiarch), and qemu to run the result.
# freeglut's CMake package names libXi and libXxf86vm, so their -dev packages are needed; Mesa's
# drivers for that machine draw its window.
CROSS_ARCHITECTURES="arm64 armhf"
cross_packages() {
    echo "crossbuild-essential-$1 libglut-dev:$1 libgl-dev:$1 libxi-dev:$1 libxxf86vm-dev:$1 libgl1-mesa-dri:$1 qemu-user"
}

as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null; then
        sudo "$@"
    else
        echo "Need root for: $* (run this as root, or install sudo)" >&2
        return 1
    fi
}

# apt-get update, again where a mirror answers mid-sync ("Mirror sync in progress?"); an install
# that fails so is tried again after it. UNFETCHED names the architectures whose package lists
# failed the last time.
UNFETCHED=""
update() {
    local attempt said
    for attempt in 1 2 3; do
        said=$(as_root apt-get update -qq 2>&1) && { UNFETCHED=""; return 0; }
        echo "$said" >&2
        echo "apt-get update failed (attempt $attempt of 3)" >&2
        [ "$attempt" = 3 ] || sleep 20
    done
    UNFETCHED=$(grep -o 'binary-[a-z0-9]*/Packages' <<<"$said" | sed 's|binary-||; s|/Packages||' | sort -u | xargs || true)
    # A mirror that stays mid-sync leaves a list old or missing. Go on with what apt has: an install
    # that needs what is missing fails, and says what it lacks.
    echo "Going on with the package lists that apt has${UNFETCHED:+ (those for $UNFETCHED failed)}" >&2
}

installed() {
    local package
    for package in ${1//[|?]/ }; do
        [[ $(dpkg-query -W -f='${db:Status-Abbrev}' "$package" 2>/dev/null) == ii* ]] && return 0
    done
    return 1
}

# The first of "a|b|..." that the package lists offer for installing; nothing for "a?" where they do not.
available() {
    local package
    for package in ${1//[|?]/ }; do
        # Read whole: under pipefail, grep -q leaving early would fail the pipe.
        [[ $(apt-cache policy "$package" 2>/dev/null) =~ Candidate:\ [^\(] ]] && { echo "$package"; return 0; }
    done
    [[ $1 == *\? ]] && return 0
    echo "None of the packages '$1' is available from this system's package sources." >&2
    return 1
}

install_missing() {
    local missing=() packages=() wanted
    for wanted in "$@"; do
        installed "$wanted" || missing+=("$wanted")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    update || return 1
    local package
    for wanted in "${missing[@]}"; do
        package=$(available "$wanted") || return 1
        [ -n "$package" ] && packages+=("$package")
    done
    [ ${#packages[@]} -eq 0 ] && return 0
    echo "Installing ${packages[*]}"
    local attempt
    for attempt in 1 2 3; do
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${packages[@]}" \
            >/dev/null && return 0
        echo "apt-get install failed (attempt $attempt of 3); the package lists again, then once more" >&2
        sleep 20
        update || return 1
    done
    return 1
}

# apt-get source needs deb-src entries. Where there are none, add them for the very archives that
# the binary packages come from, in a file of our own.
enable_source_packages() {
    local lists=(/etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources)
    # With -q, a match counts even where one of these files does not exist.
    grep -Eqs '^[[:space:]]*(deb-src[[:space:]]|Types:.*deb-src)' "${lists[@]}" && return 0

    echo "Enabling Debian source packages for the archives already configured"
    local list one_line="" stanzas=""
    for list in "${lists[@]}"; do
        [ -f "$list" ] || continue
        case "$list" in
            *.sources) stanzas+="$(sed 's/^Types:.*$/Types: deb-src/' "$list")"$'\n\n' ;;
            *) one_line+="$(sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$list")"$'\n' ;;
        esac
    done
    printf '%s' "$one_line" | as_root tee /etc/apt/sources.list.d/tolvane-deb-src.list >/dev/null
    printf '%s' "$stanzas" | as_root tee /etc/apt/sources.list.d/tolvane-deb-src.sources >/dev/null
    update
}

# A foreign architecture's packages install beside the machine's own once dpkg knows it.
add_architecture() {
    dpkg --print-foreign-architectures | grep -qx "$1" && return 0
    echo "Adding the $1 architecture to dpkg"
    as_root dpkg --add-architecture "$1" && update
}

install_part() {
    case "$1" in
        linux) install_missing $BUILD_PACKAGES ;;
        package) install_missing $PACKAGE_PACKAGES ;;
        package-tests) install_missing $PACKAGE_TEST_PACKAGES ;;
        linux-tests) install_missing $TEST_PACKAGES ;;
        windows) install_missing $WINDOWS_PACKAGES && enable_source_packages ;;
        windows-tests) install_missing $WINDOWS_PACKAGES $WINDOWS_TEST_PACKAGES && enable_source_packages ;;
        arm64|armhf) add_architecture "$1" && install_missing $(cross_packages "$1") ;;
        *) echo "unknown part '$1': expected linux, package, linux-tests, package-tests, windows, windows-tests," \
               "arm64 or armhf" >&2; return 2 ;;
    esac
}

# What the tests and the benchmark need, for the Linux and Windows builds; then work from the checkout.
install_tests() {
    install_part linux-tests && install_part windows-tests && cd "$(dirname "${BASH_SOURCE[0]}")/.."
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    set -euo pipefail
    [ $# -gt 0 ] || set -- linux-tests windows-tests $CROSS_ARCHITECTURES
    for part in "$@"; do
        install_part "$part"
    done
fi
