#!/usr/bin/env bash
# Installs what is missing, builds Tolvane and runs it with the given arguments. Without a display,
# it runs it on a virtual one instead, saves a screenshot and ends it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/packages.sh"

install_missing $BUILD_PACKAGES
# Plain CMake rather than presets, which need CMake 3.25: this works from CMake 3.18 (Debian 11) on.
build=$root/build/default
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release | { grep '^-- Leaving out' || true; }
cmake --build "$build" --parallel --target tolvane
program=$build/tolvane

if [ -n "${DISPLAY:-}" ]; then
    exec "$program" "$@"
fi
install_missing $DISPLAY_PACKAGES
echo "No display found: running Tolvane on a virtual one (Xvfb) under openbox, taking a screenshot and closing it."
xvfb-run --auto-servernum --server-args="-screen 0 2200x1300x24 -nolisten tcp" \
    "$root/scripts/screenshot.sh" "$build/screenshot.png" "$program" "$@"
