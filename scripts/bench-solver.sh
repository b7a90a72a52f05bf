#!/usr/bin/env bash
# Builds the solver benchmark optimised and runs it over bench/solver_positions.txt; the
# figures follow Google Benchmark's table. Extra arguments go to Google Benchmark.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset bench >/dev/null
cmake --build --preset bench --target tess_solver_bench -j "$(nproc)"
exec build/bench/bench/tess_solver_bench "$@"
