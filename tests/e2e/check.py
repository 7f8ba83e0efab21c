"""Checks of one end-to-end scenario's recording, screenshot or output.

Each sub-command prints what it measured and exits with 1 when the check
fails, so the scenario scripts can stop at the first failure.
"""

import argparse
import sys

import numpy as np

import analyser
from analyser import LOOP_HZ, PERIOD, RATE

# How fast the level falls: one step per decay-timer period, 64 per second.
DECAY_TICKS_PER_SECOND = 64.0


class CheckFailed(Exception):
    pass


def require(condition, message):
    if not condition:
        raise CheckFailed(message)


def segment(args):
    """The recording and the sample range between two markers."""
    signal = analyser.load_recording(args.recording)
    markers = analyser.load_markers(args.markers)
    first = (markers[args.start] if args.start else 0) + int(args.skip * RATE)
    end = markers[args.end] if args.end else len(signal)
    end = min(end, len(signal))
    require(end - first >= PERIOD * 4,
            "only %d samples between %s and %s" % (end - first, args.start, args.end))
    return signal, first, end


def seconds(samples):
    return samples / RATE


def check_exact(track):
    """Every loop pass that sounds is made of stretches of the core's tables,
    apart from the passes next to a dropout.

    A busy or virtual machine may let the stream run dry: the server plays
    silence, and the loop resumes at another phase. Those passes are the
    server's, and how often it happens is a figure for bench/measure, not a
    verdict on the sound. A pass that no table explains away from any
    dropout is a wrong sound.
    """
    sounding = track.passes - track.silent
    print("loop passes: %d (silent %d, whole tables %d, seamed %d, with a dropout %d, "
          "next to a dropout %d, unexplained %d; phase changes %d)"
          % (track.passes, track.silent, track.whole_count, track.seamed, len(track.gapped),
             len(track.excused), len(track.unexplained), track.phase_changes))
    require(track.whole_count > 0, "no loop pass equals any of the core's tables")
    require(not track.unexplained,
            "%d loop passes away from any dropout are no stretch of any table, first at %.3f s"
            % (len(track.unexplained),
               seconds(track.unexplained[0]) if track.unexplained else 0))
    spoiled = len(track.gapped) + len(track.excused)
    require(track.whole_count * 3 >= sounding - spoiled,
            "only %d of %d sounding passes equal one table" % (track.whole_count, sounding))


def without_torn_copies(steps, name):
    """The levels of `steps` ((first sample, level) in time order) without
    those of torn copies. A table written while a callback copies the loop
    sounds part new and part old in that callback (the mixer shares the loop
    word by word, never by lock), so the old level comes back for less than
    one callback's block and is gone with the next: a, b, a after b, a.
    Such a return is the write's timing, not the level rising, which would
    last a whole tick."""
    values = [level for _, level in steps]
    torn = {k for k in range(2, len(values) - 1)
            if values[k] == values[k - 2] > values[k - 1] >= values[k + 1]
            and steps[k + 1][0] - steps[k][0] < PERIOD}
    if torn:
        print("%s: %d old levels heard again for part of a callback (a table written "
              "while the callback copied the loop)" % (name, len(torn)))
    kept = [v for k, v in enumerate(values) if k not in torn]
    return [v for k, v in enumerate(kept) if k == 0 or v != kept[k - 1]]


def check_fade(track, step, first_range, name):
    """Levels fall by whole steps, one step per decay tick, into silence."""
    levels = track.levels()
    sounding = [(index, level) for index, level in levels if level > 0]
    require(sounding, "%s: no sounding level found" % name)
    first_index, first_level = sounding[0]
    last_index, last_level = sounding[-1]
    print("%s: levels %s" % (name, " ".join(str(level) for _, level in sounding)))
    require(first_range[0] <= first_level <= first_range[1],
            "%s: first level %d, expected %d..%d" % (name, first_level, *first_range))
    # Silent passes between sounding ones are dropouts of the stream (an
    # underrun on a busy machine), not the level: the level never reaches 0
    # and sounds again.
    dropouts = sum(1 for index, level in track.points
                   if level == 0 and first_index < index < last_index)
    print("%s: %d silent passes inside the fade (stream dropouts)" % (name, dropouts))
    values = without_torn_copies(sounding, name)
    rises = [(a, b) for a, b in zip(values, values[1:]) if b > a]
    require(not rises, "%s: the level rises: %s" % (name, rises[:5]))
    drops = [a - b for a, b in zip(values, values[1:]) if a != b]
    off_step = [d for d in drops if d % step != 0]
    require(not off_step, "%s: drops that are no multiple of %d: %s" % (name, step, off_step))
    single = sum(1 for d in drops if d == step)
    print("%s: %d drops, %d of exactly one step" % (name, len(drops), single))
    # A drop of several steps means a decay tick fell between two writes of
    # the table, or a pass was not heard whole (more often on a busy machine).
    require(drops, "%s: the level never drops" % name)
    # The fade runs down to the last steps (a dropout may hide the very last).
    require(last_level <= max(3 * step, first_level // 10),
            "%s: the sound stops at level %d" % (name, last_level))
    span = seconds(last_index - first_index)
    if span > 0.25:
        rate = (first_level - last_level) / step / span
        print("%s: %.1f decay steps per second" % (name, rate))
        # A busy machine delays decay ticks (a missed period is skipped):
        # only a decay faster than the timer can tick is a fault.
        require(rate <= 1.25 * DECAY_TICKS_PER_SECOND,
                "%s: %.1f decay steps per second, more than the timer's %.0f"
                % (name, rate, DECAY_TICKS_PER_SECOND))
    return sounding


def check_silent_after(signal, index, end, name, minimum=0.2):
    loud = np.nonzero(signal[index:end])[0]
    if len(loud):
        raise CheckFailed("%s: sound at %.3f s, after the fade had ended"
                          % (name, seconds(index + loud[0])))
    require(seconds(end - index) >= minimum,
            "%s: only %.2f s of silence after the fade" % (name, seconds(end - index)))


def command_fade(args):
    signal, first, end = segment(args)
    tables = analyser.load_tables(args.tables)
    track = analyser.LevelTrack(signal, tables, first, end)
    check_exact(track)
    sounding = check_fade(track, args.step, (args.first_min, args.first_max), "fade")
    # The last level's pass ends at most one loop pass plus a decay tick later.
    silence_from = sounding[-1][0] + 2 * PERIOD + RATE // 32
    check_silent_after(signal, silence_from, end, "fade")
    check_pitch(signal[first:end], args.harmonic)


def check_pitch(signal, harmonic):
    """Only one pitch sounds, measured on its longest unbroken stretch."""
    runs = analyser.harmonic_runs(signal, min_length=4)
    others = sorted({h for h, _, _ in runs if h != harmonic})
    require(not others, "other pitch terms sound: %s" % others)
    require(runs, "pitch term %d never sounds on its own" % harmonic)
    _, start, count = max(runs, key=lambda run: run[2])
    frequency = analyser.dominant_frequency(signal[start:start + count * PERIOD])
    print("dominant frequency %.2f Hz over %.3f s" % (frequency, seconds(count * PERIOD)))
    require(abs(frequency - harmonic * LOOP_HZ) <= 0.5,
            "dominant frequency %.2f Hz, expected %.2f Hz" % (frequency, harmonic * LOOP_HZ))


def command_pitches(args):
    signal, first, end = segment(args)
    expected = [int(word) for word in args.expect.split(",")]
    runs = analyser.harmonic_runs(signal[first:end], min_length=args.min_windows)
    print("harmonic runs (harmonic x windows): %s"
          % " ".join("%dx%d" % (harmonic, count) for harmonic, _, count in runs))
    heard = []
    for harmonic, start, count in runs:
        if heard and heard[-1][0] == harmonic:
            heard[-1].append((start, count))
        else:
            heard.append([harmonic, (start, count)])
    require([h[0] for h in heard] == expected,
            "pitch terms heard %s, expected %s" % ([h[0] for h in heard], expected))
    for harmonic, *stretches in heard:
        # A dropout breaks a run and shifts the loop's phase: measure the
        # longest unbroken run.
        start, count = max(stretches, key=lambda stretch: stretch[1])
        frequency = analyser.dominant_frequency(
            signal[first + start:first + start + count * PERIOD])
        print("pitch term %d: %.2f Hz over %.3f s" % (harmonic, frequency,
                                                      seconds(count * PERIOD)))
        require(abs(frequency - harmonic * LOOP_HZ) <= 0.5,
                "pitch term %d sounds at %.2f Hz, expected %.2f Hz"
                % (harmonic, frequency, harmonic * LOOP_HZ))


def command_voices(args):
    """Voice A at one harmonic, voice B at another, sharing the energy."""
    signal, first, end = segment(args)
    _, energy = analyser.window_harmonics(signal[first:end])
    totals = energy.sum(axis=1)
    loud = totals > 0
    require(np.count_nonzero(loud) >= 10, "fewer than 10 sounding windows")
    energy = energy[loud]
    totals = totals[loud]
    a, b = args.harmonic_a, args.harmonic_b
    # Rewrites inside a window (the modulation changes the voices' loudness at
    # every tick) spread some energy; over the stretch it stays on the two.
    both = (energy[:, a].sum() + energy[:, b].sum()) / totals.sum()
    share_b = energy[:, b].sum() / totals.sum()
    peak_b = np.max(energy[:, b] / totals)
    print("%d sounding windows: harmonics %d and %d hold %.3f of the energy, voice B %.3f "
          "(at most %.3f in one window)" % (len(totals), a, b, both, share_b, peak_b))
    require(both >= 0.85, "harmonics %d and %d hold only %.3f of the energy" % (a, b, both))
    require(share_b >= 0.1 and peak_b >= 0.3,
            "voice B at harmonic %d is too weak: %.3f of the energy, at most %.3f"
            % (b, share_b, peak_b))
    # Apart from voice A's harmonic, voice B's is the strongest wherever it sounds.
    others = energy.copy()
    others[:, a] = 0
    strongest = np.argmax(others, axis=1)
    where_b = energy[:, b] / totals >= 0.05
    agree = np.mean(strongest[where_b] == b)
    print("voice B's strongest harmonic is %d in %.0f%% of the %d windows where it sounds"
          % (b, 100 * agree, np.count_nonzero(where_b)))
    require(agree >= 0.9, "voice B's strongest harmonic is %d in only %.0f%% of windows"
            % (b, 100 * agree))


def command_exact(args):
    """Every sounding loop pass is made of the given tables."""
    signal, first, end = segment(args)
    check_exact(analyser.LevelTrack(signal, analyser.load_tables(args.tables), first, end))


def command_sound_within(args):
    """The core's table is heard again after a marker. How soon is a figure
    (a loaded machine only delays it), printed beside the usual limit."""
    signal, first, end = segment(args)
    tables = analyser.load_tables(args.tables)
    found = analyser.find_whole_periods(signal[first:end], tables)
    require(found, "no loop pass equals the core's tables after %s" % args.start)
    delay = seconds(found[0][0])
    print("first whole table %.3f s after %s (level %d); %d whole passes"
          % (delay, args.start, found[0][1], len(found)))
    if delay > args.within:
        print("later than the usual %.1f s: a loaded machine" % args.within)
    track = analyser.LevelTrack(signal, tables, first + found[0][0], end)
    check_exact(track)


def command_gaps(args):
    """Reports the gaps of a long note (a figure: the machine's, not ours)
    and checks that the note kept sounding."""
    signal, first, end = segment(args)
    track = analyser.LevelTrack(signal, analyser.load_tables(args.tables), first, end)
    check_exact(track)
    found = analyser.gaps(track)
    print("gaps: %d in %.1f s of sound%s" % (
        len(found), seconds(end - first),
        "" if not found else " at " + " ".join("%.3f" % seconds(i - first) for i in found[:20])))
    print("silent loop passes: %d of %d" % (track.silent, track.passes))


def command_surface(args):
    """Counts lit pixels of the drawing surface in a raw RGB screenshot."""
    width, height = (int(v) for v in args.size.split("x"))
    pixels = np.fromfile(args.image, dtype=np.uint8)
    require(len(pixels) == width * height * 3,
            "screenshot has %d bytes, expected %dx%dx3" % (len(pixels), width, height))
    image = pixels.reshape(height, width, 3)
    left, top, w, h = (int(v) for v in args.rect.split(","))
    area = image[top:top + h, left:left + w]
    lit = np.count_nonzero(area.max(axis=2) > 0)
    white = np.count_nonzero(area.min(axis=2) == 255)
    print("surface %dx%d at (%d, %d): %d lit pixels, %d white" % (w, h, left, top, lit, white))
    if args.expect == "black":
        require(lit == 0, "the drawing surface is not black: %d lit pixels" % lit)
    else:
        require(white >= args.min_white, "the stroke shows only %d white pixels" % white)


def make_parser():
    """The sub-commands and their arguments, each with its handler."""
    parser = argparse.ArgumentParser(description=__doc__)
    commands = parser.add_subparsers(dest="command", required=True)

    def recording_command(name, handler):
        command = commands.add_parser(name)
        command.add_argument("--recording", required=True)
        command.add_argument("--markers", required=True)
        command.add_argument("--start", help="marker where the stretch starts")
        command.add_argument("--end", help="marker where the stretch ends")
        command.add_argument("--skip", type=float, default=0.0,
                             help="seconds after the start marker to leave out")
        command.set_defaults(handler=handler)
        return command

    fade = recording_command("fade", command_fade)
    fade.add_argument("--tables", required=True)
    fade.add_argument("--step", type=int, default=1)
    fade.add_argument("--harmonic", type=int, default=1)
    fade.add_argument("--first-min", type=int, required=True)
    fade.add_argument("--first-max", type=int, required=True)

    pitches = recording_command("pitches", command_pitches)
    pitches.add_argument("--expect", required=True, help="pitch terms in order, e.g. 1,4,2")
    pitches.add_argument("--min-windows", type=int, default=8)

    voices = recording_command("voices", command_voices)
    voices.add_argument("--harmonic-a", type=int, required=True)
    voices.add_argument("--harmonic-b", type=int, required=True)

    exact = recording_command("exact", command_exact)
    exact.add_argument("--tables", required=True)

    within = recording_command("sound-within", command_sound_within)
    within.add_argument("--tables", required=True)
    within.add_argument("--within", type=float, required=True)

    gap_count = recording_command("gaps", command_gaps)
    gap_count.add_argument("--tables", required=True)

    surface = commands.add_parser("surface")
    surface.add_argument("--image", required=True)
    surface.add_argument("--size", required=True, help="WIDTHxHEIGHT")
    surface.add_argument("--rect", required=True, help="left,top,width,height")
    surface.add_argument("--expect", choices=["black", "drawn"], required=True)
    surface.add_argument("--min-white", type=int, default=20)
    surface.set_defaults(handler=command_surface)
    return parser, commands


def run(args):
    """Runs the check `args` chose; 1 when it fails."""
    try:
        args.handler(args)
    except CheckFailed as failure:
        print("FAILED: %s" % failure)
        return 1
    print("ok")
    return 0


def main(argv):
    return run(make_parser()[0].parse_args(argv))


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
