#!/usr/bin/env bash
# What the add-in costs Word, on a display: the add-in installed for this user in the build's Wine
# prefix, then wordsim measuring bench/addin-in-word.wordsim over a number of fresh Word runs.
#   measure.sh <build folder> <runs>
set -euo pipefail
build=$(cd "$1" && pwd)
runs=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source=$(cd "$here/.." && pwd)
run="$here/wine-run"
bin=$build/win64/bin
export WINEPREFIX=${WINEPREFIX:-$build/wineprefix} WINEDEBUG=${WINEDEBUG:--all}

wineserver -p
"$run" wineboot >/dev/null 2>&1 </dev/null
trap 'wineserver -k 2>/dev/null || true' EXIT

echo "== Installing the add-in for this user"
"$here/install-addin.sh" "$bin"
echo
echo "== wordsim /measure $runs bench/addin-in-word.wordsim"
timeout 600 "$run" "$bin/wordsim.exe" /measure "$runs" "$(winepath -w "$source/bench/addin-in-word.wordsim")" </dev/null
