#!/usr/bin/env bash
# Draws the program's icon files from data/icons/autolabel.svg: the 48 x 48
# PNG of the Linux icon theme and the Windows .ico (16 to 256 pixels). The
# results are kept in the repository, so a build needs neither tool; run
# this again after changing the drawing.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root/data/icons"
command -v rsvg-convert >/dev/null && command -v convert >/dev/null ||
    { echo "make-icons: needs rsvg-convert (librsvg2-bin) and convert (imagemagick)" >&2; exit 1; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
sizes=(16 24 32 48 64 256)
for size in "${sizes[@]}"; do
    rsvg-convert -w "$size" -h "$size" autolabel.svg -o "$scratch/$size.png"
done
# Without the time stamps and comments that would change the file each run.
convert "$scratch/48.png" -strip -define png:exclude-chunks=date,time autolabel-48.png
convert $(printf "$scratch/%s.png " "${sizes[@]}") autolabel.ico
