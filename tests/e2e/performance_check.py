"""Checks that a performance gives back what was played.

The tables each run wrote (one line a write: the slot, then its 360 samples
in hexadecimal) must hold the render's writes, tick by tick, as one unbroken
stretch. Each write leaves the two loops mixed into one 360-sample sound;
those sounds, in the render's order, are the tables the recordings are
checked against with the analyser: every loop pass away from a dropout is
made of them, the tables follow each other in the render's order, and where
a table starts sounding is compared with where the render starts it. The
drawing surface of two screenshots must be equal pixel for pixel.
"""

import argparse
import sys
import wave

import numpy as np

import analyser
from analyser import PERIOD

# How far ahead in the render's order a heard table is looked for: a dropout
# may cut a few dozen tables.
LOOKAHEAD = 256
# The switch points around one that give the output's latency there, and
# the share that may land more than a device block from it.
LOCAL = 50
MOST_OFF = 0.05


class CheckFailed(Exception):
    pass


def require(condition, message, *values):
    if not condition:
        raise CheckFailed(message % values if values else message)


def load_writes(path):
    """The writes a run logged, as (slot, samples) in order."""
    writes = []
    with open(path) as lines:
        for line in lines:
            slot, samples = line.split()
            writes.append((int(slot), samples))
    return writes


def find_stretch(writes, wanted):
    """Where `wanted` lies in `writes` as one unbroken stretch, or None."""
    n = len(wanted)
    for k in range(len(writes) - n + 1):
        if writes[k] == wanted[0] and writes[k:k + n] == wanted:
            return k
    return None


def mixed_order(writes):
    """The sound of both loops after each write, as the mixer sums them:
    ({id: sound}, [id in order]), repeats in a row taken once; id 0 is
    silence."""
    loops = [np.full(PERIOD, 128, dtype=np.int32) for _ in range(2)]
    ids = {}
    tables = {0: np.zeros(PERIOD, dtype=np.int32)}
    order = [0]
    for slot, samples in writes:
        loops[slot] = np.frombuffer(bytes.fromhex(samples), dtype=np.uint8).astype(np.int32)
        sound = np.clip((loops[0] - 128) * 256 + (loops[1] - 128) * 256, -32768, 32767)
        key = sound.tobytes()
        if not np.any(sound):
            table = 0
        elif key in ids:
            table = ids[key]
        else:
            table = ids[key] = len(ids) + 1
            tables[table] = sound
        if order[-1] != table:
            order.append(table)
    return tables, order


def follow(steps, order):
    """Places each heard table step at its next place in the render's order.

    Returns ([(sample index, place)], [(sample index, id)] of the steps found
    nowhere ahead). Silence is not placed: a dropout sounds like it."""
    placed, astray = [], []
    at = 0
    for index, table in steps:
        if table == 0:
            continue
        ahead = order[at:at + LOOKAHEAD]
        if table in ahead:
            at += ahead.index(table)
            placed.append((index, at))
        else:
            astray.append((index, table))
    return placed, astray


def near(index, ranges):
    return any(low <= index < high for low, high in ranges)


def read_wav(path):
    with wave.open(path, "rb") as wav:
        require(wav.getsampwidth() == 2 and wav.getnchannels() == 1,
                "%s is not 16-bit mono" % path)
        return np.frombuffer(wav.readframes(wav.getnframes()), dtype="<i2").astype(np.int32)


def compare(name, signal, first, end, tables, order, reference, block):
    """Checks one recording against the render's tables and order; returns
    its placed steps. `reference`: the render's placed steps, to compare
    where each table starts (None for the render itself)."""
    track = analyser.LevelTrack(signal, tables, first, end)
    require(track.whole_count > 0, "%s: no loop pass equals any table of the render" % name)
    dropouts = track.dropouts()
    # The order, from the passes that equal one table whole: a pass split
    # between tables may credit a stretch to a later table that happens to
    # hold the same samples there.
    wholes = []
    for index, table in track.whole_passes:
        if not wholes or wholes[-1][1] != table:
            wholes.append((index, table))
    in_order, astray = follow(wholes, order)
    excused_astray = [s for s in astray if near(s[0], dropouts)]
    wrong_order = [s for s in astray if not near(s[0], dropouts)]
    gaps = analyser.gaps(track)
    print("%s: %d loop passes (%d sounding, whole tables %d, seamed %d, with a dropout %d, "
          "next to a dropout %d, unexplained %d); %d tables heard whole in order, %d astray "
          "next to a dropout, %d astray; %d dropouts"
          % (name, track.passes, track.passes - track.silent, track.whole_count, track.seamed,
             len(track.gapped), len(track.excused), len(track.unexplained), len(in_order),
             len(excused_astray), len(wrong_order), len(gaps)))
    require(not track.unexplained,
            "%s: %d loop passes away from any dropout equal no table of the render, first at "
            "%.3f s", name, len(track.unexplained),
            (track.unexplained[0] - first) / 44100 if track.unexplained else 0)
    require(not wrong_order, "%s: %d tables heard out of the render's order, first at %.3f s",
            name, len(wrong_order), (wrong_order[0][0] - first) / 44100 if wrong_order else 0)
    # Where each table starts sounding, from every stretch that names one.
    placed, _ = follow(track.levels(), order)
    if reference is None:
        return placed
    # Where a table starts against where the render starts it: the offset
    # between the two is the output's latency. It is constant for a while,
    # but steps when the output catches up after an underrun the listener
    # may not even hear, so each switch point is held against the median of
    # the switch points around it.
    starts = {place: index for index, place in reference}
    heard = {place for _, place in placed}
    missing = [place for place in starts if place not in heard and place > 0]
    pairs = [(index, index - starts[place]) for index, place in placed if place in starts]
    pieces, current = [], []
    for index, offset in pairs:
        if current and any(current[-1][0] < gap <= index for gap in gaps):
            pieces.append(current)
            current = []
        current.append((index, offset))
    if current:
        pieces.append(current)
    deviations = []
    for piece in pieces:
        offsets = [offset for _, offset in piece]
        for k, (index, offset) in enumerate(piece):
            if not near(index, dropouts):
                around = offsets[max(0, k - LOCAL // 2):k + LOCAL // 2 + 1]
                deviations.append(abs(offset - int(np.median(around))))
    worst = max(deviations, default=0)
    usual = int(np.percentile(deviations, 95)) if deviations else 0
    beyond = sum(deviation > block for deviation in deviations)
    print("%s: %d switch points compared; offset from the output's latency: largest %d "
          "samples (%.2f device blocks), 95%% within %d, %d beyond one block; %d of the "
          "render's tables not heard" % (name, len(deviations), worst, worst / block, usual,
                                         beyond, len(missing)))
    # A table starts in the block after its tick, whenever in the block the
    # tick came; a few estimates land further off where a table's first
    # stretch is short or like another's.
    require(beyond <= len(deviations) * MOST_OFF,
            "%s: %d of %d switch points differ from the render's by more than one device block",
            name, beyond, len(deviations))
    return placed


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--recording", required=True)
    parser.add_argument("--markers", required=True)
    parser.add_argument("--block", type=int, required=True, help="frames of a device block")
    parser.add_argument("--live-tables", required=True)
    parser.add_argument("--render-tables", required=True)
    parser.add_argument("--replay-tables", required=True)
    parser.add_argument("--render-wav", required=True)
    parser.add_argument("--live-wav", required=True)
    parser.add_argument("--images", nargs=2, required=True)
    parser.add_argument("--size", required=True, help="WIDTHxHEIGHT")
    parser.add_argument("--rect", required=True, help="left,top,width,height")
    args = parser.parse_args(argv)
    try:
        render = load_writes(args.render_tables)
        require(len(render) > 2, "the render wrote no tables")
        for name, path in (("live", args.live_tables), ("replay", args.replay_tables)):
            at = find_stretch(load_writes(path), render)
            require(at is not None,
                    "the %s session's tables do not hold the render's, tick by tick" % name)
            print("%s: the render's %d table writes found from write %d on" % (
                name, len(render), at + 1))
        tables, order = mixed_order(render)
        print("render: %d distinct sounds, %d changes" % (len(tables), len(order) - 1))

        rendered = read_wav(args.render_wav)
        reference = compare("render", rendered, 0, len(rendered), tables, order, None,
                            args.block)
        monitor = analyser.load_recording(args.recording)
        markers = analyser.load_markers(args.markers)
        compare("live, as heard", monitor, markers["live_start"], markers["live_end"], tables,
                order, reference, args.block)
        take = read_wav(args.live_wav)
        compare("live, its sound file", take, 0, len(take), tables, order, reference, args.block)
        compare("replay, as heard", monitor, markers["replay_start"], markers["replay_end"],
                tables, order, reference, args.block)

        width, height = (int(v) for v in args.size.split("x"))
        left, top, w, h = (int(v) for v in args.rect.split(","))
        surfaces = []
        for path in args.images:
            pixels = np.fromfile(path, dtype=np.uint8)
            require(len(pixels) == width * height * 3, "%s is not %s" % (path, args.size))
            surfaces.append(pixels.reshape(height, width, 3)[top:top + h, left:left + w])
        differ = int(np.count_nonzero(np.any(surfaces[0] != surfaces[1], axis=2)))
        lit = int(np.count_nonzero(surfaces[0].max(axis=2) > 0))
        print("surface: %d lit pixels live, %d pixels differ after the replay" % (lit, differ))
        require(lit > 0, "nothing was drawn")
        require(differ == 0, "the surface after the replay differs in %d pixels" % differ)
    except CheckFailed as failure:
        print("FAILED: %s" % failure)
        return 1
    print("ok")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
