#!/usr/bin/env bash
# setup.sh [run|package|all]: installs the Debian packages Kinovka needs; a no-op
# when they are all present.
#   run      building and running the program (scripts/run.sh)
#   package  that, and the tools that make and check the Debian package
#   all      (the default) that, and everything the tests, the fuzzers and the
#            benchmarks need (scripts/test.sh, bench/run.sh)
set -euo pipefail
what=${1:-all}
run=(cmake g++ make pkg-config libicu-dev libzip-dev libpugixml-dev qt6-base-dev libqt6printsupport6 libgl-dev fonts-dejavu-core qt6-translations-l10n)
package=(dpkg-dev file lintian desktop-file-utils appstream)
tests=(libgtest-dev python3 valgrind xvfb xdotool x11-xserver-utils man-db poppler-utils clang libclang-rt-14-dev chromium)
case $what in
  run) packages=("${run[@]}") ;;
  package) packages=("${run[@]}" "${package[@]}") ;;
  all) packages=("${run[@]}" "${package[@]}" "${tests[@]}") ;;
  *) echo "usage: setup.sh [run|package|all]" >&2; exit 2 ;;
esac
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
