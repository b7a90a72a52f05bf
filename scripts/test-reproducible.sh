#!/usr/bin/env bash
# Two clean builds of tessarino.exe, in two build folders of different names, must give the same bytes.
#
# Only the program is built, each time from nothing and without a compiler cache, so that the
# compiler, the resource compiler and the linker all run twice.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
export SOURCE_DATE_EPOCH="${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 0)}"
export CCACHE_DISABLE=1
unset CMAKE_CXX_COMPILER_LAUNCHER CMAKE_C_COMPILER_LAUNCHER
dirs=(build/reproducible/first build/reproducible/second-build)
rm -rf build/reproducible
for dir in "${dirs[@]}"; do
  cmake -S . -B "$dir" -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$dir" --target tessarino -j "$(nproc)" >/dev/null
done
a="${dirs[0]}/game/tessarino.exe"
b="${dirs[1]}/game/tessarino.exe"
sha256sum "$a" "$b"
if ! cmp -s "$a" "$b"; then
  echo "FAILED: two clean builds gave different bytes of tessarino.exe"
  cmp -l "$a" "$b" | head -20
  exit 1
fi
rm -rf build/reproducible
echo "two clean builds gave the same tessarino.exe"
