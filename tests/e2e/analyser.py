"""Analysis of what the synth played, as recorded from the sound server.

A recording is 44100 Hz, signed 16-bit, mono. Each voice loops one 360-sample
buffer whose samples are the wave-table entries minus 128, times 256; the two
voices are added. A steady sound therefore repeats every 360 samples, and a
window of 360 consecutive samples holds whole cycles of every pitch term.
"""

import bisect

import numpy as np

RATE = 44100
PERIOD = 360
LOOP_HZ = RATE / PERIOD  # 122.5: one loop of the buffer per cycle
MIN_PIECE = 32  # shortest stretch of a loop pass trusted to name its level
MAX_PIECES = 3  # a loop pass holds at most three tables (two rewrites)
MIN_INNER_PIECE = 16  # shortest table stretch between two rewrites in one pass
# A stream that runs dry (an underrun on a busy machine) is filled with
# silence; a sine table above level 1 has no run of zeros this long.
DROPOUT_SAMPLES = 24


def load_recording(path):
    """The recording as an int16 array (an odd trailing byte is dropped)."""
    raw = np.fromfile(path, dtype="<i2")
    return raw.astype(np.int32)


def load_markers(path):
    """Markers written while recording: {name: sample index}."""
    markers = {}
    with open(path) as lines:
        for line in lines:
            parts = line.split()
            if len(parts) == 2:
                markers[parts[0]] = int(parts[1])
    return markers


def load_tables(path):
    """Tables printed by the table tool: {level: sound of entries 0..359}.

    Each line is a level and its 361 table entries; the buffer plays entries
    0..359, each as (entry - 128) * 256.
    """
    tables = {}
    with open(path) as lines:
        for line in lines:
            numbers = [int(word) for word in line.split()]
            if len(numbers) != 362:
                raise ValueError("table line with %d numbers" % len(numbers))
            entries = np.array(numbers[1:1 + PERIOD], dtype=np.int32)
            tables[numbers[0]] = (entries - 128) * 256
    return tables


# --- frequency -------------------------------------------------------------

def dominant_frequency(signal, rate=RATE):
    """Frequency of the strongest spectral peak, in Hz.

    A Hann window and zero padding to at least 2^20 points give a bin
    spacing of about 0.04 Hz; a parabola through the peak's neighbours refines
    it further.
    """
    signal = np.asarray(signal, dtype=np.float64)
    if len(signal) < 16 or not np.any(signal):
        return 0.0
    size = 1 << max(20, int(np.ceil(np.log2(len(signal)))) + 3)
    spectrum = np.abs(np.fft.rfft((signal - signal.mean()) * np.hanning(len(signal)), size))
    peak = int(np.argmax(spectrum[1:])) + 1
    if 1 <= peak < len(spectrum) - 1:
        left, centre, right = np.log(spectrum[peak - 1:peak + 2] + 1e-12)
        denominator = left - 2 * centre + right
        if denominator != 0:
            peak = peak + 0.5 * (left - right) / denominator
    return peak * rate / size


def window_harmonics(signal):
    """Per 360-sample window: the energy at each harmonic of 122.5 Hz.

    Returns (starts, energy) where energy[w, n] is the energy of window w at
    n cycles per window (n = 0..180). Whatever the loop's phase, a steady
    sound puts all its energy on its pitch terms' harmonics.
    """
    count = len(signal) // PERIOD
    windows = np.asarray(signal[:count * PERIOD], dtype=np.float64).reshape(count, PERIOD)
    energy = np.abs(np.fft.rfft(windows, axis=1)) ** 2
    return np.arange(count) * PERIOD, energy


def harmonic_runs(signal, min_share=0.9, min_length=1):
    """Runs of consecutive windows with the same dominant harmonic.

    A window counts when it is not silent and its strongest harmonic holds at
    least min_share of its energy. Returns [(harmonic, first start, window
    count)] for runs of at least min_length windows, in time order.
    """
    starts, energy = window_harmonics(signal)
    runs = []
    for start, row in zip(starts, energy):
        total = row.sum()
        if total == 0:
            continue
        harmonic = int(np.argmax(row))
        if row[harmonic] < min_share * total:
            continue
        if runs and runs[-1][0] == harmonic and runs[-1][1] + runs[-1][2] * PERIOD == start:
            runs[-1][2] += 1
        else:
            runs.append([harmonic, int(start), 1])
    return [tuple(run) for run in runs if run[2] >= min_length]


# --- exact comparison with the core's tables -------------------------------

# Entries whose samples key a 360-sample window for the exact comparison:
# enough, and spaced irregularly enough, that tables which differ rarely
# share a key, however many there are and whatever their pitch.
_PROBE_CHOICE = np.random.default_rng(360)
PROBES = np.sort(_PROBE_CHOICE.choice(PERIOD, 24, replace=False))
PROBE_WEIGHTS = _PROBE_CHOICE.integers(1, 1 << 62, len(PROBES), dtype=np.int64)


def probe_keys(windows_at, count):
    """One 64-bit key per window from its samples at PROBES (wrapping
    arithmetic); windows_at(p) gives every window's sample at entry p."""
    keys = np.zeros(count, dtype=np.int64)
    with np.errstate(over="ignore"):
        for probe, weight in zip(PROBES, PROBE_WEIGHTS):
            keys += (windows_at(probe).astype(np.int64) + 65536) * weight
    return keys


def find_whole_periods(signal, tables):
    """Start indices where 360 samples equal a non-silent table exactly.

    Returns [(start, level)] in time order. Candidates are found through a
    key made of the samples at a few entries, then compared sample by
    sample.
    """
    signal = np.asarray(signal, dtype=np.int64)
    if len(signal) < PERIOD:
        return []
    levels = [level for level, table in tables.items() if np.any(table)]
    if not levels:
        return []
    stacked = np.stack([tables[level] for level in levels])
    table_keys = probe_keys(lambda p: stacked[:, p], len(levels))
    keyed = {}
    for level, key in zip(levels, table_keys):
        keyed.setdefault(int(key), []).append(level)
    count = len(signal) - PERIOD + 1
    keys = probe_keys(lambda p: signal[p:p + count], count)
    found = []
    for start in np.nonzero(np.isin(keys, table_keys))[0]:
        start = int(start)
        for level in keyed[int(keys[start])]:
            if np.array_equal(signal[start:start + PERIOD], tables[level]):
                found.append((start, level))
                break
    return found


def repeats_within(table):
    """True when the table repeats after fewer than 360 samples."""
    return any(np.array_equal(table, np.roll(table, shift))
               for shift in range(1, PERIOD // 2 + 1) if PERIOD % shift == 0)


def phase_anchors(found, tables):
    """The whole periods that tell the loop's phase.

    A table that repeats within the loop (a pitch term above 1) equals the
    sound a part of the loop later too, and one table can equal another's
    sound a part of the loop later (the same wave a little further on): so
    only tables that do not repeat count, and of those a period at a phase
    that neither its neighbour before nor after shares is left out (a
    stream that resumed at a new phase keeps it). All of `found` when that
    leaves none.
    """
    steady = [(start, level) for start, level in found if not repeats_within(tables[level])]
    phases = [start % PERIOD for start, _ in steady]
    kept = [anchor for i, anchor in enumerate(steady)
            if len(steady) == 1 or (i > 0 and phases[i - 1] == phases[i])
            or (i + 1 < len(steady) and phases[i + 1] == phases[i])]
    return kept or found


def loop_starts(found, length):
    """The start of every 360-sample loop pass within [0, length).

    The loop's phase is taken from the whole periods found; where the phase
    changes between two of them (the stream was interrupted and resumed), the
    passes follow the new phase from there on. Returns (starts, the sample
    indices where the phase changed).
    """
    if not found:
        return [], []
    starts = []
    changes = []
    anchor = found[0][0]
    start = anchor - (anchor // PERIOD) * PERIOD
    anchors = iter(start for start, _ in found[1:])
    next_anchor = next(anchors, None)
    while start + PERIOD <= length:
        while next_anchor is not None and next_anchor < start + PERIOD:
            if next_anchor != start:
                changes.append(next_anchor)
                start = next_anchor
            next_anchor = next(anchors, None)
        starts.append(start)
        start += PERIOD
    return starts, changes


def stack_tables(tables):
    """The tables as (levels, one row each), for split_into_tables."""
    levels = sorted(tables)
    return levels, np.stack([tables[level] for level in levels])


def split_into_tables(period, tables, stacked=None):
    """Splits one loop pass into as few pieces as possible, each equal to
    the same stretch of some table.

    A pass during which the loop was rewritten plays the old table up to the
    write and the new one after it, so it splits into two pieces; two writes
    in one pass give three. A pass needing more pieces, or an inner piece
    shorter than MIN_INNER_PIECE (a write lands at most once per callback
    block), is not a rewritten loop but a wrong sound. Returns [(first entry,
    end entry, levels matching the piece)], or None for a wrong sound.
    `stacked`: stack_tables(tables), when many passes are split.
    """
    levels, rows = stacked if stacked is not None else stack_tables(tables)
    equal = rows == np.asarray(period)[None, :]
    pieces = []
    entry = 0
    # Taking the farthest-reaching table each time gives the fewest pieces.
    while entry < PERIOD:
        candidates = np.nonzero(equal[:, entry])[0]
        if len(candidates) == 0 or len(pieces) == MAX_PIECES:
            return None
        rest = equal[candidates, entry:]
        # How many entries from `entry` on each candidate equals.
        reach = np.where(rest.all(axis=1), PERIOD - entry, np.argmin(rest, axis=1))
        best = int(reach.max())
        matching = [levels[i] for i in candidates[reach == best]]
        pieces.append((entry, entry + best, matching))
        entry += best
    if any(end - first < MIN_INNER_PIECE for first, end, _ in pieces[1:-1]):
        return None
    return pieces


def also_a_seam(period, stacked):
    """True when the pass, equal to one table whole, also equals the start of
    one other table followed by the end of another: a rewrite of the loop
    during the pass would sound the same, so the pass does not tell which
    table was playing. Among thousands of quiet tables that differ in a few
    samples, this happens a few dozen times a minute."""
    _, rows = stacked
    period = np.asarray(period)

    def longest_match(rows, period):
        # Only the rows that share the first sample can reach past it.
        rows = rows[rows[:, 0] == period[0]]
        equal = rows == period[None, :]
        equal = equal[~equal.all(axis=1)]
        return int(np.argmin(equal, axis=1).max()) if len(equal) else 0

    return longest_match(rows, period) + longest_match(rows[:, ::-1], period[::-1]) >= PERIOD


def longest_zero_run(samples):
    zero = np.concatenate([[False], np.asarray(samples) == 0, [False]])
    edges = np.nonzero(np.diff(zero.astype(np.int8)))[0]
    return int(np.max(edges[1::2] - edges[::2])) if len(edges) else 0


class LevelTrack:
    """What the loop passes of a recording say about the playing level."""

    def __init__(self, signal, tables, first=0, end=None):
        end = len(signal) if end is None else end
        self.signal = np.asarray(signal[first:end], dtype=np.int64)
        self.offset = first
        self.tables = tables
        found = find_whole_periods(self.signal, tables)
        self.whole = [(start + first, level) for start, level in found]
        anchors = phase_anchors(found, tables)
        self.anchors = [start + first for start, _ in anchors]
        starts, changes = loop_starts(anchors, len(self.signal))
        self.phase_change_at = [index + first for index in changes]
        self.phase_changes = len(changes)
        self.passes = 0          # loop passes examined
        self.silent = 0          # passes of digital silence
        self.whole_count = 0     # passes equal to one table
        self.seamed = 0          # passes made of stretches of several tables
        self.foreign = []        # passes that no tables explain
        self.gapped = []         # passes that no tables explain, with a gap of silence
        self.points = []         # (sample index, level) where the level is certain
        # (sample index, level) of the passes equal to one table and to no
        # seam of two others
        self.whole_passes = []
        stacked = stack_tables(tables)
        for start in starts:
            period = self.signal[start:start + PERIOD]
            self.passes += 1
            if not np.any(period):
                self.silent += 1
                self.points.append((start + first, 0))
                continue
            pieces = split_into_tables(period, tables, stacked)
            if pieces is None:
                if longest_zero_run(period) >= DROPOUT_SAMPLES:
                    self.gapped.append(start + first)
                else:
                    self.foreign.append(start + first)
                continue
            if len(pieces) == 1:
                self.whole_count += 1
                if not also_a_seam(period, stacked):
                    self.whole_passes.append((start + first, pieces[0][2][0]))
            else:
                self.seamed += 1
            for piece_first, piece_end, matching in pieces:
                # A short stretch near a zero crossing can equal several
                # tables, or one by coincidence: only long ones tell a level.
                if len(matching) == 1 and piece_end - piece_first >= MIN_PIECE:
                    self.points.append((start + first + piece_first, matching[0]))

        self.excused, self.unexplained = self._attribute()

    def dropouts(self):
        """Sample ranges [first, end) within which the stream was interrupted.

        A pass with a run of silence inside it holds its dropout, and the
        loop's phase after it is unknown up to the next whole period. A phase
        jump happened somewhere after the last whole period at the old phase
        and before the first at the new one; a whole pass of silence between
        sounding passes is a dropout too. One pass either side is added: the
        server may cut or repeat a block across a pass boundary."""
        anchors = self.anchors
        ranges = []
        for start in self.gapped:
            later = bisect.bisect_right(anchors, start + PERIOD)
            end = anchors[later] + PERIOD if later < len(anchors) else start + 2 * PERIOD
            ranges.append((start - PERIOD, max(end, start + 2 * PERIOD)))
        for change in self.phase_change_at:
            before = [a for a in anchors if a < change]
            ranges.append(((before[-1] if before else self.offset) - PERIOD,
                           change + 2 * PERIOD))
        sounding = [index for index, level in self.points if level > 0]
        if sounding:
            ranges += [(index - PERIOD, index + 2 * PERIOD) for index, level in self.points
                       if level == 0 and sounding[0] < index < sounding[-1]]
        return ranges

    def _attribute(self):
        """Splits the passes no table explains into those next to a dropout
        (the server's doing) and the rest (a wrong sound: ours)."""
        ranges = self.dropouts()
        excused, unexplained = [], []
        for start in self.foreign:
            near = any(low <= start < high for low, high in ranges)
            (excused if near else unexplained).append(start)
        return excused, unexplained

    def levels(self):
        """Distinct levels in time order, each with its first sample index."""
        steps = []
        for index, level in self.points:
            if not steps or steps[-1][1] != level:
                steps.append((index, level))
        return steps

    def sounding(self):
        """The level steps before the sound first falls silent."""
        return [(index, level) for index, level in self.levels() if level > 0]


def gaps(track):
    """Where the output was interrupted: a loop pass with a run of silence
    inside sound, or a jump of the loop's phase against the core's tables.
    A dropout and the phase jump after it are one gap. Returns the sample
    index of each gap."""
    found = []
    for index in sorted(track.gapped + track.phase_change_at):
        if not found or index - found[-1] > 2 * PERIOD:
            found.append(index)
    return found
