#!/usr/bin/env bash
# The rooms under src/ in one direction: a file includes only its own room and rooms of a lower
# level, as the table of levels in docs/architecture.md gives them. Fails on any other include, and
# on a room the table does not list.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
declare -A level
while IFS='|' read -r _ n room _; do
  room=${room//[ \`\/]/}
  level[$room]=${n// /}
done < <(grep -E '^\| *[0-9]+ *\| *`[a-z]+/`' "$root/docs/architecture.md")
((${#level[@]} > 0)) || { echo "FAIL no table of levels in docs/architecture.md" >&2; exit 1; }

bad=0
for dir in "$root"/src/*/; do
  room=$(basename "$dir")
  [[ -n "${level[$room]:-}" ]] || { echo "FAIL src/$room/ has no level in docs/architecture.md" >&2; bad=1; }
done
while IFS=: read -r file _ included; do
  room=${file#src/}; room=${room%%/*}
  target=${included%%/*}
  [[ "$target" == "$room" || -z "${level[$target]:-}" || -z "${level[$room]:-}" ]] && continue
  if ((level[$target] >= level[$room])); then
    echo "FAIL $file includes $included: $target/ (level ${level[$target]}) is not below $room/ (level ${level[$room]})" >&2
    bad=1
  fi
done < <(cd "$root" && grep -rnoE '^#include "[a-z_]+/[^"]+"' src | sed -E 's/#include "([^"]+)"/\1/')
((bad == 0)) || exit 1
echo "ok the rooms under src/ include only rooms below them (${#level[@]} levels)"
