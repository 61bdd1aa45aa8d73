#!/usr/bin/env bash
# The renderer's command line: same arguments give the same bytes, opal draws what
# amber draws, and bad arguments get a usage line and status 2.
set -u
bin=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
pass=0
fail=0
check() {
  if "${@:2}"; then echo "ok - $1"; pass=$((pass + 1)); else echo "not ok - $1"; fail=$((fail + 1)); fi
}
render() { "$bin/render" "$@" >/dev/null 2>"$tmp/err"; }

# amber's ribbons first come into view after a few hundred frames.
check "amber renders a PNG" render amber --frames 400 --size 200x150 --seed 42 --out "$tmp/a1.png"
check "the picture is not black" bash -c "[ \$(convert '$tmp/a1.png' -format '%[fx:maxima>0.2]' info:) = 1 ]"
check "the file is a PNG" bash -c "head -c 8 '$tmp/a1.png' | od -An -tx1 | grep -q '89 50 4e 47'"
check "same arguments give the same bytes" bash -c "'$bin/render' amber --frames 400 --size 200x150 --seed 42 --out '$tmp/a2.png' >/dev/null && cmp -s '$tmp/a1.png' '$tmp/a2.png'"
check "another seed gives another picture" bash -c "'$bin/render' amber --frames 400 --size 200x150 --seed 43 --out '$tmp/a3.png' >/dev/null && ! cmp -s '$tmp/a1.png' '$tmp/a3.png'"
check "opal draws what amber draws" bash -c "'$bin/render' opal --frames 400 --size 200x150 --seed 42 --out '$tmp/o1.png' >/dev/null && cmp -s '$tmp/a1.png' '$tmp/o1.png'"
check "the output path is printed" bash -c "'$bin/render' jade --frames 5 --size 64x64 --seed 1 --out '$tmp/j.png' | grep -q 'j.png'"
for bad in "" "nosuch --frames 1 --size 64x64 --seed 1 --out $tmp/x.png" \
           "amber --frames 0 --size 64x64 --seed 1 --out $tmp/x.png" \
           "amber --frames 10 --size 64 --seed 1 --out $tmp/x.png" \
           "amber --frames 10 --size 64x64 --seed 99999 --out $tmp/x.png" \
           "amber --frames x --size 64x64 --seed 1 --out $tmp/x.png" \
           "amber --frames 10 --size 64x64 --seed 1"; do
  "$bin/render" $bad >/dev/null 2>"$tmp/err"
  status=$?
  check "usage error (status 2, one line) for: render $bad" bash -c "[ $status -eq 2 ] && [ \$(wc -l < '$tmp/err') -eq 1 ]"
done
echo "$pass passed, $fail failed"
[ $fail -eq 0 ]
