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

# A long template: 200 pages (about 600,000 characters) with 1,000 inserted wildcards, then one
# "Check wildcards", which finds all marked and says so in a message box.
long="$build/check-wildcards.wordsim"
captions=(Subject Body Sender To Attachments Sent Received CC BCC Categories)
filler=$(printf 'The message below was printed for the files of the office; keep it with the case. %.0s' $(seq 7))
{
  echo "new"
  for i in $(seq 0 999); do
    echo "type ${filler}\\n"
    echo "click Quillora Toolbar/Insert wildcard/${captions[i % ${#captions[@]}]}"
  done
  echo "dialog Check wildcards | press OK"
  echo "click Quillora Toolbar/Check wildcards"
  echo "quit"
} >"$long"
echo
echo "== wordsim /measure 3: Check wildcards in 200 pages with 1,000 wildcards"
timeout 900 "$run" "$bin/wordsim.exe" /measure 3 "$(winepath -w "$long")" </dev/null | grep -E 'what Word|median|Check wildcards|Word starts' || true
