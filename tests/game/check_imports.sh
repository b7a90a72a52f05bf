#!/usr/bin/env bash
# Fails when tessarino.exe imports a function that is not on the list of imports checked to exist on Windows Vista.
#
# The program declares Vista as the oldest Windows it runs on; one import that Vista lacks and
# the loader refuses to start it there ("entry point not found"). Listing every export of
# Vista is not practical, so the list holds exactly the imports the program has been checked
# for; a new import fails this test until someone has checked it and added it to the list.
# A newer function belongs behind a run-time look-up (common/later_windows.h) instead.
# Usage: check_imports.sh <objdump> <exe> <list>
set -euo pipefail
objdump=$1 exe=$2 list=$3

# "dll function" per import, the DLL in lower case; an import by number becomes "dll #n".
imports=$("$objdump" -p "$exe" | awk '
  /^The Import Tables/ { on = 1; next }
  on && /^The / { on = 0 }
  on && /DLL Name:/ { dll = tolower($3); next }
  on && dll != "" && /^\t[0-9a-f]+\t/ { print dll, ($3 == "" ? "#" $2 : $3) }
' | sort -u)
if [ -z "$imports" ]; then echo "no import table read from $exe"; exit 1; fi

allowed=$(sed -e 's/#.*//' -e '/^[[:space:]]*$/d' "$list" | awk '{ print tolower($1), $2 }' | sort -u)
unknown=$(comm -23 <(echo "$imports") <(echo "$allowed"))
if [ -n "$unknown" ]; then
  echo "imports not checked against Windows Vista (look each up; add it to $list only if Vista has it):"
  echo "$unknown" | sed 's/^/  /'
  exit 1
fi
echo "$(echo "$imports" | wc -l) imports, each on the list of functions Windows Vista has"
