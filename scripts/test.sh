#!/usr/bin/env bash
# Installs what is missing, builds from scratch and runs every test: once in a plain
# build and once under AddressSanitizer and UndefinedBehaviorSanitizer (each run
# includes the real program under Xvfb); then the Debian package, built
# (scripts/package.sh) and checked, its program included (tests/package/check_package.sh);
# then the fuzz targets, each for a bounded time (scripts/fuzz.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
export QT_QPA_PLATFORM=offscreen
for variant in plain sanitize; do
  dir="$root/build/test-$variant"
  rm -rf "$dir"
  opts=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
  [ "$variant" = sanitize ] && opts+=(-DKINOVKA_SANITIZE=ON)
  echo "== $variant build"
  bash "$root/scripts/build.sh" "$dir" "${opts[@]}"
  echo "== $variant tests"
  ASAN_OPTIONS=detect_leaks=1 ctest --test-dir "$dir" --output-on-failure -j"$(nproc)"
done
echo "== package"
bash "$root/scripts/package.sh"
bash "$root/tests/package/check_package.sh" "$root"/build/package/kinovka_*.deb "$root/build/test-package"
echo "== fuzzing"
rm -rf "$root/build/test-fuzz"
bash "$root/scripts/fuzz.sh" "$root/build/test-fuzz"
