#!/usr/bin/env bash
# Installs what is missing, builds Tolvane for Linux and for Windows (MinGW-w64) and runs the whole
# test suite of each, the Windows one under Wine; then builds it again with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs the end-to-end tests on that. Under CI (CI=true) warnings are
# errors in every build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/packages.sh"

install_part linux-tests
install_part windows-tests
cd "$root"
if [ "${CI:-}" = true ]; then
    # The Windows build first: the ci build's benchmark smoke test measures its program too.
    presets=(windows-ci ci sanitize)
else
    presets=(windows default sanitize)
fi
for preset in "${presets[@]}"; do
    echo "== cmake --workflow --preset $preset"
    cmake --workflow --preset "$preset"
done
