#!/usr/bin/env bash
# render-icons.sh: renders kinovka.svg into the PNG sizes that desktops still ask
# for (icons/kinovka-N.png, installed into the hicolor theme) and the 48 and 256
# pixel views in docs/. Run it after changing the SVG (needs librsvg2-bin).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
for size in 16 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" "$here/kinovka.svg" -o "$here/icons/kinovka-$size.png"
done
cp "$here/icons/kinovka-48.png" "$here/../docs/icon-48.png"
cp "$here/icons/kinovka-256.png" "$here/../docs/icon-256.png"
