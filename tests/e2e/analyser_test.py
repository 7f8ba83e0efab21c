"""Self-test of the recording analyser on synthetic recordings made the way the
sound layer plays: a looping 360-sample buffer rewritten at arbitrary moments.
"""

import os
import sys
import unittest

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import analyser  # noqa: E402
from analyser import PERIOD, RATE  # noqa: E402


def sine_tables(harmonic=1, levels=range(0, 101)):
    angles = np.arange(PERIOD) * 0.01745329251994 * harmonic
    return {level: np.round(np.sin(angles) * level).astype(np.int32) * 256 for level in levels}


def play(writes, length, phase=0):
    """What the looping buffer plays: writes is [(sample index, table)] in
    time order; the loop starts its pass `phase` samples before index 0."""
    out = np.zeros(length, dtype=np.int32)
    current = np.zeros(PERIOD, dtype=np.int32)
    pending = list(writes)
    for index in range(length):
        while pending and pending[0][0] <= index:
            current = pending.pop(0)[1]
        out[index] = current[(index + phase) % PERIOD]
    return out


def fade(tables, first_level, step, tick, start, length, phase, skip=()):
    """A fade from first_level down to silence, one step every `tick` samples.
    Levels in `skip` are never written (a decay tick between two writes)."""
    writes = []
    level = first_level
    index = start
    while level >= 0:
        if level not in skip:
            writes.append((index, tables[level]))
        if level == 0:
            break
        level = max(0, level - step)
        index += tick
    return play(writes, length, phase)


class LevelTrackTest(unittest.TestCase):
    def setUp(self):
        self.tables = sine_tables()

    def test_fade_levels_are_found_whatever_the_phase_and_tick(self):
        for phase, tick in [(0, 689), (123, 689), (359, 700), (200, 540)]:
            with self.subTest(phase=phase, tick=tick):
                signal = fade(self.tables, 60, 1, tick, 1000, 1000 + 62 * tick + 4000, phase)
                track = analyser.LevelTrack(signal, self.tables)
                self.assertEqual(track.foreign, [])
                self.assertEqual(track.phase_changes, 0)
                sounding = [level for _, level in track.sounding()]
                self.assertEqual(sounding[0], 60)
                self.assertEqual(sounding[-1], 1)
                # Seams recover levels that never fill a whole pass.
                self.assertGreaterEqual(len(sounding), 55)
                self.assertTrue(all(a > b for a, b in zip(sounding, sounding[1:])))

    def test_a_skipped_level_shows_as_a_double_drop(self):
        signal = fade(self.tables, 30, 1, 689, 500, 500 + 32 * 689 + 2000, 17, skip={20})
        sounding = [level for _, level in analyser.LevelTrack(signal, self.tables).sounding()]
        self.assertIn(21, sounding)
        self.assertNotIn(20, sounding)
        self.assertEqual(sounding[sounding.index(21) + 1], 19)

    def test_a_wrong_sample_is_not_explained_by_any_table(self):
        signal = fade(self.tables, 40, 2, 689, 0, 22 * 689 + 2000, 50)
        signal[5000] += 256 * 7
        track = analyser.LevelTrack(signal, self.tables)
        self.assertEqual(len(track.foreign), 1)
        self.assertLessEqual(track.foreign[0], 5000)
        self.assertGreater(track.foreign[0] + PERIOD, 5000)

    def test_passes_next_to_a_dropout_are_the_dropouts_own(self):
        # A table rewritten every pass and a half, so that whole periods are
        # rare: after one graph cycle of silence, several passes follow the
        # new phase before a whole period anchors it. Those are the
        # dropout's; a wrong sample far from it is not.
        before = fade(self.tables, 90, 1, 540, 0, 30 * PERIOD, 17)
        after = fade(self.tables, 70, 1, 540, 0, 60 * PERIOD, 17 + 30 * PERIOD + 123)
        signal = np.concatenate([before, np.zeros(256, dtype=np.int32), after])
        wrong = 30 * PERIOD + 256 + 40 * PERIOD + 10
        signal[wrong] += 256 * 5
        track = analyser.LevelTrack(signal, self.tables)
        self.assertEqual(len(track.unexplained), 1)
        self.assertLess(abs(track.unexplained[0] - wrong), PERIOD)
        self.assertGreaterEqual(len(track.gapped) + len(track.excused), 1)

    def test_an_interrupted_stream_changes_the_phase_once(self):
        steady = play([(0, self.tables[50])], 10 * PERIOD)
        gap = np.zeros(100, dtype=np.int32)
        later = play([(0, self.tables[50])], 10 * PERIOD, phase=0)
        track = analyser.LevelTrack(np.concatenate([steady, gap, later]), self.tables)
        self.assertEqual(track.phase_changes, 1)
        self.assertEqual(track.unexplained, [])
        self.assertGreaterEqual(track.whole_count, 17)

    def test_a_dropout_before_any_whole_pass_counts_as_a_dropout(self):
        before = play([(0, self.tables[60])], 200, phase=30)
        gap = np.zeros(101, dtype=np.int32)
        after = play([(0, self.tables[60])], 8 * PERIOD, phase=250)
        track = analyser.LevelTrack(np.concatenate([before, gap, after]), self.tables)
        self.assertEqual(track.foreign, [])
        self.assertGreaterEqual(len(track.gapped), 1)

    def test_each_interruption_counts_as_one_gap(self):
        # A dropout (silence, then the loop resumes where it was) and a skip
        # (the phase jumps without silence), each once; a level change is none.
        a = play([(0, self.tables[70]), (1500, self.tables[69])], 12 * PERIOD, phase=40)
        dropout = np.zeros(130, dtype=np.int32)
        b = play([(0, self.tables[69])], 12 * PERIOD, phase=40 + 12 * PERIOD)
        c = play([(0, self.tables[69])], 12 * PERIOD, phase=40 + 24 * PERIOD + 250)
        track = analyser.LevelTrack(np.concatenate([a, dropout, b, c]), self.tables)
        found = analyser.gaps(track)
        self.assertEqual(len(found), 2)
        self.assertLess(abs(found[0] - 12 * PERIOD), 2 * PERIOD)
        self.assertLess(abs(found[1] - (24 * PERIOD + 130)), 2 * PERIOD)

    def test_a_pass_that_a_seam_explains_does_not_name_a_third_table(self):
        # The rewrite from 50 to 40 lands 200 samples into a pass; a third
        # table that happens to hold 50's start and 40's end is not heard.
        tables = dict(self.tables)
        tables[101] = np.concatenate([tables[50][:200], tables[40][200:]])
        signal = play([(0, tables[50]), (4 * PERIOD + 200, tables[40])], 9 * PERIOD)
        track = analyser.LevelTrack(signal, tables)
        self.assertEqual({level for _, level in track.whole_passes}, {50, 40})

    def test_whole_periods_are_found_only_at_loop_starts(self):
        signal = play([(0, self.tables[77])], 5 * PERIOD, phase=100)
        found = analyser.find_whole_periods(signal, self.tables)
        self.assertEqual([start for start, _ in found], [260, 620, 980, 1340])
        self.assertEqual({level for _, level in found}, {77})


class SpectrumTest(unittest.TestCase):
    def test_dominant_frequency_within_a_twentieth_of_a_hertz(self):
        for harmonic in [1, 2, 5, 11]:
            tables = sine_tables(harmonic, [80])
            signal = play([(0, tables[80])], RATE // 2, phase=37)
            with self.subTest(harmonic=harmonic):
                self.assertAlmostEqual(analyser.dominant_frequency(signal),
                                       harmonic * analyser.LOOP_HZ, delta=0.05)

    def test_harmonic_runs_follow_pitch_changes(self):
        writes = [(0, sine_tables(1, [90])[90]), (4000, sine_tables(4, [90])[90]),
                  (9000, sine_tables(3, [90])[90])]
        runs = analyser.harmonic_runs(play(writes, 14000, phase=11), min_length=3)
        self.assertEqual([harmonic for harmonic, _, _ in runs], [1, 4, 3])

    def test_two_voices_share_the_energy_of_their_harmonics(self):
        a = sine_tables(1, [50])[50]
        b = sine_tables(6, [30])[30]
        _, energy = analyser.window_harmonics(play([(0, a + b)], 10 * PERIOD, phase=5))
        shares = energy / energy.sum(axis=1, keepdims=True)
        self.assertTrue(np.all(shares[:, 1] + shares[:, 6] > 0.999))
        self.assertTrue(np.all(shares[:, 6] > 0.2))


if __name__ == "__main__":
    unittest.main()
