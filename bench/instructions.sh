#!/usr/bin/env bash
# Counts the instructions that kinovka-cli and the pugixml anchor execute for
# each workload of compare.py (valgrind's callgrind, every thread counted): the
# work each program does, whatever a first touch of memory costs on the machine.
# Instructions are not time (a cache miss or a mispredicted branch costs many),
# but unlike the cheap-fault estimates they do not move from run to run.
#
#   bench/instructions.sh CLI PEER DATA SIZES     e.g. ... build/perf/data 10000,100000
set -euo pipefail
cli=$1 peer=$2 data=$3 sizes=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
count() {  # the total of "I refs" of one run, in millions
  valgrind --tool=callgrind --callgrind-out-file="$work/out" "$@" 2>&1 >/dev/null |
    awk '/refs:/ { gsub(",", "", $NF); printf "%.1f", $NF / 1e6 }'
}
echo "| films | workload | kinovka M instructions | pugixml M instructions | ratio |"
echo "|---:|---|---:|---:|---:|"
IFS=, read -ra list <<< "$sizes"
for n in "${list[@]}"; do
  for workload in summary add; do
    cp "$data/films-$n.xml" "$work/ours.xml"
    cp "$data/films-$n.xml" "$work/peer.xml"
    if [ "$workload" = add ]; then
      ours=$(count "$cli" add "$work/ours.xml" --en "Benchmark film" --cd 7)
      theirs=$(count "$peer" add "$work/peer.xml")
    else
      ours=$(count "$cli" summary "$work/ours.xml")
      theirs=$(count "$peer" summary "$work/peer.xml")
    fi
    rm -rf "$work/ours.xml.versions"
    echo "| $n | $workload | $ours | $theirs | $(awk -v a="$ours" -v b="$theirs" 'BEGIN { printf "%.2f", a / b }') |"
  done
done
