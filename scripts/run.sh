#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it. Where no catalogue lies
# beside the executable yet, a small sample catalogue is copied there first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh" run
dir="$root/build/run"
bash "$root/scripts/build.sh" "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKINOVKA_TESTS=OFF
bin="$dir/bin"
[ -e "$bin/filmy.xml" ] || cp "$root/data/sample/filmy.xml" "$bin/filmy.xml"
exec "$bin/kinovka" "$@"
