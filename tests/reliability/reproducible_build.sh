#!/usr/bin/env bash
# Two builds of one commit give the same packages, byte for byte: the commit is
# cloned twice into different folders (other names, other depths) and
# scripts/package runs in each from scratch, the second after the first has
# finished (so at a later time), in another time zone and locale and with
# another umask. Every file of the two build/packages/ folders is compared; for
# one that differs, tests/reliability/package_diff.py says which members and
# which bytes.
#
#   tests/reliability/reproducible_build.sh [commit]      (default: HEAD)
#
# Work folder: build/reproducible/ (the clones and their logs; removed first).
# Prints "ok - ..." or "not ok - ..." per file, "# ..." lines with the details,
# ends with "N passed, M failed" and exits non-zero if any file differs.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
commit=$(git -C "$top" rev-parse --verify -q "${1:-HEAD}^{commit}") || {
    echo "reproducible_build.sh: no commit \"${1:-HEAD}\"" >&2
    exit 2
}
work="$top/build/reproducible"
rm -rf "$work"
first="$work/a/corvel-savers"
second="$work/second-build/somewhere/else/savers-clone"
passed=0
failed=0

# package <clone> <log> <time zone> <locale> <umask>
package() {
    git clone -q --no-checkout "$top" "$1" && git -C "$1" checkout -q --detach "$commit" || return 1
    (cd "$1" && umask "$5" && env -u SOURCE_DATE_EPOCH TZ="$3" LC_ALL="$4" nice scripts/package) >"$2" 2>&1
}

echo "# commit $commit ($(git -C "$top" log -1 --format='%ci' "$commit"))"
started=$(date -u '+%T')
if ! package "$first" "$work/first.log" UTC C.UTF-8 022; then
    echo "Bail out! the first build failed (log: ${work#"$top"/}/first.log)"
    exit 1
fi
echo "# first build: $first, TZ=UTC, umask 022, $started to $(date -u '+%T') UTC"
started=$(date -u '+%T')
if ! package "$second" "$work/second.log" Pacific/Kiritimati POSIX 002; then
    echo "Bail out! the second build failed (log: ${work#"$top"/}/second.log)"
    exit 1
fi
echo "# second build: $second, TZ=Pacific/Kiritimati, umask 002, $started to $(date -u '+%T') UTC"

files=$(find "$first/build/packages" "$second/build/packages" -maxdepth 1 -type f -printf '%f\n' | LC_ALL=C sort -u)
for file in $files; do
    a="$first/build/packages/$file"
    b="$second/build/packages/$file"
    if [ ! -f "$a" ] || [ ! -f "$b" ]; then
        echo "not ok - $file: made by one build only"
        failed=$((failed + 1))
    elif cmp -s "$a" "$b"; then
        echo "ok - $file: byte-identical ($(stat -c %s "$a") bytes, sha256 $(sha256sum "$a" | cut -c1-16)...)"
        passed=$((passed + 1))
    else
        echo "not ok - $file: differs"
        "$here/package_diff.py" "$a" "$b"
        failed=$((failed + 1))
    fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
