#!/usr/bin/env bash
# The renderer's command line: same arguments give the same bytes, opal draws what
# amber draws, an animation holds frames K, 2K ... N, bad arguments get a usage
# line that names render and status 2, and building render builds what it runs.
set -u
bin=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
. "$(dirname "$0")/../lib/checks.sh"
render() { "$bin/render" "$@" >/dev/null 2>"$tmp/err"; }

# amber's ribbons first come into view after a few hundred frames.
check "amber renders a PNG" render amber --frames 400 --size 200x150 --seed 42 --out "$tmp/a1.png"
check "the picture is not black" bash -c "[ \$(convert '$tmp/a1.png' -format '%[fx:maxima>0.2]' info:) = 1 ]"
check "the file is a PNG" bash -c "head -c 8 '$tmp/a1.png' | od -An -tx1 | grep -q '89 50 4e 47'"
check "same arguments give the same bytes" bash -c "'$bin/render' amber --frames 400 --size 200x150 --seed 42 --out '$tmp/a2.png' >/dev/null && cmp -s '$tmp/a1.png' '$tmp/a2.png'"
check "another seed gives another picture" bash -c "'$bin/render' amber --frames 400 --size 200x150 --seed 43 --out '$tmp/a3.png' >/dev/null && ! cmp -s '$tmp/a1.png' '$tmp/a3.png'"
check "opal draws what amber draws" bash -c "'$bin/render' opal --frames 400 --size 200x150 --seed 42 --out '$tmp/o1.png' >/dev/null && cmp -s '$tmp/a1.png' '$tmp/o1.png'"
check "the output path is printed" bash -c "'$bin/render' jade --frames 5 --size 64x64 --seed 1 --out '$tmp/j.png' | grep -q 'j.png'"
# cobalt draws from its first frame on. Each image of the animation is closer to
# the still picture of its own frame than to that of the frame before or after.
psnr() { compare -metric PSNR "$1" "$2" null: 2>&1 | cut -d' ' -f1; }
closer() { python3 -c "import sys; sys.exit(0 if float('$1') > float('$2') else 1)"; }
check "cobalt renders an animation" render cobalt --frames 40 --size 160x120 --seed 42 --every 10 --out "$tmp/c.webp"
check "the file is an animated WebP" bash -c "head -c 40 '$tmp/c.webp' | od -An -c | tr -d ' \n' | grep -q 'RIFF.*WEBPVP8X'"
check "same arguments give the same animation" bash -c "'$bin/render' cobalt --frames 40 --size 160x120 --seed 42 --every 10 --out '$tmp/c2.webp' >/dev/null && cmp -s '$tmp/c.webp' '$tmp/c2.webp'"
check "four images of 100 ms on a 160 x 120 canvas" python3 - "$tmp/c.webp" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
pos, images, ms, canvas = 12, 0, 0, None
while pos + 8 <= len(data):
    tag, size = data[pos:pos + 4], struct.unpack("<I", data[pos + 4:pos + 8])[0]
    body = data[pos + 8:pos + 8 + size]
    if tag == b"VP8X":
        canvas = (int.from_bytes(body[4:7], "little") + 1, int.from_bytes(body[7:10], "little") + 1)
    if tag == b"ANMF":
        images, ms = images + 1, ms + int.from_bytes(body[12:15], "little")
    pos += 8 + size + (size & 1)
sys.exit(0 if (images, ms, canvas) == (4, 400, (160, 120)) else 1)
PY
convert "$tmp/c.webp" -coalesce "$tmp/image-%d.png"
for frame in 9 10 11 39 40; do render cobalt --frames $frame --size 160x120 --seed 42 --out "$tmp/still$frame.png"; done
check "the first image is frame 10" bash -c "$(declare -f closer); closer $(psnr "$tmp/image-0.png" "$tmp/still10.png") $(psnr "$tmp/image-0.png" "$tmp/still9.png") && closer $(psnr "$tmp/image-0.png" "$tmp/still10.png") $(psnr "$tmp/image-0.png" "$tmp/still11.png")"
check "the last image is frame 40" bash -c "$(declare -f closer); closer $(psnr "$tmp/image-3.png" "$tmp/still40.png") $(psnr "$tmp/image-3.png" "$tmp/still39.png")"

for bad in "" "nosuch --frames 1 --size 64x64 --seed 1 --out $tmp/x.png" \
           "amber --frames 0 --size 64x64 --seed 1 --out $tmp/x.png" \
           "amber --frames 10 --size 64 --seed 1 --out $tmp/x.png" \
           "amber --frames 10 --size 64x64 --seed 99999 --out $tmp/x.png" \
           "amber --frames x --size 64x64 --seed 1 --out $tmp/x.png" \
           "amber --frames 10 --size 64x64 --seed 1" \
           "amber --frames 10 --size 64x64 --seed 1 --every 0 --out $tmp/x.webp" \
           "amber --frames 10 --size 64x64 --seed 1 --every x --out $tmp/x.webp" \
           "amber --frames 10 --size 64x64 --seed 1 --every 11 --out $tmp/x.webp" \
           "amber --frames 10 --size 64x64 --seed 1 --every 2 --out $tmp/x.png" \
           "amber --frames 10 --size 64x64 --seed 1 --out $tmp/x.webp" \
           "amber --frames 10 --size 64x64 --seed 1 --every 2 --every 2 --out $tmp/x.webp" \
           "amber --frames 2000 --size 64x64 --seed 1 --every 1 --out $tmp/x.webp" \
           "amber --frames 8 --size 8192x8192 --seed 1 --every 1 --out $tmp/x.webp"; do
  "$bin/render" $bad >/dev/null 2>"$tmp/err"
  status=$?
  check "usage error (status 2, one line) for: render $bad" bash -c "[ $status -eq 2 ] && [ \$(wc -l < '$tmp/err') -eq 1 ]"
done
# The line names the command that was typed, not the program render runs.
"$bin/render" amber --frames 0 --size 64x64 --seed 1 --out "$tmp/x.png" 2>"$tmp/err"
check "the usage line begins \"usage: render amber --frames\" ($(cut -c1-40 "$tmp/err"))" \
  grep -q '^usage: render amber --frames' "$tmp/err"

# Building render builds every saver it may run and cobalt's mesh beside them.
names=$("$bin/render" 2>&1 | sed -n 's/^usage: render \([a-z|]*\) .*/\1/p' | tr '|' ' ')
inputs=$(ninja -C "$bin/.." -t inputs bin/render 2>/dev/null)
check "render's usage names the savers ($names)" [ -n "$names" ]
for target in $names tools/make_sphere/sphere_mesh; do
  case $target in */*) ;; *) target=bin/$target ;; esac
  check "building render builds $target" grep -qx "$target" <<<"$inputs"
done
finish
