#!/usr/bin/env bash
# Solves the positions on standard input, one a line: the n * n numbers of a board in reading
# order, 0 for the empty cell. Prints "<length> <moves> <milliseconds> <optimal|found>" for each
# line (moves as U D L R, the direction in which a tile slides into the empty cell; "-" for a
# solved board), "-1 - 0 invalid" for a line that is no board, and then exits 1. The time to
# read or compute the tables goes to standard error, once. Extra arguments go to the solver
# (--cache=FILE: keep the tables in FILE; --cache= : in memory only).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh >&2
cmake --preset native-release >/dev/null
cmake --build --preset native-release --target tess_solve -j "$(nproc)" >/dev/null
exec build/native-release/game/solver/tess_solve "$@"
