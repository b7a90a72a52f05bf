#!/usr/bin/env bash
# Builds the Windows release and writes dist/tessarino-<version>-win64.zip; prints its path and SHA-256.
#
# The archive holds tessarino.exe, its help page zib.htm and LIESMICH.txt for the players. The
# same sources give the same archive: the program builds reproducibly (no time stamps in it),
# and every entry gets the time of SOURCE_DATE_EPOCH (default: the last commit), fixed
# attributes and a fixed place.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
export SOURCE_DATE_EPOCH="${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 315532800)}"
cmake --preset windows >/dev/null
cmake --build --preset windows --target tessarino -j "$(nproc)" >/dev/null
build=build/windows
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
exe="$build/game/tessarino.exe"
size=$(stat -c %s "$exe")
if [ "$size" -ge $((600 * 1024)) ]; then echo "tessarino.exe is $size bytes, over its 600 KB"; exit 1; fi

mkdir -p dist
zip="dist/tessarino-$version-win64.zip"
python3 - "$zip" "$exe" "$build/game/zib.htm" resources/LIESMICH.txt <<'PY'
import os, sys, time, zipfile
out, *files = sys.argv[1:]
# A zip time has no zone and starts in 1980.
stamp = time.gmtime(max(int(os.environ["SOURCE_DATE_EPOCH"]), 315532800))[:6]
with zipfile.ZipFile(out + ".tmp", "w") as z:
    for path in files:
        entry = zipfile.ZipInfo(os.path.basename(path), date_time=stamp)
        entry.create_system = 0  # MS-DOS: no Unix owner or mode bits
        entry.external_attr = 0x20  # archive bit only
        entry.compress_type = zipfile.ZIP_DEFLATED
        with open(path, "rb") as f:
            z.writestr(entry, f.read(), compresslevel=9)
os.replace(out + ".tmp", out)
PY
echo "$zip"
sha256sum "$zip" | cut -d' ' -f1
