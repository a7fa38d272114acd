#!/usr/bin/env bash
# Lists the files of the engine (table/ and packet/) that include each other: two
# units (X.h with X.cpp) of which each includes the other's header, and any
# longer circle of includes between units. Prints nothing and exits 0 when there
# is none.
set -euo pipefail
cd "$(dirname "$0")/.."
edges=$(for f in table/*.h table/*.cpp packet/*.h packet/*.cpp; do
  grep -oE '^#include "(table|packet)/[A-Za-z0-9_]+\.h"' "$f" | sed -E 's/.*"(.*)\.h"/\1/' |
    while read -r b; do [ "${f%.*}" = "$b" ] || echo "${f%.*} $b"; done
done | sort -u)
found=0
pairs=$(awk '{e[$1" "$2]=1} END {for (k in e) {split(k,p," "); if ((p[2]" "p[1]) in e && p[1] < p[2]) print p[1] " <-> " p[2]}}' <<<"$edges" | sort)
[ -n "$pairs" ] && { echo "$pairs"; found=1; }
if ! tsort <<<"$edges" >/dev/null 2>/tmp/include_cycles.$$; then
  sed -n 's/^tsort: //p' /tmp/include_cycles.$$ | grep -v 'input contains a loop' | sed 's/^/in a circle: /'
  found=1
fi
rm -f /tmp/include_cycles.$$
exit $found
