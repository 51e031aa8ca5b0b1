#!/usr/bin/env bash
# Installs what is missing, builds Tolvane and runs the whole test suite. Under CI (CI=true) the
# build treats warnings as errors.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/packages.sh"

install_missing $BUILD_PACKAGES $TEST_PACKAGES
preset=default
[ "${CI:-}" = true ] && preset=ci
cd "$root"
cmake --workflow --preset "$preset"
