#!/usr/bin/env bash
# The performance files' MIME type: shared-mime-info accepts its definition,
# a .scrivola file and a file starting with the format's header are both of
# the type, and the desktop entry takes it.
#   check_mime.sh <mime-xml> <type> <desktop-file> <performance-file>
set -uo pipefail
xml=$1 type=$2 desktop=$3 sample=$4
status=0
fail() { echo "FAIL: $*" >&2; status=1; }
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

mkdir -p "$dir/mime/packages"
cp "$xml" "$dir/mime/packages/"
update-mime-database "$dir/mime" || fail "update-mime-database rejects $xml"
grep -q "$type:\*\.scrivola" "$dir/mime/globs2" || fail "*.scrivola is not $type"
grep -qa "scrivola-performance" "$dir/mime/magic" || fail "no magic for $type"
head -c 40 "$sample" | grep -q '^{"format":"scrivola-performance"' ||
    fail "$sample does not start with the magic"
grep -q "^MimeType=.*$type;" "$desktop" || fail "the desktop entry does not take $type"
grep -q '^Exec=.* %f$' "$desktop" || fail "the desktop entry's Exec takes no file"
exit $status
