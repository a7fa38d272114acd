#!/usr/bin/env bash
# Lists the files of the engine (table/ and packet/) that include each other: two
# units (X.h with X.cpp, and XImpl.h, the private half of X, when X.h exists) of
# which each includes the other's header, and any longer circle of includes
# between units. Prints nothing and exits 0 when there is none.
set -euo pipefail
cd "$(dirname "$0")/.."
unit() {
  local u=${1%.*}
  if [[ $u == *Impl && -f ${u%Impl}.h ]]; then u=${u%Impl}; fi
  echo "$u"
}
edges=$(for f in table/*.h table/*.cpp packet/*.h packet/*.cpp; do
  from=$(unit "$f")
  grep -oE '^#include "(table|packet)/[A-Za-z0-9_]+\.h"' "$f" | sed -E 's/.*"(.*)"/\1/' |
    while read -r h; do b=$(unit "$h"); [ "$from" = "$b" ] || echo "$from $b"; done
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
