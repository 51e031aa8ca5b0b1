#!/usr/bin/env bash
# Installs what is missing, builds Tolvane for Linux and for Windows (MinGW-w64) and runs the whole
# test suite of each, the Windows one under Wine; builds it again with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs the end-to-end tests on that; then cross-builds it for arm64
# Linux, runs its window, package and robustness tests under qemu and makes its Debian package. Under CI
# (CI=true) warnings are errors in every build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/packages.sh"

install_tests
install_part arm64
# sway runs as nobody here and shares its buffers with Xwayland through /dev/shm, which every
# system opens to all; a bare chroot may have only the folder beneath, open to root alone.
if [ "$(stat -c %a /dev/shm)" != 1777 ]; then
    echo "Mounting a /dev/shm open to all (this one is $(stat -c %A /dev/shm))"
    as_root mount -t tmpfs -o mode=1777,nosuid,nodev tmpfs /dev/shm
fi
presets=(default windows sanitize linux-arm64)
[ "${CI:-}" = true ] && presets=(ci windows-ci sanitize linux-arm64-ci)
for preset in "${presets[@]}"; do
    echo "== cmake --workflow --preset $preset"
    cmake --workflow --preset "$preset"
done
