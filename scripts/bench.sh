#!/usr/bin/env bash
# Installs what is missing, builds Tolvane and the benchmark (Release), and runs the benchmark on a
# virtual display of its own. Arguments go to bench/run.py: --rounds N, --seconds S.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/packages.sh"

install_part linux-tests
cd "$root"
cmake --preset default >/dev/null
cmake --build --preset default
build=$root/build/default
python3 "$root/bench/run.py" --tolvane "$build/tolvane" --reference "$build/bench/tolvane_reference" \
    --swapcount "$build/bench/libswapcount.so" "$@"
