#!/usr/bin/env bash
# scrivola-synth --render with no display and no sound server: a good
# performance gives a complete sound file in each format; an unknown file
# type and a bad performance give one line on stderr, status 1 and no file.
set -u
PROGRAM=$1
DATA=$2
OUT=$(mktemp -d)
trap 'rm -rf "$OUT"' EXIT
export -n DISPLAY WAYLAND_DISPLAY PULSE_SERVER
failed=0
fail() { echo "FAIL: $*"; failed=1; }

for type in wav flac ogg; do
    if ! "$PROGRAM" --render "$DATA/hand.scrivola" --record "$OUT/hand.$type" 2>"$OUT/err"; then
        fail "render to .$type: $(cat "$OUT/err")"
    elif [ ! -s "$OUT/hand.$type" ]; then
        fail "render to .$type left no file"
    fi
done
head -c 4 "$OUT/hand.wav" | grep -q RIFF || fail "the .wav is not a RIFF WAV file"

expect_refusal() {  # expected text on stderr, then the arguments
    local expected=$1
    shift
    "$PROGRAM" "$@" 2>"$OUT/err" >/dev/null
    local status=$?
    [ "$status" -eq 1 ] || fail "$*: status $status, not 1"
    [ "$(wc -l <"$OUT/err")" -eq 1 ] || fail "$*: not one line on stderr: $(cat "$OUT/err")"
    grep -q -- "$expected" "$OUT/err" || fail "$*: '$expected' not in: $(cat "$OUT/err")"
}
printf '{"format":"scrivola-performance","version":1}\n{"k":"state"}\n{"k":"tick"}\n' >"$OUT/bad.scrivola"
expect_refusal "bad.scrivola, line 3: \"t\" is missing" --render "$OUT/bad.scrivola" --record "$OUT/bad.wav"
[ -e "$OUT/bad.wav" ] && fail "a refused render left a file"
ls "$OUT" | grep -q 'XXXXXX\|\.wav\.' && fail "a temporary file was left behind"
exit $failed
