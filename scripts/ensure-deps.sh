#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, once. As root it installs what is
# missing; otherwise it prints the exact apt-get line and fails, so nothing half-builds.
set -euo pipefail

packages=(
  make cmake g++ pkg-config
  clang libclang-rt-14-dev
  googletest libgtest-dev libgmock-dev
  libbenchmark-dev
  libxml2-dev
  mingw-w64 mingw-w64-tools libwine-dev
  wine wine64 wine32:i386
  xvfb xauth
  nsis
)

# wine32 (the 32-bit Word and its DLL) comes from Debian's i386 architecture.
foreign=$(dpkg --print-foreign-architectures)
missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

line="apt-get install -y --no-install-recommends ${missing[*]}"
if [[ $(id -u) -ne 0 ]]; then
  echo "Missing Debian packages. As root, run:" >&2
  grep -qx i386 <<<"$foreign" || echo "  dpkg --add-architecture i386" >&2
  echo "  apt-get update && $line" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
grep -qx i386 <<<"$foreign" || dpkg --add-architecture i386
apt-get update -qq
# shellcheck disable=SC2086
apt-get install -y -qq --no-install-recommends ${missing[*]} >/dev/null
