#!/usr/bin/env python3
"""Checks a WAV file the program recorded against the sound server's monitor.

The WAV file is read as a player reads it: through its header. Its samples
are aligned with the monitor's recording by their first sound after a marker
and must then equal it sample for sample, but for the few short dropouts a
busy machine causes in the output (which the file, taken before the output,
does not share). With --sound-after alone, only checks that the monitor hears
sound after a marker.
"""

import argparse
import os
import sys
import wave

import numpy as np

from analyser import RATE, load_markers, load_recording

HEADER_BYTES = 44
# How long a server stall may last before the output counts as stopped, and
# how much of the monitor's recording identifies where the file is heard
# again. A host that takes the CPUs away stalls the server for a few hundred
# milliseconds now and then; a longer silence means the output stopped.
MAX_DROPOUT_SILENCE = RATE // 2
RESUME_WINDOW = 128
# How much of the file's end the monitor may not have heard.
END_UNHEARD = RATE // 10


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def read_wav(path):
    """(samples, header frames) as a player opens it; fails if it cannot."""
    try:
        with wave.open(path, "rb") as wav:
            if (wav.getnchannels(), wav.getsampwidth(), wav.getframerate()) != (1, 2, RATE):
                fail("%s is not 16-bit mono at %d Hz" % (path, RATE))
            frames = wav.getnframes()
            data = wav.readframes(frames)
    except (wave.Error, EOFError, OSError) as error:
        fail("%s does not open: %s" % (path, error))
    return np.frombuffer(data, dtype="<i2").astype(np.int32), frames


def first_sound(samples, start=0):
    loud = np.flatnonzero(samples[start:])
    return start + int(loud[0]) if loud.size else None


def compare(wav, monitor, offset):
    """Walks the file and the monitor's recording side by side from the file's
    first sample at `offset`. They must be equal, except where the output ran
    dry on a busy machine: there the server may play a short run of silence
    and drop some of the file's samples, and the walk resumes where the file
    is heard again, at most half a second of it later. Returns (samples
    equal, [(file index, silence, samples lost)], file index where the
    monitor's recording ends)."""
    i, j, matched, dropouts = 0, offset, 0, []
    while i < len(wav) and j < len(monitor):
        length = min(len(wav) - i, len(monitor) - j)
        differ = np.flatnonzero(wav[i:i + length] != monitor[j:j + length])
        if not differ.size:
            return matched + length, dropouts, i + length
        step = int(differ[0])
        matched, i, j = matched + step, i + step, j + step
        loud = np.flatnonzero(monitor[j:j + RATE] != 0)
        if not loud.size and len(wav) - i <= END_UNHEARD:
            # The program closed its output before the last blocks it had
            # handed over were heard.
            return matched, dropouts, i
        if not loud.size:
            fail("the monitor falls silent at %.3f s of the file" % (i / RATE))
        resumed = j + int(loud[0])
        window = monitor[resumed:resumed + RESUME_WINDOW]
        candidates = np.lib.stride_tricks.sliding_window_view(
            wav[i:i + RATE // 2 + len(window)], len(window))
        found = np.flatnonzero((candidates == window).all(axis=1))
        if not found.size:
            fail("the file differs from what was played at %.3f s: file %s, monitor %s" % (
                i / RATE, wav[i:i + 6].tolist(), monitor[j:j + 6].tolist()))
        if resumed - j > MAX_DROPOUT_SILENCE:
            fail("the monitor heard %.2f s of silence that is not in the file at %.3f s" % (
                (resumed - j) / RATE, i / RATE))
        dropouts.append((i, resumed - j, int(found[0])))
        i, j = i + int(found[0]), resumed
    return matched, dropouts, i


def main(argv):
    parser = argparse.ArgumentParser()
    parser.add_argument("--recording", required=True, help="the monitor's recording")
    parser.add_argument("--markers", required=True)
    parser.add_argument("--sound-after", help="marker after which the monitor must hear sound")
    parser.add_argument("--wav", help="the file the program recorded")
    parser.add_argument("--after", help="marker before the program started")
    parser.add_argument("--complete", action="store_true",
                        help="the header accounts for every byte of the file")
    parser.add_argument("--until", help="marker up to which the file must reach")
    parser.add_argument("--missing-at-most", type=float, default=0.0,
                        help="seconds before --until that the file may lack")
    parser.add_argument("--min-seconds", type=float, default=0.0)
    args = parser.parse_args(argv)

    monitor = load_recording(args.recording)
    markers = load_markers(args.markers)
    if args.sound_after:
        heard = np.count_nonzero(monitor[markers[args.sound_after]:])
        print("%.2f s of sound after '%s'" % (heard / RATE, args.sound_after))
        if heard < RATE // 10:
            fail("the sound does not carry on after '%s'" % args.sound_after)
    if args.wav:
        check_wav(args, monitor, markers)


def check_wav(args, monitor, markers):
    wav, frames = read_wav(args.wav)
    size = os.path.getsize(args.wav)
    if args.complete and HEADER_BYTES + 2 * frames != size:
        fail("header counts %d frames, the file holds %d" % (frames, (size - HEADER_BYTES) // 2))
    if frames < args.min_seconds * RATE:
        fail("the file holds %.2f s, less than %.2f s" % (frames / RATE, args.min_seconds))

    w0 = first_sound(wav)
    m0 = first_sound(monitor, markers[args.after])
    if w0 is None or m0 is None:
        fail("no sound in the %s" % ("file" if w0 is None else "monitor's recording"))
    offset = m0 - w0  # monitor index of the file's first sample
    matched, dropouts, end = compare(wav, monitor, offset)
    print("%d samples (%.2f s) equal what was played; %d output dropouts" % (
        matched, matched / RATE, len(dropouts)))
    for i, silence, lost in dropouts:
        print("  dropout at %.3f s: %d samples of silence played, %d samples of the file "
              "not heard" % (i / RATE, silence, lost))
    if end < len(wav) - END_UNHEARD:
        fail("the monitor's recording ends %.2f s before the file" % ((len(wav) - end) / RATE))
    # The silences the server added move the file against the monitor.
    offset += sum(silence - lost for _, silence, lost in dropouts)

    if args.until:
        wanted = markers[args.until] - offset
        short = (wanted - len(wav)) / RATE
        print("the file ends %.3f s before '%s'" % (short, args.until))
        if short > args.missing_at_most:
            fail("the file lacks %.2f s before '%s', more than %.2f s"
                 % (short, args.until, args.missing_at_most))


if __name__ == "__main__":
    main(sys.argv[1:])
