#!/usr/bin/env bash
# Installs, upgrades, uses and uninstalls Quillora TemplateEditor with its setup, silently, as a
# user would, in a Wine prefix of its own that every run starts afresh:
#   scripts/test-installer.sh <build-dir>      (make installer first)
# One line per check, "ok ..." or "FAIL ..."; exits 1 when a check failed, 2 when it cannot start.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
[[ $# -eq 1 && -d $1 ]] || { echo "usage: $0 <build-dir>" >&2; exit 2; }
build=$(cd "$1" && pwd)

# Windows programs need a display, even for hidden windows.
if [[ -z ${DISPLAY:-} ]]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

export WINEPREFIX=$build/installer-prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES=mscoree,mshtml=
export LANG=C.UTF-8
# Programs named without a path (reg, cmd) are the 64-bit ones, as on 64-bit Windows, and see the
# registry as it is; a program given by its path runs with its own bitness.
wine=/usr/lib/wine/wine64

setup=$("$here/build-installer.sh" --path "$build") || exit 2
[[ -f $setup ]] || { echo "FAIL no setup at $setup: run make installer" >&2; exit 2; }
# The setup is a 32-bit program: a machine that starts none cannot run this test.
"$here/x86-runs.sh" "test-installer" "the setup is built, not run" || { rc=$?; [[ $rc -eq 1 ]] && exit 0; exit 2; }
wordsim=$build/win64/bin/wordsim.exe
wordsim32=$build/win32/bin/wordsim.exe
for program in "$wordsim" "$wordsim32"; do
  [[ -f $program ]] || { echo "FAIL no $program: run make win64 win32" >&2; exit 2; }
done

tmp=$(mktemp -d)
holder=
cleanup() {
  [[ -n $holder ]] && kill "$holder" 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT

failures=0
ok()    { echo "ok $*"; }
fail()  { echo "FAIL $*"; failures=$((failures + 1)); }
check() { local what=$1; shift; if "$@"; then ok "$what"; else fail "$what"; fi; }

# "name|type|data" per value of a registry key, sorted; nothing when the key is missing.
reg_values() {
  "$wine" reg query "$1" 2>/dev/null | tr -d '\r' |
    sed -n 's/^    \(.*\)    \(REG_[A-Z_]*\)    \(.*\)$/\1|\2|\3/p' | LC_ALL=C sort
}
key_exists() { "$wine" reg query "$1" >/dev/null 2>&1; }
key_missing() { ! key_exists "$1"; }
# The key holds exactly these values (EstimatedSize, which varies, is left to the caller).
has_values() {
  local key=$1; shift
  diff <(printf '%s\n' "$@" | LC_ALL=C sort) <(reg_values "$key" | grep -v '^EstimatedSize|') >/dev/null
}
reg_value() { reg_values "$1" | sed -n "s/^$2|[A-Z_]*|//p"; }
# Every line under HKCU\Software\Classes naming the add-in: its ProgIDs, classes, type library.
class_lines() { "$wine" reg query 'HKCU\Software\Classes' /s 2>/dev/null | grep -ci 'QloraWordAddIn'; }
nothing_registered() { key_missing "$addin_key" && key_missing "$uninst_key" && [[ $(class_lines) -eq 0 ]]; }

run_setup() { "$wine" "$1" /S </dev/null >/dev/null 2>&1; }
# Runs a wordsim script from stdin; its output goes to $tmp/wordsim.out.
run_wordsim() { "$wine" "$wordsim" >"$tmp/wordsim.out" 2>&1; }

# A fresh prefix: nothing from an earlier run can make a check pass.
wineserver -w 2>/dev/null
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
"$wine" wineboot -i >/dev/null 2>&1 </dev/null
wineserver -w

local_win=$("$wine" cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')
win_dir="$local_win\\Programs\\Quillora TemplateEditor"
dir=$("$wine" winepath -u "$win_dir" 2>/dev/null)
data_dir=$("$wine" winepath -u "$local_win\\Tandrel\\Quillora" 2>/dev/null)
dll64=$dir/x64/QloraWordAddIn.dll
dll32=$dir/x86/QloraWordAddIn.dll
addin_key='HKCU\Software\Microsoft\Office\Word\Addins\QloraWordAddIn.Connect'
uninst_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\QuilloraTemplateEditor'
settings_key='HKCU\SOFTWARE\Tandrel\Quillora\Settings\WordAddIn'
version=$(basename "$setup" | sed 's/^QuilloraTemplateEditor-\(.*\)-setup\.exe$/\1/')

addin_values=(
  'CommandLineSafe|REG_DWORD|0x0'
  'Description|REG_SZ|Turns Word documents into print templates for Quillora'
  'FriendlyName|REG_SZ|Quillora TemplateEditor'
  'LoadBehavior|REG_DWORD|0x3'
)
uninst_values=(
  "DisplayIcon|REG_SZ|$win_dir\\Uninstall.exe"
  'DisplayName|REG_SZ|Quillora TemplateEditor'
  "DisplayVersion|REG_SZ|$version"
  "InstallLocation|REG_SZ|$win_dir"
  'NoModify|REG_DWORD|0x1'
  'NoRepair|REG_DWORD|0x1'
  'Publisher|REG_SZ|Tandrel'
  "QuietUninstallString|REG_SZ|\"$win_dir\\Uninstall.exe\" /S"
  "UninstallString|REG_SZ|\"$win_dir\\Uninstall.exe\""
)

files_installed() {
  cmp -s "$dll64" "$build/win64/bin/QloraWordAddIn.dll" && cmp -s "$dll32" "$build/win32/bin/QloraWordAddIn.dll" &&
    [[ -f $dir/Uninstall.exe ]]
}

# The whole install, as the setup leaves it.
installed() {
  local clsid
  check "$1: both built DLLs and Uninstall.exe in $win_dir" files_installed
  check "$1: no backup DLL left" test ! -e "$dll64.old"
  clsid=$(reg_value 'HKCU\Software\Classes\QloraWordAddIn.Connect\CLSID' '(Default)')
  check "$1: QloraWordAddIn.Connect registered for the user with its CLSID ($clsid)" test -n "$clsid"
  check "$1: its in-process server is the installed x64 DLL" \
    test "$(reg_value "HKCU\\Software\\Classes\\CLSID\\$clsid\\InprocServer32" '(Default)')" = "$win_dir\\x64\\QloraWordAddIn.dll"
  check "$1: for 32-bit Word, in the 32-bit view of the classes, the installed x86 DLL" \
    test "$(reg_value "HKCU\\Software\\Classes\\Wow6432Node\\CLSID\\$clsid\\InprocServer32" '(Default)')" = "$win_dir\\x86\\QloraWordAddIn.dll"
  check "$1: Word's add-in key holds exactly its four values" has_values "$addin_key" "${addin_values[@]}"
  check "$1: the uninstall entry holds its values" has_values "$uninst_key" "${uninst_values[@]}"
  check "$1: the uninstall entry has an estimated size" \
    test "$(( $(reg_value "$uninst_key" EstimatedSize) ))" -gt 0
}

# 1. A setup whose x64 DLL cannot register (a damaged file: its first 4 KiB) fails and leaves
# nothing. (An x86 DLL in its place would register: 64-bit regsvr32 hands it to the 32-bit one.)
broken=$tmp/unregistrable-setup.exe
head -c 4096 "$build/win64/bin/QloraWordAddIn.dll" >"$tmp/QloraWordAddIn.dll"
if QLORA_SETUP_DLL64=$tmp/QloraWordAddIn.dll QLORA_SETUP_OUT=$broken \
     "$here/build-installer.sh" "$build" >/dev/null; then
  run_setup "$broken"; rc=$?
  check "failed registration: the setup exits 2 (got $rc)" test "$rc" -eq 2
  check "failed registration on a fresh machine: no install folder" test ! -e "$dir"
  check "failed registration on a fresh machine: no add-in, class or uninstall key" nothing_registered
else
  fail "failed registration: cannot build the setup with a damaged x64 DLL"
fi

# 2. Install, then install again over it: an upgrade in place.
run_setup "$setup"; rc=$?
check "install: the setup exits 0 (got $rc)" test "$rc" -eq 0
installed "install"
run_setup "$setup"; rc=$?
check "reinstall over the installed version: the setup exits 0 (got $rc)" test "$rc" -eq 0
installed "reinstall"
check "reinstall: one uninstall entry for Quillora TemplateEditor" test "$(
  "$wine" reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null |
    grep -c 'DisplayName    REG_SZ    Quillora TemplateEditor')" -eq 1

# 3. An upgrade whose registration fails keeps the installed version, registered.
if [[ -f $broken ]]; then
  run_setup "$broken"; rc=$?
  check "failed registration over an install: the setup exits 2 (got $rc)" test "$rc" -eq 2
  installed "failed registration over an install"
fi

# 4. While Word holds the add-in, neither setup nor uninstaller touches anything.
printf 'new\nwait 120000\nquit\n' >"$tmp/hold.txt"
"$wine" "$wordsim" <"$tmp/hold.txt" >"$tmp/hold.out" 2>&1 &
holder=$!
for _ in $(seq 60); do
  grep -q 'connected at start-up' "$tmp/hold.out" && break
  kill -0 "$holder" 2>/dev/null || break
  sleep 1
done
if grep -q 'QloraWordAddIn.Connect: connected at start-up' "$tmp/hold.out"; then
  before=$(stat -c '%i %Y %s' "$dll64")
  run_setup "$setup"; rc=$?
  check "Word running: the setup exits 2 (got $rc)" test "$rc" -eq 2
  check "Word running: the installed DLL was not replaced" test "$(stat -c '%i %Y %s' "$dll64")" = "$before"
  # _?= runs the uninstaller in place and takes the rest of the command line, unquoted: wine
  # joins the words of the path with single spaces, where one quoted argument would be quoted.
  read -ra in_place <<<"_?=$win_dir"
  "$wine" "$dir/Uninstall.exe" /S "${in_place[@]}" </dev/null >/dev/null 2>&1; rc=$?
  check "Word running: the uninstaller exits 2 (got $rc)" test "$rc" -eq 2
  installed "Word running"
else
  fail "Word running: wordsim did not load the add-in: $(tr -d '\r' <"$tmp/hold.out" | head -3)"
fi
kill "$holder" 2>/dev/null
wait "$holder" 2>/dev/null
holder=

# 5. The user's data, and the add-in's error log, before Word starts.
mkdir -p "$data_dir"
printf '[Templates]\nCount=1\n' >"$data_dir/NewTemplates.ini"
"$wine" reg add "$settings_key" /v LastFolder /d 'C:\Templates' /f >/dev/null 2>&1
printf 'an earlier error\r\n' >"$dir/x64/Errors.txt"

# 6. 64-bit and 32-bit Word each load their own DLL through the installed key and insert a
# wildcard with it. Wine names every DLL a program loads (+loaddll).
for bits in 64 32; do
  if [[ $bits == 64 ]]; then program=$wordsim folder=x64; else program=$wordsim32 folder=x86; fi
  printf 'new\nprint toolbars\nexpect Quillora Toolbar\nclick Quillora Toolbar/Insert wildcard/Subject\n%s\n%s\nquit\n' \
    'print document' 'expect Bookmark "WildCard_Subject" [0, 11) "<<Subject>>"' |
    WINEDEBUG=+loaddll "$wine" "$program" >"$tmp/wordsim.out" 2>&1; rc=$?
  word="$bits-bit Word"
  check "$word: wordsim runs the script and exits 0 (got $rc)" test "$rc" -eq 0
  check "$word: the add-in connects at start-up" grep -q 'add-in QloraWordAddIn.Connect: connected at start-up' "$tmp/wordsim.out"
  check "$word: it loads the installed $folder DLL" \
    grep -qiF "Loaded L\"${win_dir//\\/\\\\}\\\\$folder\\\\QloraWordAddIn.dll\"" "$tmp/wordsim.out"
  check "$word: its DLL can unload at quit" grep -q 'add-in QloraWordAddIn.Connect: released; its DLL can unload' "$tmp/wordsim.out"
  [[ $rc -eq 0 ]] || tr -d '\r' <"$tmp/wordsim.out" | grep -v ':trace:' | sed 's/^/  | /'
done

# 6b. A German user's Word shows the Quillora tab in German, and its menu inserts as the toolbar does.
printf 'new\nprint ribbon\nexpect Platzhalter einf\nribbon Quillora/Platzhalter einf\xc3\xbcgen/Betreff\n%s\n%s\nquit\n' \
  'print document' 'expect Bookmark "WildCard_Subject" [0, 11) "<<Betreff>>"' |
  LC_ALL=de_DE.UTF-8 LANG=de_DE.UTF-8 "$wine" "$wordsim" >"$tmp/wordsim.out" 2>&1; rc=$?
check "German Word: the Ribbon's Quillora tab is German and inserts <<Betreff>> (got $rc)" test "$rc" -eq 0
[[ $rc -eq 0 ]] || tr -d '\r' <"$tmp/wordsim.out" | sed 's/^/  | /'

# 7. Uninstall as Windows does, with the entry's QuietUninstallString. The uninstaller runs from
# a copy in TEMP and returns at once: wait until the prefix has no program running.
quiet=$(reg_value "$uninst_key" QuietUninstallString)
uninstaller=$(sed -n 's/^"\([^"]*\)".*/\1/p' <<<"$quiet")
read -ra args <<<"$(sed -n 's/^"[^"]*" *//p' <<<"$quiet")"
"$wine" "$uninstaller" "${args[@]}" </dev/null >/dev/null 2>&1; rc=$?
wineserver -w
check "uninstall: $quiet exits 0 (got $rc)" test "$rc" -eq 0
check "uninstall: the install folder is gone" test ! -e "$dir"
check "uninstall: no class, interface or type library of the add-in for the user" test "$(class_lines)" -eq 0
check "uninstall: Word's add-in key is gone" key_missing "$addin_key"
check "uninstall: the uninstall entry is gone" key_missing "$uninst_key"
check "uninstall: the user's NewTemplates.ini stays" grep -q 'Count=1' "$data_dir/NewTemplates.ini"
check "uninstall: the user's settings stay" test "$(reg_value "$settings_key" LastFolder)" = 'C:\Templates'

wineserver -w  # leave no Wine process behind on the display
if [[ $failures -eq 0 ]]; then echo "test-installer: all checks passed"; exit 0; fi
echo "test-installer: $failures check(s) failed"
exit 1
