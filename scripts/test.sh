#!/usr/bin/env bash
# Installs what is missing, builds Tolvane for Linux and for Windows (MinGW-w64) and runs the whole
# test suite of each, the Windows one under Wine; then builds it again with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs the end-to-end tests on that. Under CI (CI=true) warnings are
# errors in every build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/packages.sh"

install_tests
presets=(default windows sanitize)
[ "${CI:-}" = true ] && presets=(ci windows-ci sanitize)
for preset in "${presets[@]}"; do
    echo "== cmake --workflow --preset $preset"
    cmake --workflow --preset "$preset"
done
