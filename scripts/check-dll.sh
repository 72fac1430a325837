#!/usr/bin/env bash
# Checks a built add-in DLL: the four COM exports are there, it imports nothing but Windows' own
# DLLs (no libstdc++, libgcc or winpthread beside it) and not those only its dialogs need, which
# they load when one opens, and what Word loads stays small.
set -euo pipefail
dll=$1 arch=$2
dump=$("$arch-w64-mingw32-objdump" -p "$dll")
for export in DllRegisterServer DllUnregisterServer DllGetClassObject DllCanUnloadNow; do
  grep -q "\b$export\b" <<<"$dump" || { echo "FAIL $dll: export $export missing" >&2; exit 1; }
done
allowed='^(kernel32|user32|gdi32|advapi32|ole32|oleaut32|shell32|shlwapi|mpr|version|msvcrt)\.dll$'
# What Word maps at every start: a ceiling that catches what does not belong in the DLL (debug
# information, iostreams and locales, a static import of a dialog DLL, libstdc++'s exception
# helpers with the string code behind them). Link-time optimised, the x64 DLL stands at 445 KB and
# the x86 one at 473 KB: its DWARF unwind tables and base relocations are larger than x64's.
max_bytes=$((500 * 1024))
bad=$(grep 'DLL Name:' <<<"$dump" | awk '{print tolower($3)}' | grep -v -E "$allowed" || true)
if [[ -n "$bad" ]]; then echo "FAIL $dll imports DLLs other than the system's it needs at load: $bad" >&2; exit 1; fi
bytes=$(stat -c %s "$dll")
((bytes <= max_bytes)) || { echo "FAIL $dll: $bytes bytes, more than $max_bytes" >&2; exit 1; }
grep -q '\.debug_' <<<"$("$arch-w64-mingw32-objdump" -h "$dll")" && { echo "FAIL $dll carries debug sections" >&2; exit 1; }
grep -q 'VS_VERSION_INFO\|\.rsrc' <<<"$dump" || { echo "FAIL $dll: no resources" >&2; exit 1; }
echo "ok $dll ($arch): $((bytes / 1024)) KB, 4 COM exports, system imports only: $(grep 'DLL Name:' <<<"$dump" | awk '{print $3}' | tr '\n' ' ')"
