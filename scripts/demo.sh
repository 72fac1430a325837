#!/usr/bin/env bash
# The demo: what the build made, and the add-in's own first words under Wine.
set -euo pipefail
build=$1
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

echo "Quillora TemplateEditor: what was built"
for arch in win64:x86_64 win32:i686; do
  dir=${arch%%:*} triple=${arch##*:}
  dll=$build/$dir/bin/QloraWordAddIn.dll
  printf '  %-40s %8d bytes\n' "${dll#"$build"/}" "$(stat -c %s "$dll")"
  "$here/check-dll.sh" "$dll" "$triple" | sed 's/^/    /'
done
echo
echo "The add-in's texts and wildcards, as the DLL's code sees this Windows (Wine):"
"$here/wine-run" "$build/win64/bin/qlora_demo.exe"
