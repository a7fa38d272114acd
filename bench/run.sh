#!/usr/bin/env bash
# Generates the benchmark catalogues, builds an optimised kinovka-cli with the
# benchmark programs and the pugixml anchor, prints the side-by-side table of the
# whole-process workloads and then the steps measured inside kinovka-bench.
#
#   bench/run.sh [SIZES [RUNS]]     e.g. bench/run.sh 10000,100000,1000000 5
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
sizes=${1:-10000,100000,1000000}
runs=${2:-5}
bash "$root/scripts/setup.sh"
out="$root/build/perf"
mkdir -p "$out/data"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$out/bench" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKINOVKA_BENCH=ON "${launcher[@]}" >/dev/null
cmake --build "$out/bench" --target kinovka-cli kinovka-bench kinovka-measure pugixml-anchor \
  -j"$(nproc)" >/dev/null
IFS=, read -ra list <<< "$sizes"
for n in "${list[@]}"; do
  f="$out/data/films-$n.xml"
  [ -s "$f" ] || python3 "$root/bench/make_catalogue.py" "$n" "$f"
done
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'),"\
     "$(free -g | awk '/Mem/{print $2}') GiB, $(uname -sr), load $(cut -d' ' -f1-3 /proc/loadavg)"
touch_us=$("$out/bench/bin/kinovka-measure" --page-touch)
echo "First touch of a fresh 4 KiB page: $touch_us µs (kinovka-measure --page-touch)"
python3 "$root/bench/compare.py" --cli "$out/bench/bin/kinovka-cli" --peer "$out/bench/bin/pugixml-anchor" \
  --measure "$out/bench/bin/kinovka-measure" --data "$out/data" --sizes "$sizes" --runs "$runs"
for n in "${list[@]}"; do
  [ "$n" -le 100000 ] || continue
  echo
  QT_QPA_PLATFORM=offscreen "$out/bench/bin/kinovka-bench" --repeat "$runs" "$out/data/films-$n.xml" 2>/dev/null
done
small=()
for n in "${list[@]}"; do if [ "$n" -le 100000 ]; then small+=("$n"); fi; done
if ((${#small[@]})); then
  echo
  bash "$root/bench/instructions.sh" "$out/bench/bin/kinovka-cli" "$out/bench/bin/pugixml-anchor" "$out/data" \
    "$(IFS=,; echo "${small[*]}")"
fi
echo
python3 "$root/bench/import_formats.py" --cli "$out/bench/bin/kinovka-cli" --measure "$out/bench/bin/kinovka-measure" \
  --out "$out/data" --films 100000 --runs "$runs"
