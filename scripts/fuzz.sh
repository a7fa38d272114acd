#!/usr/bin/env bash
# fuzz.sh [DIR]: builds the fuzz targets with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer in DIR (default build/fuzz) and runs each for a bounded
# time, starting from the seed corpus under fuzz/corpus/<target>. Fails on any crash,
# leak, timeout or excess memory; the failing input is kept in DIR/findings/<target>.
#
# KINOVKA_FUZZ_SECONDS sets the time per target (default 60).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$root/build/fuzz}
seconds=${KINOVKA_FUZZ_SECONDS:-60}
targets=(packet_reader load_packet csv_import rescue amc_import tellico_zip)

CC=clang CXX=clang++ cmake -S "$root/fuzz" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$dir" -j"$(nproc)"

status=0
summary=()
for target in "${targets[@]}"; do
  # The corpus grows in the build directory; the repository keeps only the seeds.
  corpus="$dir/corpus/$target"
  findings="$dir/findings/$target"
  mkdir -p "$corpus" "$findings"
  log="$dir/$target.log"
  echo "== fuzzing $target for ${seconds}s"
  # -close_fd_mask=3: the program's own messages would drown the fuzzer's report.
  if ! "$dir/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=1024 \
      -close_fd_mask=3 -print_final_stats=1 -artifact_prefix="$findings/" \
      "$corpus" "$root/fuzz/corpus/$target" >"$log" 2>&1; then
    status=1
    echo "!! $target failed; the report:"
    grep -E -A40 'ERROR|SUMMARY|==[0-9]+==' "$log" | head -80 || tail -40 "$log"
    ls "$findings"
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  summary+=("$target: ${runs:-?} executions in ${seconds}s")
done
echo "== fuzzing summary"
printf '%s\n' "${summary[@]}"
exit $status
