#!/usr/bin/env bash
# Whether this machine starts 32-bit programs: Wine's 32-bit loader needs that for the x86 DLL's
# tests, the 32-bit wordsim and the setup (a 32-bit program, so that it runs on every Windows).
# Some Linux kernels are built or booted without IA-32 emulation and refuse every 32-bit
# program ("Exec format error"): there this says so and exits 1, and the x86 runs are left out.
# Any other failure of the loader is a broken installation and exits 2.
out=$(/usr/lib/wine/wine --version 2>&1) && exit 0
rc=$?
if [[ $rc -eq 126 && $out == *"Exec format error"* ]]; then
  echo "SKIP ${1:-the x86 runs}: this machine's kernel starts no 32-bit programs (Exec format error);" \
       "${2:-the x86 DLL is built and checked, not run}"
  exit 1
fi
echo "FAIL Wine's 32-bit loader does not start: $out" >&2
exit 2
