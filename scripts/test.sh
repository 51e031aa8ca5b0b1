#!/usr/bin/env bash
# Installs what is missing, builds Tolvane for Linux and for Windows (MinGW-w64) and runs the whole
# test suite of each, the Windows one under Wine. Under CI (CI=true) warnings are errors.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/packages.sh"

install_part linux-tests
install_part windows-tests
cd "$root"
if [ "${CI:-}" = true ]; then
    presets=(ci windows-ci)
else
    presets=(default windows)
fi
for preset in "${presets[@]}"; do
    echo "== cmake --workflow --preset $preset"
    cmake --workflow --preset "$preset"
done
