#!/usr/bin/env bash
# Builds the per-user setup from the Windows build trees of a build directory:
#   scripts/build-installer.sh <build-dir>          writes <build-dir>/installer/QuilloraTemplateEditor-<version>-setup.exe
#   scripts/build-installer.sh --path <build-dir>   prints that file's path only
# The version is the CMake project's, as the DLLs' version resource has it. QLORA_SETUP_DLL64 and
# QLORA_SETUP_OUT put another x64 DLL into another setup file (the installer test builds one whose
# registration fails).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

fail() { echo "build-installer: $*" >&2; exit 1; }

print_path=false
if [[ ${1:-} == --path ]]; then print_path=true; shift; fi
[[ $# -eq 1 ]] || fail "usage: $0 [--path] <build-dir>"
build=$(cd "$1" 2>/dev/null && pwd) || fail "no build directory $1"

cache=$build/win64/CMakeCache.txt
[[ -f $cache ]] || fail "$cache is missing: build the Windows DLLs first (make win64 win32)"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$cache")
[[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "no project version (major.minor.patch) in $cache"
out=${QLORA_SETUP_OUT:-$build/installer/QuilloraTemplateEditor-$version-setup.exe}
if $print_path; then echo "$out"; exit 0; fi

dll64=${QLORA_SETUP_DLL64:-$build/win64/bin/QloraWordAddIn.dll}
dll32=$build/win32/bin/QloraWordAddIn.dll
for dll in "$dll64" "$dll32"; do
  [[ -f $dll ]] || fail "$dll is missing: build it first (make win64 win32)"
done
command -v makensis >/dev/null || fail "makensis is missing: install the Debian package nsis (make deps)"

mkdir -p "$(dirname "$out")"
makensis -V2 -WX -INPUTCHARSET UTF8 -DVERSION="$version" -DDLL64="$dll64" -DDLL32="$dll32" -DOUTFILE="$out" \
  "$here/../installer/QuilloraTemplateEditor.nsi"
echo "$out"
