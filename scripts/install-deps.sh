#!/usr/bin/env bash
# Installs what the builds and tests need on Debian 12 (run as root); quiet when all is there.
set -euo pipefail
pkgs=(cmake make g++ g++-mingw-w64-x86-64 wine wine64 xvfb xdotool x11-apps x11-utils imagemagick
      googletest libbenchmark-dev clang-14 libclang-rt-14-dev libinih-dev libsimpleini-dev
      fonts-liberation fonts-dejavu-core chromium python3)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
