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

# Each type of sound file; names that are not valid UTF-8 are taken as the
# very bytes given, the performance's and the sound file's.
latin1=$'\xe9'
cp "$DATA/hand.scrivola" "$OUT/h$latin1.scrivola"
renders=("$DATA/hand.scrivola" "$OUT/hand.wav"
    "$DATA/hand.scrivola" "$OUT/hand.flac"
    "$DATA/hand.scrivola" "$OUT/hand.ogg"
    "$OUT/h$latin1.scrivola" "$OUT/caf$latin1.wav")
for ((i = 0; i < ${#renders[@]}; i += 2)); do
    from=${renders[i]} to=${renders[i + 1]}
    if ! "$PROGRAM" --render "$from" --record "$to" 2>"$OUT/err"; then
        fail "render to $to: $(cat "$OUT/err")"
    elif [ ! -s "$to" ]; then
        fail "render to $to left no file under that name: $(ls "$OUT")"
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
