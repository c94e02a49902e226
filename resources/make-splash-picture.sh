#!/usr/bin/env bash
# Draws the splash picture built into the program (340 x 280), shown when a
# menu folder has no usable qvz_splash.jpg of its own. Needs ImageMagick.
# Usage: make-splash-picture.sh [output.jpg]   (default: beside this script)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
output=${1:-$here/splash-builtin.jpg}

# A dusk sky over three hills, a disc rising like a sun, and the program's name.
convert -size 340x280 gradient:'#1d2b64-#f8cdda' \
  -fill '#f6d365' -stroke '#fda085' -strokewidth 3 -draw 'circle 170,150 170,92' \
  -stroke none \
  -fill '#2f4858' -draw 'ellipse 70,300 150,110 180,360' \
  -fill '#33658a' -draw 'ellipse 280,310 160,120 180,360' \
  -fill '#55dde0' -draw 'ellipse 170,330 230,90 180,360' \
  -fill '#1d2b64' -draw 'circle 170,150 170,138' \
  -fill white -font DejaVu-Sans-Bold -pointsize 30 -gravity north -annotate +0+22 'qvzmenu' \
  -fill '#ffffffb0' -font DejaVu-Sans -pointsize 13 -gravity south -annotate +0+14 'menu for discs and folders' \
  -strip -quality 88 -sampling-factor 4:2:0 "$output"
echo "$output"
