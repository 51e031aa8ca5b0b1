# Sourced by run.sh and test.sh: installs the Debian packages that are missing, and only those.

# Debian's freeglut package links libXi and libXxf86vm without pulling in their -dev packages.
BUILD_PACKAGES="cmake make g++ libglut-dev libxi-dev libxxf86vm-dev"
# A virtual display with Mesa's software GL, and the tools that look at it and type into it.
DISPLAY_PACKAGES="xvfb xauth libgl1-mesa-dri xdotool imagemagick"
TEST_PACKAGES="$DISPLAY_PACKAGES python3 python3-pytest openbox wmctrl x11-utils mesa-utils apitrace"

install_missing() {
    local missing=() package
    for package in "$@"; do
        dpkg-query -W -f='${db:Status-Abbrev}' "$package" 2>/dev/null | grep -q '^ii' || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null || { echo "Missing packages (${missing[*]}): run this as root, or install sudo." >&2; return 1; }
        sudo=(sudo)
    fi
    echo "Installing ${missing[*]}"
    "${sudo[@]}" apt-get update -qq &&
        "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}
