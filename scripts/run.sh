#!/usr/bin/env bash
# Installs what is missing, builds Tolvane and runs it with the given arguments. Without a display,
# it runs it on a virtual one instead, saves a screenshot and ends it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/packages.sh"

install_missing $BUILD_PACKAGES
cd "$root"
cmake --preset default >/dev/null
cmake --build --preset default
program=$root/build/default/tolvane

if [ -n "${DISPLAY:-}" ]; then
    exec "$program" "$@"
fi
install_missing $DISPLAY_PACKAGES
echo "No display found: running Tolvane on a virtual one (Xvfb), taking a screenshot and closing it."
xvfb-run --auto-servernum --server-args="-screen 0 2200x1300x24 -nolisten tcp" \
    "$root/scripts/screenshot.sh" "$root/build/default/screenshot.png" "$program" "$@"
