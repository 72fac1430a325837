#!/usr/bin/env bash
# The demo's Word session, on a display: the add-in installed for this user in the build's Wine
# prefix, then wordsim running demo/session.wordsim with the demo's folder filled in.
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source=$(cd "$here/.." && pwd)
run="$here/wine-run"
bin=$build/win64/bin
out=$build/demo
export WINEPREFIX=${WINEPREFIX:-$build/wineprefix} WINEDEBUG=${WINEDEBUG:--all}

# Wine's services start first, away from this output.
wineserver -p
"$run" wineboot >/dev/null 2>&1 </dev/null
trap 'wineserver -k 2>/dev/null || true' EXIT

echo
echo "== Installing the add-in for this user (regsvr32 /n /i:user, and Word's add-in key)"
# A first run: no toolbar place, wildcard choice or template recorded yet.
"$here/install-addin.sh" "$bin"

echo
echo "== Word (wordsim) runs the user's session: demo/session.wordsim"
winout=$("$run" winepath -w "$out")
sed "s|@OUT@|${winout//\\/\\\\}|g" "$source/demo/session.wordsim" >"$out/session.wordsim"
# A dialog the script does not answer would wait for ever: the session gets five minutes.
timeout 300 "$run" "$bin/wordsim.exe" "$("$run" winepath -w "$out/session.wordsim")" </dev/null
