#!/usr/bin/env bash
# Builds the INI loader's fuzz target and runs it for a bounded time; non-zero on any finding.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${TESS_FUZZ_SECONDS:-60}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target tess_ini_load_fuzz -j "$(nproc)"
# The fuzzer adds what it finds to its corpus: work on a copy, keep the committed seeds clean.
corpus=build/fuzz/corpus/ini_load
mkdir -p "$corpus" build/fuzz/findings
cp -n tests/fuzz/corpus/* "$corpus"/
exec build/fuzz/tests/fuzz/tess_ini_load_fuzz -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 -artifact_prefix=build/fuzz/findings/ "$corpus"
