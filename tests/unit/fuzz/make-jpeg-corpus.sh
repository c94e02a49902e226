#!/usr/bin/env bash
# Writes the seed pictures of the splash picture fuzzer into
# tests/unit/fuzz/corpus-splash-picture/ (or the folder given): every kind of
# file a menu folder's qvz_splash.jpg may turn out to be. Needs ImageMagick
# and python3.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
out=${1:-$here/corpus-splash-picture}
mkdir -p "$out"
cd "$out"

pattern=(-size 48x32 gradient:'#c03020-#2040e0')
convert "${pattern[@]}" -quality 80 baseline.jpg
convert "${pattern[@]}" -quality 80 -interlace JPEG progressive.jpg
convert "${pattern[@]}" -colorspace Gray -quality 80 grey.jpg
convert "${pattern[@]}" -colorspace CMYK -quality 80 cmyk.jpg
convert -size 1x1 xc:'#336699' one-pixel.jpg
convert "${pattern[@]}" png:renamed-png.jpg
: > zero-bytes.jpg
head -c $(( $(stat -c %s baseline.jpg) / 2 )) baseline.jpg > truncated.jpg
# The same data claiming 60000 x 60000 pixels in its frame header.
python3 - baseline.jpg oversized-baseline.jpg progressive.jpg oversized-progressive.jpg <<'PY'
import sys
args = sys.argv[1:]
for source, target in zip(args[0::2], args[1::2]):
    data = bytearray(open(source, "rb").read())
    for i in range(len(data) - 8):
        if data[i] == 0xFF and data[i + 1] in (0xC0, 0xC2):
            data[i + 5:i + 9] = (60000).to_bytes(2, "big") * 2
            break
    open(target, "wb").write(data)
PY
ls "$out"
