#!/usr/bin/env bash
# Renders every picture under resources/ from its SVG source and writes the
# results next to the sources; the rendered files are committed, so building
# the program never runs this script.
#
# Needs, only for re-rendering:  apt-get install -y librsvg2-bin imagemagick
#   rsvg-convert  (librsvg2-bin)  SVG -> PNG
#   convert       (imagemagick)   PNG -> 24-bit BMP for the row and bar backgrounds
#
# Safe to run any number of times: every output is rewritten from its source,
# and outputs whose source has gone are removed.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
icons="$here/icons"
images="$here/Images"

for tool in rsvg-convert convert; do
  command -v "$tool" >/dev/null || { echo "missing $tool: apt-get install -y librsvg2-bin imagemagick" >&2; exit 1; }
done

# render SOURCE SIZE OUTPUT: one square PNG of SIZE pixels.
render() {
  mkdir -p "$(dirname "$3")"
  rsvg-convert --width "$2" --height "$2" --format png --output "$3" "$1"
}

# Image list pictures: src/NN.svg is drawn on a 16 px grid, src/NN-22.svg on a
# 22 px grid; each grid is rendered at 1x and 2x.
rm -f "$icons"/16/*.png "$icons"/22/*.png
for svg in "$icons"/src/[0-9][0-9].svg; do
  nn="$(basename "$svg" .svg)"
  render "$svg" 16 "$icons/16/$nn.png"
  render "$svg" 32 "$icons/16/$nn@2x.png"
  big="$icons/src/$nn-22.svg"
  [ -f "$big" ] || big="$svg"
  render "$big" 22 "$icons/22/$nn.png"
  render "$big" 44 "$icons/22/$nn@2x.png"
done

# Notification-area icon: its own drawings for 16, 22 and 32 px; 48 and 64 px
# come from the 32 px drawing.
render "$icons/src/tray.svg" 16 "$icons/tray/tray-16.png"
render "$icons/src/tray-22.svg" 22 "$icons/tray/tray-22.png"
render "$icons/src/tray-22.svg" 44 "$icons/tray/tray-44.png"
render "$icons/src/tray-32.svg" 32 "$icons/tray/tray-32.png"
render "$icons/src/tray-32.svg" 48 "$icons/tray/tray-48.png"
render "$icons/src/tray-32.svg" 64 "$icons/tray/tray-64.png"
render "$icons/src/tray-32.svg" 96 "$icons/tray/tray-96.png"

# Application picture for the window, the desktop file and the About box.
for size in 16 22 24 32 48 64 128 256; do
  render "$icons/src/appIcon.svg" "$size" "$icons/app/appIcon-$size.png"
done
# The About box shows it 65 px wide: drawn at twice that for high-DPI screens.
render "$icons/src/appIcon.svg" 130 "$images/appIcon.png"

# Status bar picture.
render "$icons/src/statusImage.svg" 16 "$icons/status/statusImage.png"
render "$icons/src/statusImage.svg" 32 "$icons/status/statusImage@2x.png"

# Backgrounds of the tool bars and tree rows: opaque 24-bit BMPs at the size
# their SVG declares.
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
for svg in "$images"/src/*.svg; do
  name="$(basename "$svg" .svg)"
  rsvg-convert --format png --output "$tmp/$name.png" "$svg"
  convert "$tmp/$name.png" -background white -alpha remove -type TrueColor "BMP3:$images/$name.bmp"
done
