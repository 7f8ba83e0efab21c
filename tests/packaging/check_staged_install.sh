#!/usr/bin/env bash
# A staged install (DESTDIR) into /usr holds exactly the expected files, with
# a runnable program free of build-tree paths and icons of their stated size.
#   check_staged_install.sh <build-dir> <app-id> <source-svg>
set -euo pipefail
build=$1 id=$2 svg=$3
here=$(dirname "$0")
source "$here/expected_files.sh"

stage=$(mktemp -d "${TMPDIR:-/tmp}/scrivola-stage.XXXXXX")
trap 'rm -rf "$stage"' EXIT
DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null

status=0
fail() { echo "FAIL: $*" >&2; status=1; }

actual=$(cd "$stage" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort)
scrivola_same_list "the staged install" "$(scrivola_expected_files "$id")" "$actual" || status=1

program="$stage/usr/bin/scrivola-synth"
if [ -f "$program" ]; then
    [ -x "$program" ] || fail "the program is not executable"
    file -b "$program" | grep -q '^ELF' || fail "the program is not an ELF executable"
    if readelf -d "$program" | grep -E 'RPATH|RUNPATH' | grep -qF "$build"; then
        fail "the installed program still points into the build tree"
    fi
fi

for size in 16 32 48 128 256; do
    png="$stage/usr/share/icons/hicolor/${size}x${size}/apps/$id.png"
    [ -f "$png" ] || continue
    file -b "$png" | grep -q "^PNG image data, $size x $size, 8-bit/color RGBA" ||
        fail "$png is not a $size px RGBA PNG: $(file -b "$png")"
done

scalable="$stage/usr/share/icons/hicolor/scalable/apps/$id.svg"
[ ! -f "$scalable" ] || cmp -s "$scalable" "$svg" || fail "the scalable icon is not the app's SVG"
exit $status
