#!/usr/bin/env bash
# Lintian, Debian's package checker, finds no error and no warning in the
# package (information tags are shown but allowed).
#   check_lintian.sh <dir-with-the-deb>
set -euo pipefail
debs=("$1"/scrivola-synth_*.deb)
[ -f "${debs[0]}" ] || { echo "FAIL: no package in $1" >&2; exit 1; }
lintian --display-info --fail-on error,warning "${debs[0]}" ||
    { echo "FAIL: lintian found errors or warnings (above)" >&2; exit 1; }
echo "lintian: no error, no warning"
