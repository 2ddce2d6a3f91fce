#!/usr/bin/env bash
# Remakes the program's pictures (main.jpg, splash.jpg) and its icon (marigold.ico) beside this
# script. Needs ImageMagick's convert, the DejaVu fonts (fonts-dejavu-core) and python3.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

fonts="$(convert -list font)"
for font in DejaVu-Sans DejaVu-Sans-Condensed-Bold DejaVu-Sans-Bold \
  DejaVu-Sans-Oblique DejaVu-Serif-Bold-Italic; do
  if ! grep -q "Font: ${font}\$" <<<"$fonts"; then
    echo "font ${font} missing: apt-get install -y fonts-dejavu-core" >&2
    exit 1
  fi
done

# The window skin draws these JPEGs unscaled, so they are plain baseline JFIF files at 72 dpi
# with full-resolution chroma: subsampled colour smears the tiny lettering of the main picture.
write_jpeg() { # in.png out.jpg
  convert "$1" -alpha off -strip -colorspace sRGB -type TrueColor -depth 8 \
    -sampling-factor 1x1,1x1,1x1 -interlace none -quality 95 \
    -units PixelsPerInch -density 72 "JPEG:$2"
  # libjpeg stamps JFIF 1.01; the skin pictures are kept at JFIF 1.02, whose header has the same
  # layout (bytes 11-12 are the major and minor version).
  printf '\x01\x02' | dd of="$2" bs=1 seek=11 conv=notrunc status=none
}

# text_at canvas smoothing font size colour x baseline text: ink starts at column x on the given
# baseline row; the left bearing is measured first so the letters land where the layout wants.
# Dark letters of 8 px and less read far better in the hinted one-bit rendering (smoothing "+").
text_at() {
  local canvas=$1 aa=$2antialias font=$3 size=$4 colour=$5 x=$6 base=$7 text=$8 bearing
  bearing=$(convert -size 200x40 xc:none "$aa" -font "$font" -pointsize "$size" -fill black \
    -draw "text 20,30 '$text'" -format '%[fx:page.x-20]' -trim info:)
  convert "$canvas" "$aa" -font "$font" -pointsize "$size" -fill "$colour" \
    -draw "text $((x - bearing)),$base '$text'" "$canvas"
}

# ---------------------------------------------------------------------------------------------
# main.jpg, 119 x 61: the main window's skin. Its last column and row fall outside the window.
# The hot spots lie over it: minimise over the minus (x 88-96), exit over the X (x 104-117),
# start over the upper button (x 8-24, y 24-32), stop over the lower one (y 40-56), the counters
# just left of "mins" and "msgs", the reason right of "reason:", and the on/off words at
# x 40-80, y 40-48, which is why that part of the panel stays plain.
main="$work/main.png"
ink='#17202c'
convert -size 119x61 gradient:'#56606e-#323843' \
  -fill '#151b25' -draw 'rectangle 0,4 118,16' \
  -fill '#d5dbe3' -draw 'rectangle 0,17 118,17' \
  -fill '#e6e9ee' -draw 'rectangle 90,10 96,11' \
  -stroke '#e6e9ee' -strokewidth 1.4 -draw 'line 104,7 110,13' -draw 'line 110,7 104,13' \
  +stroke \
  -fill '#5c3a0a' -draw 'roundrectangle 8,22 24,34 3,3' -draw 'roundrectangle 8,41 24,52 3,3' \
  -fill '#f2a93a' -draw 'roundrectangle 9,23 23,33 2,2' -draw 'roundrectangle 9,42 23,51 2,2' \
  -fill '#ffd27a' -draw 'line 10,23 22,23' -draw 'line 10,42 22,42' \
  -fill '#5c3a0a' -draw 'polygon 14,25 14,31 19,28' -draw 'rectangle 14,44 18,48' \
  -fill '#c6c8cc' -draw 'rectangle 32,22 115,52' \
  -fill '#5e636b' -draw 'line 32,22 115,22' -draw 'line 32,22 32,52' \
  -fill '#92979f' -draw 'line 33,23 114,23' -draw 'line 33,23 33,51' \
  -fill '#f4f5f7' -draw 'line 33,52 115,52' -draw 'line 115,23 115,52' \
  -type TrueColor "$main"
text_at "$main" - DejaVu-Sans-Condensed-Bold 8 '#e6e9ee' 4 14 'Marigold Idle v1'
# Legends share the baseline of the counters' digits beside them.
text_at "$main" + DejaVu-Sans 8 "$ink" 57 31 'mins'
text_at "$main" + DejaVu-Sans 8 "$ink" 91 31 'msgs'
text_at "$main" + DejaVu-Sans 7 "$ink" 36 40 'reason:'
text_at "$main" + DejaVu-Sans 8 '#6e4206' 87 51 'CorVID'
write_jpeg "$main" "$here/main.jpg"

# ---------------------------------------------------------------------------------------------
# splash.jpg, 331 x 230: the title picture. Grey lettering made solid by an extruded side, a
# bevel shading on its face and a soft drop shadow, on a dark ground.
W=331 H=230
convert -size ${W}x${H} gradient:'#1b2230-#06080c' \
  \( -size ${W}x${H} radial-gradient:'#34405a-#06080c' -alpha set \
  -channel A -evaluate set 45% +channel \) -compose over -composite "$work/ground.png"
convert -size ${W}x${H} xc:black -fill white \
  -font DejaVu-Sans-Bold -pointsize 92 -draw "text 22,170 'IDLE'" \
  -pointsize 38 -draw "text 264,170 'v1'" "$work/mask.png"
convert "$work/mask.png" \( +clone -roll +1+1 \) \( +clone -roll +1+1 \) \( +clone -roll +1+1 \) \
  \( +clone -roll +1+1 \) \( +clone -roll +1+1 \) \( +clone -roll +1+1 \) \
  -background black -compose lighten -flatten "$work/sidemask.png"
convert -size ${W}x${H} gradient:'#555555-#222222' "$work/sidemask.png" -alpha off \
  -compose CopyOpacity -composite "$work/side.png"
convert -size ${W}x${H} xc:black \
  \( "$work/mask.png" -roll +10+10 -blur 0x5 -evaluate multiply 0.85 \) -alpha off \
  -compose CopyOpacity -composite "$work/shadow.png"
convert "$work/mask.png" -blur 0x2.2 -shade 125x38 -auto-level -level 10%,90% "$work/bevel.png"
convert -size ${W}x${H} gradient:'#d8d8d8-#6c6c6c' "$work/bevel.png" -compose overlay -composite \
  "$work/mask.png" -alpha off -compose CopyOpacity -composite "$work/face.png"
convert -size ${W}x${H} xc:none -font DejaVu-Serif-Bold-Italic -pointsize 44 \
  -fill '#000000a0' -draw "text 52,63 'Marigold'" -channel A -blur 0x2 +channel \
  -fill '#f4b13c' -stroke '#8a4d08' -strokewidth 1 -draw "text 49,60 'Marigold'" "$work/title.png"
convert -size ${W}x${H} xc:none -font DejaVu-Sans-Oblique -pointsize 15 -fill '#b9c0cc' \
  -gravity southeast -annotate +14+10 'CorVID' "$work/handle.png"
convert "$work/ground.png" -fill '#c8862a' -draw 'rectangle 40,74 290,75' \
  "$work/shadow.png" -compose over -composite "$work/side.png" -composite \
  "$work/face.png" -composite "$work/title.png" -composite "$work/handle.png" -composite \
  -alpha off "$work/splash.png"
write_jpeg "$work/splash.png" "$here/splash.jpg"

# ---------------------------------------------------------------------------------------------
# marigold.ico: a marigold head, 32 x 32 and 16 x 16, 16 colours each. The large one is ruffled
# (three rings of petals); the small one keeps only eight petals round a yellow disc so that it
# still reads as a flower.
c=128
petals() { # count ring-radius petal-radius angle-offset: draw primitives for a ring of petals
  awk -v n="$1" -v r="$2" -v p="$3" -v o="$4" -v c=$c 'BEGIN {
    for (k = 0; k < n; k++) {
      a = (k * 360 / n + o) * 3.14159265 / 180; x = c + r * cos(a); y = c + r * sin(a)
      printf " circle %.1f,%.1f %.1f,%.1f", x, y, x + p, y
    } }'
}
convert -size 256x256 xc:none -strokewidth 6 \
  -fill '#f07800' -stroke '#8c3200' -draw "$(petals 10 82 40 0)" \
  -fill '#ffa010' -stroke '#b04800' -draw "$(petals 10 52 34 18)" \
  -fill '#ffd030' -stroke '#c86000' -draw "$(petals 10 26 26 0)" \
  -fill '#7a3000' -stroke '#4a1c00' -draw "circle $c,$c $((c + 22)),$c" \
  -fill '#c05a00' -stroke none -draw 'circle 120,120 128,120' -draw 'circle 138,132 144,132' \
  -draw 'circle 124,140 129,140' "$work/flower32.png"
convert -size 256x256 xc:none -strokewidth 14 \
  -fill '#f07800' -stroke '#8c3200' -draw "$(petals 8 84 42 22.5)" \
  -fill '#ffd030' -stroke '#c86000' -draw "circle $c,$c $((c + 56)),$c" \
  -fill '#6a2800' -stroke '#6a2800' -draw "circle $c,$c $((c + 26)),$c" "$work/flower16.png"
# Each image: hard-edged transparency, at most 15 opaque colours (index 0 stays black for the
# transparent pixels), dumped as raw RGBA for the assembler below.
convert "$work/flower32.png" -filter triangle -resize 32x32 -channel A -threshold 50% +channel \
  -background black -alpha background +dither -colors 15 -depth 8 "RGBA:$work/icon32.rgba"
convert "$work/flower16.png" -filter box -resize 16x16 -channel A -threshold 50% +channel \
  -background black -alpha background +dither -colors 15 -depth 8 "RGBA:$work/icon16.rgba"

# ImageMagick's own ICO writer garbles 4-bit entries, so the icon file is assembled here: an
# ICONDIR, then per image a BITMAPINFOHEADER (height doubled for the AND mask), a 16-entry
# palette, the 4-bit colour rows and the 1-bit transparency mask, both bottom-up.
python3 - "$work/icon32.rgba" 32 "$work/icon16.rgba" 16 "$here/marigold.ico" <<'PY'
import struct, sys

def entry(path, size):
    raw = open(path, "rb").read()
    assert len(raw) == size * size * 4, path
    pixels = [raw[i:i + 4] for i in range(0, len(raw), 4)]
    palette = [(0, 0, 0)]
    for p in pixels:
        if p[3] and tuple(p[:3]) not in palette:
            palette.append(tuple(p[:3]))
    assert len(palette) <= 16, f"{path}: {len(palette)} colours"
    palette += [(0, 0, 0)] * (16 - len(palette))
    index = [palette.index(tuple(p[:3])) if p[3] else 0 for p in pixels]
    xor_stride = ((size * 4 + 31) // 32) * 4
    and_stride = ((size + 31) // 32) * 4
    xor, mask = bytearray(), bytearray()
    for y in reversed(range(size)):
        row = index[y * size:(y + 1) * size]
        line = bytes((row[x] << 4) | row[x + 1] for x in range(0, size, 2))
        xor += line.ljust(xor_stride, b"\0")
        bits = bytearray(and_stride)
        for x in range(size):
            if not pixels[y * size + x][3]:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(xor) + len(mask),
                         0, 0, 16, 0)
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    return header + pal + bytes(xor) + bytes(mask)

args = sys.argv[1:]
images = [(int(args[i + 1]), entry(args[i], int(args[i + 1]))) for i in range(0, len(args) - 1, 2)]
out = struct.pack("<HHH", 0, 1, len(images))
offset = 6 + 16 * len(images)
for size, data in images:
    out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(data), offset)
    offset += len(data)
out += b"".join(data for _, data in images)
open(args[-1], "wb").write(out)
PY

ls -l "$here/main.jpg" "$here/splash.jpg" "$here/marigold.ico"
