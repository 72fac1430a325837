#!/usr/bin/env bash
# What the add-in costs Word, on a display: the add-in installed for this user in the build's Wine
# prefix with the do-nothing add-in beside it, then wordsim measuring bench/addin-in-word.wordsim
# over a number of fresh Word runs, the add-in's load as a multiple of the do-nothing one's.
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

imports() { x86_64-w64-mingw32-objdump -p "$1" | awk '/DLL Name:/ {print tolower($3)}' | sort; }
if [[ "$(imports "$bin/QloraWordAddIn.dll")" != "$(imports "$bin/EmptyAddIn.dll")" ]]; then
  echo "EmptyAddIn.dll imports other DLLs than QloraWordAddIn.dll: the comparison would not be fair" >&2
  diff <(imports "$bin/QloraWordAddIn.dll") <(imports "$bin/EmptyAddIn.dll") >&2 || true
  exit 1
fi

echo "== Installing the add-in for this user, and beside it the do-nothing add-in EmptyAddIn.Connect"
"$here/install-addin.sh" "$bin"
# Registered as the installer registers the add-in: a class for this user and Word's add-in key.
empty_clsid='{8402BF9E-622F-440F-BE1C-F5D01D83F3E9}'
"$run" reg add 'HKCU\Software\Classes\EmptyAddIn.Connect\CLSID' /ve /d "$empty_clsid" /f >/dev/null
"$run" reg add "HKCU\\Software\\Classes\\CLSID\\$empty_clsid\\InprocServer32" /ve /d "$("$run" winepath -w "$bin/EmptyAddIn.dll")" /f >/dev/null
"$run" reg add 'HKCU\Software\Microsoft\Office\Word\Addins\EmptyAddIn.Connect' /v LoadBehavior /t REG_DWORD /d 3 /f >/dev/null
echo "  QloraWordAddIn.dll $(stat -c %s "$bin/QloraWordAddIn.dll") bytes, imports: $(imports "$bin/QloraWordAddIn.dll" | tr '\n' ' ')"
echo
echo "== wordsim /measure $runs /baseline EmptyAddIn.Connect bench/addin-in-word.wordsim"
timeout 900 "$run" "$bin/wordsim.exe" /measure "$runs" /baseline EmptyAddIn.Connect \
  "$("$run" winepath -w "$source/bench/addin-in-word.wordsim")" </dev/null

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
timeout 900 "$run" "$bin/wordsim.exe" /measure 3 "$("$run" winepath -w "$long")" </dev/null | grep -E 'what Word|median|Check wildcards|Word starts' || true
