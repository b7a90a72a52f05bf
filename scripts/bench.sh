#!/usr/bin/env bash
# Builds the INI benchmark optimised and runs it: times, then our library's ratios to the others.
# Extra arguments go to Google Benchmark (for example --benchmark_filter=load).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset bench >/dev/null
cmake --build --preset bench --target tess_ini_bench -j "$(nproc)"
exec build/bench/bench/tess_ini_bench "$@"
