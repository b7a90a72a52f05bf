#!/usr/bin/env bash
# Builds the benchmarks optimised and runs them: how often kills tear a settings file written in
# place and one saved atomically, then the INI times and our library's ratios to the others.
# Extra arguments go to Google Benchmark (for example --benchmark_filter=load).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset bench >/dev/null
cmake --build --preset bench --target tess_ini_bench tess_save_tear_bench -j "$(nproc)"
build/bench/bench/tess_save_tear_bench
exec build/bench/bench/tess_ini_bench "$@"
