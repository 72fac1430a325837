#!/usr/bin/env bash
# Checks a built add-in DLL: the four COM exports are there and it imports nothing but
# Windows' own DLLs (no libstdc++, libgcc or winpthread beside it).
set -euo pipefail
dll=$1 arch=$2
dump=$("$arch-w64-mingw32-objdump" -p "$dll")
for export in DllRegisterServer DllUnregisterServer DllGetClassObject DllCanUnloadNow; do
  grep -q "\b$export\b" <<<"$dump" || { echo "FAIL $dll: export $export missing" >&2; exit 1; }
done
allowed='^(kernel32|user32|gdi32|advapi32|ole32|oleaut32|shell32|shlwapi|mpr|version|comdlg32|comctl32|msvcrt)\.dll$'
bad=$(grep 'DLL Name:' <<<"$dump" | awk '{print tolower($3)}' | grep -v -E "$allowed" || true)
if [[ -n "$bad" ]]; then echo "FAIL $dll imports non-system DLLs: $bad" >&2; exit 1; fi
grep -q 'VS_VERSION_INFO\|\.rsrc' <<<"$dump" || { echo "FAIL $dll: no resources" >&2; exit 1; }
echo "ok $dll ($arch): 4 COM exports, system imports only: $(grep 'DLL Name:' <<<"$dump" | awk '{print $3}' | tr '\n' ' ')"
