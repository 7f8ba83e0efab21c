#!/usr/bin/env bash
# Recording into a file that cannot be written: when the file reaches the
# size limit (a full disk) part-way, and when its folder does not exist. Each
# time one message box says so, and standard error too, as the file was named
# on the command line; the program and its sound carry on, what was written
# is a valid file, and the program's exit status is 1 however it ends.
source "$(dirname "$0")/harness.sh"
e2e_begin record_failures
e2e_start_sound_server
e2e_start_recording

CMDEXIT=(8160 120 255 285)
LIMIT_KIB=200 # about 2.3 s of sound

play_note() {
    e2e_pen_down "$1" 200
    sleep 0.05
    e2e_surface_move $(($1 + 1)) 220
    sleep 0.3
    e2e_pen_up
}

# The message box about the recording: exactly one, answered with Enter.
expect_one_message() {
    e2e_wait_dialog "Record Sound" >/dev/null || e2e_fail "no message box about the recording ($1)"
    e2e_mark "$1_told"
    sleep 1 # a second box would show by now
    local boxes
    boxes=$(e2e_xdo search --all --onlyvisible --pid "$E2E_APP_PID" --name '^Record Sound$' | wc -l)
    [ "$boxes" = 1 ] || e2e_fail "$boxes message boxes about the recording ($1)"
    e2e_dialog_key "Record Sound" Return
    e2e_app_running || e2e_fail "the program ended ($1)"
    play_note 200
    sleep 0.5
}

# The file size limit applies to the program only (a soft limit, lifted
# again for what follows). The program ignores the signal the limit sends.
e2e_mark full_start
ulimit -S -f "$LIMIT_KIB"
e2e_start_app --record "$E2E_DIR/full.wav"
ulimit -S -f unlimited
sleep 0.5
for x in 100 150 200 250 300; do
    play_note "$x"
    sleep 0.4
done
expect_one_message full
"$E2E_PYTHON" "$E2E_HERE/wav_check.py" --wav "$E2E_DIR/full.wav" --recording "$E2E_RECORDING" \
    --markers "$E2E_MARKERS" --after full_start --complete --min-seconds 1.5 \
    --sound-after full_told | sed "s/^/[$E2E_NAME] full: /"
[ "${PIPESTATUS[0]}" = 0 ] || e2e_fail "the file left by the full disk"
size=$(stat -c %s "$E2E_DIR/full.wav")
((size <= LIMIT_KIB * 1024)) || e2e_fail "the file is larger than the limit: $size bytes"

# The reason on standard error, once, as the message box gave it.
told_on_stderr() {
    local lines
    lines=$(grep -c "^scrivola-synth: $2" "$E2E_DIR/app.stderr")
    [ "$lines" = 1 ] || e2e_fail "stderr tells $lines times ($1): $(cat "$E2E_DIR/app.stderr")"
}
told_on_stderr full "Recording to $E2E_DIR/full.wav stopped: File too large\."

# Back to the menu's state: a new recording could start, and the program
# still ends normally, saying by its status that the recording failed.
e2e_click_twips "${CMDEXIT[@]}"
e2e_dialog_key "Exit Scrivola" "${E2E_YES_KEYS:-y}"
e2e_wait_app_exit 10 || e2e_fail "the program still runs 10 s after Yes"
[ "$E2E_APP_STATUS" = 1 ] || e2e_fail "status $E2E_APP_STATUS after a failed recording"

e2e_mark missing_start
e2e_start_app --record "$E2E_DIR/no-such-folder/take.wav"
expect_one_message missing
told_on_stderr missing "Cannot record to $E2E_DIR/no-such-folder/take.wav: No such file or directory\."
kill -TERM "$E2E_APP_PID"
e2e_wait_app_exit 10 || e2e_fail "the program still runs 10 s after SIGTERM"
[ "$E2E_APP_STATUS" = 1 ] || e2e_fail "status $E2E_APP_STATUS after a recording that never started"
sleep 0.3
e2e_stop_recording

# A signal while that message box is still open, shown before the program's
# event loop ran, ends it all the same.
e2e_start_app --record "$E2E_DIR/no-such-folder/take.wav"
e2e_wait_dialog "Record Sound" >/dev/null || e2e_fail "no message box about the recording"
kill -TERM "$E2E_APP_PID"
e2e_wait_app_exit 10 || e2e_fail "the program still runs 10 s after SIGTERM with the box open"
[ "$E2E_APP_STATUS" = 1 ] || e2e_fail "status $E2E_APP_STATUS after SIGTERM with the box open"
"$E2E_PYTHON" "$E2E_HERE/wav_check.py" --recording "$E2E_RECORDING" --markers "$E2E_MARKERS" \
    --sound-after missing_told | sed "s/^/[$E2E_NAME] missing folder: /"
[ "${PIPESTATUS[0]}" = 0 ] || e2e_fail "no sound after the message about the missing folder"
