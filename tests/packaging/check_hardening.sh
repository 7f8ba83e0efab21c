#!/usr/bin/env bash
# The packaged program is hardened as Debian's own packages are: a
# position-independent executable with full RELRO (GNU_RELRO and BIND_NOW),
# stack protection, and checked ("fortified") C library calls.
#   check_hardening.sh <dir-with-the-deb> <other-program-built-alike>
# The packaged program makes no C library call whose buffer size the
# compiler knows, so the fortified calls are looked for in the second
# program, built from this tree with the same flags; the packaged one must
# call no always-checked function (printf and the like) unchecked.
set -euo pipefail
out=$1 alike=$2
source "$(dirname "$0")/session.sh"

work=$(mktemp -d "${TMPDIR:-/tmp}/scrivola-hardening.XXXXXX")
trap 'rm -rf "$work"' EXIT
unpack_deb "$out" "$work"
program="$work/root/usr/bin/scrivola-synth"

status=0
fail() { echo "FAIL: $*" >&2; status=1; }

# The lists are read whole before grep looks at them: a grep -q that stops
# early would make the command before it fail.
header=$(readelf -hW "$program")
dynamic=$(readelf -dW "$program")
segments=$(readelf -lW "$program")
imports() { readelf --dyn-syms -W "$1" | awk '$7 == "UND" { sub(/@.*/, "", $8); print $8 }'; }
program_imports=$(imports "$program")
alike_imports=$(imports "$alike")

grep -q 'Type: *DYN' <<<"$header" || fail "not position-independent: $(grep Type: <<<"$header")"
grep -qE 'FLAGS_1.*\bPIE\b' <<<"$dynamic" || fail "no PIE flag in the dynamic section"
grep -q GNU_RELRO <<<"$segments" || fail "no GNU_RELRO segment (no RELRO)"
grep -qE '\(FLAGS\).*\bBIND_NOW\b' <<<"$dynamic" || fail "no BIND_NOW: RELRO is only partial"
grep -qE 'FLAGS_1.*\bNOW\b' <<<"$dynamic" || fail "no NOW in FLAGS_1"
grep -qx __stack_chk_fail <<<"$program_imports" || fail "no stack protector (__stack_chk_fail)"

unchecked=$(grep -xE '(v?[fsd]?n?printf|__printf|syslog|vsyslog)' <<<"$program_imports" || true)
[ -z "$unchecked" ] || fail "unchecked calls to: $unchecked"
grep -qE '^__[a-z]+_chk$' <<<"$alike_imports" ||
    fail "no fortified (*_chk) call in $alike: $(grep -E 'printf|mem|str' <<<"$alike_imports" | xargs)"

echo "$(grep -o 'Type:.*' <<<"$header"); $(grep -o 'FLAGS_1.*' <<<"$dynamic" | tr -s ' ');" \
    "GNU_RELRO; $(grep -o '(FLAGS).*' <<<"$dynamic" | tr -s ' ');" \
    "imports $(grep -E '_chk' <<<"$program_imports" | xargs);" \
    "alike imports $(grep -E '^__[a-z]+_chk$' <<<"$alike_imports" | xargs)"
exit $status
