#!/usr/bin/env bash
# The Debian packages that building and testing Tolvane need. Sourced by run.sh and test.sh; run
# it as a command to set up one part only: scripts/packages.sh linux|linux-tests|windows|windows-tests

# Debian's freeglut package links libXi and libXxf86vm without pulling in their -dev packages.
BUILD_PACKAGES="cmake make g++ libglut-dev libxi-dev libxxf86vm-dev"
# A virtual display with Mesa's software GL, and the tools that look at it and type into it.
DISPLAY_PACKAGES="xvfb xauth libgl1-mesa-dri xdotool imagemagick"
TEST_PACKAGES="$DISPLAY_PACKAGES python3 python3-pytest openbox wmctrl x11-utils mesa-utils apitrace
    clang-tidy cppcheck"
# The Windows build: MinGW-w64, and dpkg-dev to unpack freeglut's Debian source package.
WINDOWS_PACKAGES="cmake make g++-mingw-w64-x86-64-posix dpkg-dev"
# Wine for 64-bit programs, and the X and GL libraries that its display driver loads at run time
# (recommended by Wine, so left out of a minimal install).
WINDOWS_TEST_PACKAGES="$DISPLAY_PACKAGES python3 python3-pytest openbox wmctrl x11-utils wine wine64
    libgl1 libxcursor1 libxi6 libxrandr2 libxrender1 libxfixes3 libxinerama1 libxcomposite1 libxxf86vm1"

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

install_missing() {
    local missing=() package
    for package in "$@"; do
        dpkg-query -W -f='${db:Status-Abbrev}' "$package" 2>/dev/null | grep -q '^ii' || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing ${missing[*]}"
    as_root apt-get update -qq &&
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
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
    as_root apt-get update -qq
}

install_part() {
    case "$1" in
        linux) install_missing $BUILD_PACKAGES ;;
        linux-tests) install_missing $BUILD_PACKAGES $TEST_PACKAGES ;;
        windows) install_missing $WINDOWS_PACKAGES && enable_source_packages ;;
        windows-tests) install_missing $WINDOWS_PACKAGES $WINDOWS_TEST_PACKAGES && enable_source_packages ;;
        *) echo "unknown part '$1': expected linux, linux-tests, windows or windows-tests" >&2; return 2 ;;
    esac
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    set -euo pipefail
    [ $# -gt 0 ] || set -- linux-tests windows-tests
    for part in "$@"; do
        install_part "$part"
    done
fi
