#!/bin/sh
# Renders the menu entry's icon, data/kivelo.svg, into the PNG sizes that are installed beside it
# (data/icons/SIZE/kivelo.png). The PNGs are kept in the repository, so that neither a build nor
# the package needs an SVG renderer; run this after changing the SVG. Needs rsvg-convert
# (librsvg2-bin, one of the packaging tools: scripts/install-deps.sh --packaging).
set -eu
cd "$(dirname "$0")/.."
for size in 48 64 128 256; do
    mkdir -p "data/icons/$size"
    rsvg-convert --width "$size" --height "$size" --output "data/icons/$size/kivelo.png" data/kivelo.svg
done
