#!/usr/bin/env bash
# Installs what is missing, builds Tolvane for Linux and for Windows (MinGW-w64) and runs the whole
# test suite of each, the Windows one under Wine; builds it again with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs the end-to-end tests on that; then cross-builds it for each
# Arm Linux (arm64, armhf), runs its window, package and robustness tests under qemu and makes its
# Debian package. Under CI (CI=true) warnings are errors in every build.
# With a CMake older than 3.25 (Debian 11, Ubuntu 22.04), which has no workflow presets, it makes
# and tests what that generation's users install, the Debian package, with plain CMake.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/packages.sh"

install_part package-tests
cd "$root"
version=$(cmake --version | sed -n '1s/^cmake version //p')
if [ "$(printf '%s\n' 3.25 "$version" | sort -V | head -n 1)" != 3.25 ]; then
    echo "== CMake $version has no workflow presets: the Debian package alone, made as the README says"
    build=build/default
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release ${CI:+-DCMAKE_CXX_FLAGS=-Werror}
    cmake --build "$build" --parallel
    cd "$build"
    cpack -G DEB
    ctest -R '^package$' --output-on-failure ${CI:+--verbose}
    exit
fi

install_tests
presets=(default windows sanitize)
for architecture in $CROSS_ARCHITECTURES; do
    if install_part "$architecture"; then
        presets+=("linux-$architecture")
    elif [[ " $UNFETCHED " == *" $architecture "* ]]; then
        # Its libraries must be the very versions of this machine's own, which the lists lack.
        echo "== Leaving out the $architecture build: its packages cannot be installed while the mirror's" \
            "$architecture package lists fail (above), a fault outside Tolvane" >&2
        # Where none of its packages went in, apt need not fetch its lists again.
        dpkg-query -W -f='${Architecture}\n' | grep -qx "$architecture" || as_root dpkg --remove-architecture "$architecture"
    else
        exit 1
    fi
done
# sway runs as nobody here and shares its buffers with Xwayland through /dev/shm, which every
# system opens to all; a bare chroot may have only the folder beneath, open to root alone.
if [ "$(stat -c %a /dev/shm)" != 1777 ]; then
    echo "Mounting a /dev/shm open to all (this one is $(stat -c %A /dev/shm))"
    as_root mount -t tmpfs -o mode=1777,nosuid,nodev tmpfs /dev/shm
fi
for preset in "${presets[@]}"; do
    if [ "${CI:-}" = true ]; then  # each build's preset with warnings as errors (sanitize has them)
        case $preset in default) preset=ci ;; sanitize) ;; *) preset=$preset-ci ;; esac
    fi
    echo "== cmake --workflow --preset $preset"
    cmake --workflow --preset "$preset"
done
