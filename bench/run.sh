#!/usr/bin/env bash
# Generates the benchmark catalogues, builds the pugixml anchor and an optimised
# kinovka-cli, and prints the side-by-side table. Sizes: bench/run.sh [10000,100000,1000000]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
shared="$root/../shared"
sizes=${1:-10000,100000,1000000}
bash "$root/scripts/setup.sh"
out="$root/build/bench"
mkdir -p "$out/data"
bash "$root/scripts/build.sh" "$out/release" -DCMAKE_BUILD_TYPE=Release -DKINOVKA_GUI=OFF >/dev/null
g++ -O2 -std=c++17 "$shared/bench/peer_pugixml.cpp" -lpugixml -o "$out/peer_pugixml"
IFS=, read -ra list <<< "$sizes"
for n in "${list[@]}"; do
  f="$out/data/films-$n.xml"
  [ -s "$f" ] || python3 "$shared/bench/gen_catalogue.py" "$n" "$f" --titles "$shared/data/films-en.tsv"
done
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(free -g | awk '/Mem/{print $2}') GiB"
python3 "$root/bench/compare.py" --cli "$out/release/bin/kinovka-cli" --peer "$out/peer_pugixml" \
  --data "$out/data" --sizes "$sizes"
