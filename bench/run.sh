#!/usr/bin/env bash
# Generates the benchmark catalogues, builds the pugixml anchor and an optimised
# kinovka-cli with the benchmark programs, prints the side-by-side table of the
# whole-process workloads and then the steps measured inside kinovka-bench.
#
#   bench/run.sh [SIZES [RUNS]]     e.g. bench/run.sh 10000,100000,1000000 5
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
shared="$root/../shared"
sizes=${1:-10000,100000,1000000}
runs=${2:-5}
bash "$root/scripts/setup.sh"
out="$root/build/perf"
mkdir -p "$out/data"
cmake -S "$root" -B "$out/bench" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKINOVKA_BENCH=ON >/dev/null
cmake --build "$out/bench" --target kinovka-cli kinovka-bench kinovka-measure -j"$(nproc)" >/dev/null
g++ -O2 -std=c++17 "$shared/bench/peer_pugixml.cpp" -lpugixml -o "$out/peer_pugixml"
IFS=, read -ra list <<< "$sizes"
for n in "${list[@]}"; do
  f="$out/data/films-$n.xml"
  [ -s "$f" ] || python3 "$shared/bench/gen_catalogue.py" "$n" "$f" --titles "$shared/data/films-en.tsv"
done
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'),"\
     "$(free -g | awk '/Mem/{print $2}') GiB, $(uname -sr), load $(cut -d' ' -f1-3 /proc/loadavg)"
python3 "$root/bench/compare.py" --cli "$out/bench/bin/kinovka-cli" --peer "$out/peer_pugixml" \
  --measure "$out/bench/bin/kinovka-measure" --data "$out/data" --sizes "$sizes" --runs "$runs"
for n in "${list[@]}"; do
  [ "$n" -le 100000 ] || continue
  echo
  QT_QPA_PLATFORM=offscreen "$out/bench/bin/kinovka-bench" --repeat "$runs" "$out/data/films-$n.xml" 2>/dev/null
done
