#!/usr/bin/env bash
# Installs the built add-in for this user in the Wine prefix, as the installer does: per-user COM
# registration (regsvr32 /n /i:user) and Word's add-in key with LoadBehavior 3. Its settings and
# template list are removed, so that Word meets it as on a first run.
#   install-addin.sh <folder of QloraWordAddIn.dll>
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
run="$here/wine-run"
addin_key='HKCU\Software\Microsoft\Office\Word\Addins\QloraWordAddIn.Connect'

dll=$("$run" winepath -w "$1/QloraWordAddIn.dll")
"$run" regsvr32 /s /n /i:user "$dll"
"$run" reg add "$addin_key" /v FriendlyName /t REG_SZ /d "Quillora TemplateEditor" /f >/dev/null
"$run" reg add "$addin_key" /v LoadBehavior /t REG_DWORD /d 3 /f >/dev/null
"$run" reg add "$addin_key" /v CommandLineSafe /t REG_DWORD /d 0 /f >/dev/null
"$run" reg delete 'HKCU\SOFTWARE\Tandrel\Quillora\Settings\WordAddIn' /f >/dev/null 2>&1 || true
rm -f "$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/Tandrel/Quillora/NewTemplates.ini"
echo "  registered $dll"
echo "  $addin_key: LoadBehavior 3"
