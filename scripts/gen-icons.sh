#!/usr/bin/env bash
# Renders the hicolor PNG icons from the two SVGs in packaging/icons (run after editing an
# SVG; the PNGs are kept in the tree so that a build needs no SVG renderer).
# Needs rsvg-convert (Debian: librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/../packaging/icons"
for size in 16 22 24 32 48 64 128 256; do
  mkdir -p "${size}x${size}"
  for name in quorin-plus application-x-quorin-document; do
    rsvg-convert -w "$size" -h "$size" "$name.svg" -o "${size}x${size}/$name.png"
  done
done
