#!/bin/sh
# Draws hoverlane's icons with ImageMagick: two overlapping document windows
# inside a frame, the front one lit, with a pointer resting on it; and the
# tray's variant while monitoring is stopped: the same in grey, with a pause
# sign. The results are committed; run this again only to change the
# artwork.
set -eu
out=$(cd "$(dirname "$0")/.." && pwd)/app/resources
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# draw <size> <file>: all coordinates are on a 32-unit grid scaled to size.
draw() {
    s=$1
    k() { awk -v v="$1" -v s="$s" 'BEGIN { printf "%d", v * s / 32 + 0.5 }'; }
    aa=-antialias; [ "$s" -le 16 ] && aa=+antialias
    convert -size "${s}x${s}" xc:none $aa \
        -fill '#1d4f91' -stroke '#0f2d57' -strokewidth 1 \
        -draw "roundrectangle $(k 1),$(k 2) $(k 30),$(k 29) $(k 3),$(k 3)" \
        -fill '#d7dde6' -stroke '#6b7a90' \
        -draw "rectangle $(k 4),$(k 6) $(k 19),$(k 19)" \
        -fill '#6b7a90' -stroke none \
        -draw "rectangle $(k 4),$(k 6) $(k 19),$(k 9)" \
        -fill '#ffffff' -stroke '#f0a020' \
        -draw "rectangle $(k 11),$(k 11) $(k 27),$(k 25)" \
        -fill '#f0a020' -stroke none \
        -draw "rectangle $(k 11),$(k 11) $(k 27),$(k 14)" \
        -fill '#9aa6b6' \
        -draw "rectangle $(k 13),$(k 17) $(k 24),$(k 17)" \
        -draw "rectangle $(k 13),$(k 20) $(k 21),$(k 20)" \
        -fill '#ffffff' -stroke '#000000' -strokewidth 1 \
        -draw "polygon $(k 17),$(k 15) $(k 17),$(k 30) $(k 20),$(k 27) $(k 23),$(k 31) $(k 25),$(k 30) $(k 22),$(k 26) $(k 26),$(k 26)" \
        "$2"
}

# paused <size> <file>: the picture of that size in grey, with two red bars.
paused() {
    s=$1
    k() { awk -v v="$1" -v s="$s" 'BEGIN { printf "%d", v * s / 32 + 0.5 }'; }
    convert "$tmp/$s.png" -colorspace Gray -fill '#c0392b' -stroke '#ffffff' -strokewidth 1 \
        -draw "rectangle $(k 16),$(k 14) $(k 21),$(k 30)" \
        -draw "rectangle $(k 24),$(k 14) $(k 29),$(k 30)" "$2"
}

# Small icons in the sizes of 100 %, 150 % and 200 % displays, so that the
# tray and the title bar are crisp on each.
for s in 16 24 32 48; do draw "$s" "$tmp/$s.png"; done
for s in 16 24 32; do paused "$s" "$tmp/paused$s.png"; done
convert "$tmp/32.png" "$tmp/48.png" "$tmp/16.png" "$tmp/24.png" "$out/hoverlane.ico"
convert "$tmp/16.png" "$tmp/24.png" "$tmp/32.png" "$out/small.ico"
convert "$tmp/paused16.png" "$tmp/paused24.png" "$tmp/paused32.png" "$out/paused.ico"
echo "wrote $out/hoverlane.ico, $out/small.ico and $out/paused.ico"

# The sample MDI program's icon: a plain green frame, unlike hoverlane's.
sample=$(dirname "$out")/../tests/sample_mdi/sample.ico
for s in 16 32; do
    convert -size "${s}x${s}" xc:'#2e7d4f' -fill '#ffffff' \
        -draw "rectangle $((s / 4)),$((s / 4)) $((s * 3 / 4)),$((s * 3 / 4))" "$tmp/sample$s.png"
done
convert "$tmp/sample32.png" "$tmp/sample16.png" "$sample"
echo "wrote $sample"
