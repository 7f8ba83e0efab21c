"""Checks of a recording the sound server resampled.

A desktop's graph runs at 48 kHz: what the synth plays at 44100 Hz reaches
the monitor resampled, so no loop pass equals a table of the core and the
loop-exact analysis of check.py cannot apply. The same checks are made here
from what survives resampling: the loudness of each two loop cycles, read as
the level whose table has that loudness, and the pitch. A dropout is a run
of silence inside a sounding note; it is counted and shown, and the windows
it touches tell nothing about the level.

    heard.py --rate RATE SUBCOMMAND ARGS   (the sub-commands and arguments of check.py)
"""

import argparse
import os
import sys
import tempfile
import wave

import numpy as np

import analyser
import check
from analyser import LOOP_HZ, RATE
from check import CheckFailed, require

SILENCE = 2  # largest sample value still heard as silence after resampling
LOUD = 1024  # a note around a silence sounds at least this loud
MIN_DROPOUT_SECONDS = 0.001  # no note above level 4 is this long near zero
MAX_DROPOUT_SECONDS = 0.5
FLANK_SECONDS = 0.005
# Silences this close together are one dropout: the stream stuttered.
JOIN_SECONDS = 0.01


def silences(signal, rate):
    """Runs of silence of at least MIN_DROPOUT_SECONDS: [(first, end)]."""
    quiet = np.concatenate([[False], np.abs(signal) <= SILENCE, [False]])
    edges = np.flatnonzero(np.diff(quiet.astype(np.int8)))
    return [(int(first), int(end)) for first, end in zip(edges[::2], edges[1::2])
            if end - first >= MIN_DROPOUT_SECONDS * rate]


def dropouts(signal, rate):
    """Runs of silence inside sound: [(first sample, length)]."""
    joined = []
    for first, end in silences(signal, rate):
        if joined and first - joined[-1][1] <= JOIN_SECONDS * rate:
            joined[-1][1] = end
        else:
            joined.append([first, end])
    flank = int(FLANK_SECONDS * rate)
    found = []
    for first, end in joined:
        if end - first > MAX_DROPOUT_SECONDS * rate:
            continue
        before = signal[max(0, first - flank):first]
        after = signal[end:end + flank]
        if len(before) and len(after) and np.abs(before).max() >= LOUD \
                and np.abs(after).max() >= LOUD:
            found.append((first, end - first))
    return found


def print_dropouts(found, rate, first):
    print("dropouts (runs of silence inside a sounding note): %d%s" % (
        len(found), "" if not found else ", at " + " ".join(
            "%.3f s (%.1f ms)" % ((start - first) / rate, length / rate * 1000)
            for start, length in found[:20])))


def to_loop_rate(signal, rate):
    """The signal resampled to the synth's own rate (band-limited, by FFT)."""
    if rate == RATE or len(signal) == 0:
        return np.asarray(signal, dtype=np.int32)
    count = int(round(len(signal) * RATE / rate))
    spectrum = np.fft.rfft(np.asarray(signal, dtype=np.float64))
    resampled = np.fft.irfft(spectrum[:count // 2 + 1], count) * count / len(signal)
    return np.clip(np.rint(resampled), -32768, 32767).astype(np.int32)


class Heard:
    """The stretch of a recording between two markers, with its dropouts and
    its level every two loop cycles."""

    def __init__(self, args):
        self.rate = args.rate
        self.signal = analyser.load_recording(args.recording)
        markers = analyser.load_markers(args.markers)
        self.first = (markers[args.start] if args.start else 0) + int(args.skip * self.rate)
        self.end = min(markers[args.end] if args.end else len(self.signal), len(self.signal))
        require(self.end - self.first >= self.rate // 10,
                "only %d samples between %s and %s" % (self.end - self.first, args.start, args.end))
        self.part = self.signal[self.first:self.end]
        self.dropouts = dropouts(self.part, self.rate)
        print_dropouts(self.dropouts, self.rate, 0)
        self.window = int(round(2 * self.rate / LOOP_HZ))

    def levels(self, tables):
        """[(window start, level)] for the windows that sound throughout or
        are silent throughout; a window is given the level whose table is as
        loud. A window in part silent (a note's start or end, a dropout)
        tells nothing."""
        levels = sorted(tables)
        loudness = np.array([np.sqrt(np.mean(tables[level].astype(np.float64) ** 2))
                             for level in levels])
        broken = np.zeros(len(self.part) + 1, dtype=bool)
        for first, end in silences(self.part, self.rate):
            broken[first:end] = True
        found = []
        for start in range(0, len(self.part) - self.window + 1, self.window):
            inside = broken[start:start + self.window]
            if inside.any() and not inside.all():
                continue
            rms = np.sqrt(np.mean(self.part[start:start + self.window].astype(np.float64) ** 2))
            found.append((start, levels[int(np.argmin(np.abs(loudness - rms)))]))
        return found

    def stretches(self, found):
        """The levels split where a dropout falls between two windows."""
        runs = []
        for start, level in found:
            if runs and start - runs[-1][-1][0] == self.window:
                runs[-1].append((start, level))
            else:
                runs.append([(start, level)])
        return runs

    def check_pitch(self, harmonic, found):
        """The longest unbroken sounding stretch is at the pitch."""
        sounding = [run for run in self.stretches([p for p in found if p[1] > 0])]
        require(sounding, "no sound")
        run = max(sounding, key=len)
        piece = self.part[run[0][0]:run[-1][0] + self.window]
        frequency = analyser.dominant_frequency(piece, self.rate)
        seconds = len(piece) / self.rate
        print("dominant frequency %.2f Hz over %.3f s" % (frequency, seconds))
        # A fading, resampled stretch a fraction of a second long tells its
        # frequency to about one over its length; the next pitch is a whole
        # 122.5 Hz away.
        tolerance = max(0.5, 1.0 / seconds)
        require(abs(frequency - harmonic * LOOP_HZ) <= tolerance,
                "dominant frequency %.2f Hz over %.3f s, expected %.2f Hz"
                % (frequency, seconds, harmonic * LOOP_HZ))


def command_fade(args):
    """The note fades by one level step per decay tick into silence."""
    heard = Heard(args)
    found = heard.levels(analyser.load_tables(args.tables))
    sounding = [(start, level) for start, level in found if level > 0]
    require(sounding, "no sounding level found")
    print("levels: %s" % " ".join(str(level) for _, level in sounding))
    first_level = sounding[0][1]
    require(args.first_min - 2 <= first_level <= args.first_max + 2,
            "first level %d, expected %d..%d" % (first_level, args.first_min, args.first_max))
    rates = []
    for run in heard.stretches(sounding):
        values = [level for _, level in run]
        # Two loop cycles' loudness reads the level to within one step.
        rises = [(a, b) for a, b in zip(values, values[1:]) if b > a + 1]
        require(not rises, "the level rises: %s" % rises[:5])
        span = (run[-1][0] - run[0][0]) / heard.rate
        if span >= 0.25:
            rates.append((values[0] - values[-1]) / args.step / span)
    print("decay steps per second in each unbroken stretch: %s"
          % " ".join("%.1f" % r for r in rates))
    require(rates, "no unbroken stretch of a quarter second")
    # A busy machine delays decay ticks (a missed period is skipped), so only
    # a decay faster than the timer can tick is a fault; how slow it got is a
    # figure.
    for rate in rates:
        require(rate <= 1.25 * check.DECAY_TICKS_PER_SECOND,
                "%.1f decay steps per second, more than the timer's %.0f"
                % (rate, check.DECAY_TICKS_PER_SECOND))
    last_level = sounding[-1][1]
    require(last_level <= max(3 * args.step + 2, first_level // 10),
            "the sound stops at level %d" % last_level)
    require(any(level == 0 for start, level in found if start > sounding[-1][0]),
            "no silence after the fade")
    heard.check_pitch(args.harmonic, found)


def command_sound_within(args):
    """The sound is heard again after a marker, at the pitch; how soon is a
    figure, printed beside the usual limit."""
    heard = Heard(args)
    found = heard.levels(analyser.load_tables(args.tables))
    sounding = [(start, level) for start, level in found if level > 0]
    require(sounding, "no sound after %s" % args.start)
    delay = sounding[0][0] / heard.rate
    print("sound %.3f s after %s (level %d)" % (delay, args.start, sounding[0][1]))
    if delay > args.within:
        print("later than the usual %.1f s: a loaded machine" % args.within)
    heard.check_pitch(1, found)


def command_gaps(args):
    """Reports the dropouts of a long note: a figure of the machine's."""
    heard = Heard(args)
    found = heard.levels(analyser.load_tables(args.tables))
    silent = sum(1 for _, level in found if level == 0)
    print("silent windows %d of %d; dropouts %d" % (silent, len(found), len(heard.dropouts)))
    require(silent < len(found), "the note never sounded")


def command_pitches(args):
    """check.py's pitch check, on the recording brought back to 44100 Hz."""
    signal = analyser.load_recording(args.recording)
    with tempfile.TemporaryDirectory() as folder:
        recording = os.path.join(folder, "recording.s16")
        markers = os.path.join(folder, "markers.txt")
        to_loop_rate(signal, args.rate).astype("<i2").tofile(recording)
        with open(markers, "w") as out:
            for name, index in analyser.load_markers(args.markers).items():
                out.write("%s %d\n" % (name, round(index * RATE / args.rate)))
        forwarded = ["pitches", "--recording", recording, "--markers", markers,
                     "--expect", args.expect, "--min-windows", str(args.min_windows)]
        for option in ("start", "end"):
            if getattr(args, option):
                forwarded += ["--" + option, getattr(args, option)]
        check.command_pitches(check.make_parser()[0].parse_args(forwarded))


def notes(signal, rate):
    """Where the sound starts after a quarter second of quiet (longer than
    any dropout, shorter than the pauses between the scenario's notes)."""
    loud = np.flatnonzero(np.abs(signal) >= LOUD)
    if not loud.size:
        return []
    return [int(loud[0])] + [int(b) for a, b in zip(loud, loud[1:]) if b - a >= rate // 4]


def command_take(args):
    """A file the program recorded, against the monitor: it opens, is
    complete, reaches the marker, and holds the notes that were heard."""
    try:
        with wave.open(args.wav, "rb") as take:
            require((take.getnchannels(), take.getsampwidth(), take.getframerate())
                    == (1, 2, RATE), "%s is not 16-bit mono at %d Hz" % (args.wav, RATE))
            frames = take.getnframes()
            samples = np.frombuffer(take.readframes(frames), dtype="<i2").astype(np.int32)
    except (wave.Error, EOFError, OSError) as error:
        raise CheckFailed("%s does not open: %s" % (args.wav, error))
    if args.complete:
        require(44 + 2 * frames == os.path.getsize(args.wav),
                "the header counts %d frames, the file holds more" % frames)
    require(frames >= args.min_seconds * RATE, "the file holds %.2f s" % (frames / RATE))
    markers = analyser.load_markers(args.markers)
    signal = analyser.load_recording(args.recording)
    after = markers[args.after]
    until = markers[args.until] if args.until else len(signal)
    found = dropouts(signal[after:until], args.rate)
    print_dropouts(found, args.rate, 0)
    heard, played = notes(signal[after:until], args.rate), notes(samples, RATE)
    print("notes heard at %s s; in the file at %s s" % (
        " ".join("%.2f" % (i / args.rate) for i in heard),
        " ".join("%.2f" % (i / RATE) for i in played)))
    require(played and len(heard) == len(played),
            "the file holds %d notes, %d were heard" % (len(played), len(heard)))
    if args.until:
        # From the last note on, the file lasts as long as the monitor
        # heard, less the silences the server played instead of the stream
        # (the file is taken as the output asks for sound; while it runs
        # dry, the file waits).
        played_silence = sum(length for start, length in found if start > heard[-1])
        short = (until - after - heard[-1] - played_silence) / args.rate \
            - (len(samples) - played[-1]) / RATE
        print("the file ends %.3f s before '%s'" % (short, args.until))
        require(short <= args.missing_at_most,
                "the file lacks %.2f s before '%s'" % (short, args.until))


# check.py's sub-commands that are checked here instead.
HANDLERS = {"fade": command_fade, "pitches": command_pitches,
            "sound-within": command_sound_within, "gaps": command_gaps}


def main(argv):
    rate = argparse.ArgumentParser(add_help=False)
    rate.add_argument("--rate", type=int, required=True, help="the recording's rate")
    known, rest = rate.parse_known_args(argv)
    parser, commands = check.make_parser()
    take = commands.add_parser("take")
    take.set_defaults(handler=command_take)
    for option in ("--recording", "--markers", "--wav", "--after"):
        take.add_argument(option, required=True)
    take.add_argument("--until")
    take.add_argument("--complete", action="store_true")
    take.add_argument("--missing-at-most", type=float, default=0.0)
    take.add_argument("--min-seconds", type=float, default=0.0)
    args = parser.parse_args(rest)
    args.rate = known.rate
    if args.command != "take":
        if args.command not in HANDLERS:
            parser.error("%s is not checked on a resampled recording" % args.command)
        args.handler = HANDLERS[args.command]
    return check.run(args)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
