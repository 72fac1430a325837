#!/usr/bin/env bash
# The demo: the add-in installed into the build's private Wine prefix as a user installs it, then
# one scripted Word session (wordsim) that a newcomer can follow step by step: the toolbar appears,
# wildcards are inserted, the wildcard dialog reorders them, the document becomes a template, the
# info dialog opens and a failing action shows the error report. Each step prints what it did.
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source=$(cd "$here/.." && pwd)
bin=$build/win64/bin
out=$build/demo

echo "== Quillora TemplateEditor: what was built"
for arch in win64:x86_64 win32:i686; do
  dir=${arch%%:*} triple=${arch##*:}
  dll=$build/$dir/bin/QloraWordAddIn.dll
  printf '  %-40s %8d bytes\n' "${dll#"$build"/}" "$(stat -c %s "$dll")"
  "$here/check-dll.sh" "$dll" "$triple" | sed 's/^/    /'
done

rm -rf "$out" && mkdir -p "$out"
cp "$source/demo/Offer.txt" "$out/"
rm -f "$bin/Errors.txt"

# Dialogs need a display, even an invisible one.
xvfb-run -a -s "-screen 0 1280x1024x24" "$here/demo-session.sh" "$build"

list="${WINEPREFIX:-$build/wineprefix}/drive_c/users/$(id -un)/AppData/Local/Tandrel/Quillora/NewTemplates.ini"
echo
echo "== What the session left behind"
echo "  the template:        $out/Offer.doc ($(stat -c %s "$out/Offer.doc") bytes of RTF)"
if [[ -f "$list" ]]; then
  echo "  NewTemplates.ini:    $list"
  sed 's/^/                       /' "$list"
fi
echo "  Errors.txt:          $bin/Errors.txt ($(grep -c 'Method:' "$bin/Errors.txt") reported failure)"
echo "  dialog pictures:     $out/*.png"
for png in "$out"/*.png; do echo "                       $(basename "$png")"; done
if [[ -d "$build/win64/screenshots" ]]; then
  echo "  both languages:      $build/win64/screenshots/ (made by make test)"
fi
