#!/usr/bin/env bash
# Installs what is missing, builds Tolvane and the benchmark (Release) for Linux and for Windows, and
# runs the benchmark on a virtual display of its own, the Windows build under Wine. Arguments go to
# bench/run.py: --rounds N, --seconds S.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/packages.sh"

install_tests
for preset in windows default; do
    cmake --preset $preset >/dev/null
    cmake --build --preset $preset
done
build=$root/build/default
references=(--tolvane "$build/tolvane" --reference "$build/bench/tolvane_reference")
for toolkit in glfw sdl2; do
    [ -x "$build/bench/${toolkit}_reference" ] && references+=("--$toolkit" "$build/bench/${toolkit}_reference")
done
python3 "$root/bench/run.py" "${references[@]}" \
    --swapcount "$build/bench/libswapcount.so" --windows "$root/build/windows" "$@"
