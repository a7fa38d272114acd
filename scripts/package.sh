#!/usr/bin/env bash
# package.sh: installs what is missing, builds Kinovka optimised for installing
# (the catalogue in the user's data folder, no tests) and writes the Debian package
# build/package/kinovka_<version>_<arch>.deb, its Depends worked out from the
# shared libraries by dpkg-shlibdeps.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh" package
dir="$root/build/package-build"
out="$root/build/package"
# Debian's compiler and linker flags for packages (hardening included).
export CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
export LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
rm -rf "$dir"
bash "$root/scripts/build.sh" "$dir" -DCMAKE_BUILD_TYPE=Release -DKINOVKA_TESTS=OFF -DKINOVKA_USER_DATA_CATALOG=ON

(cd "$dir" && cpack -G DEB >/dev/null)
mkdir -p "$out"
rm -f "$out"/kinovka_*.deb
mv "$dir"/kinovka_*.deb "$out/"
ls "$out"/kinovka_*.deb
