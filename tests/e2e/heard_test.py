"""Self-test of the dropout detector for recordings the graph resampled: a
122.5 Hz note at 48 kHz, fading as the synth fades it, with silences cut in."""

import os
import sys
import unittest

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import heard  # noqa: E402

RATE = 48000


def note(seconds, first_level=90, steps_per_second=64.0):
    """A sine at 122.5 Hz whose level falls one step per decay tick; levels
    are table steps of 256 at full scale 100, as the synth's tables have."""
    t = np.arange(int(seconds * RATE)) / RATE
    level = np.maximum(first_level - np.floor(t * steps_per_second), 0)
    return np.round(np.sin(2 * np.pi * 122.5 * t) * level).astype(np.int32) * 256


class DropoutTest(unittest.TestCase):
    def test_silences_inside_a_note_are_dropouts_and_nothing_else(self):
        # (name, where the silences are cut in (s), how long (ms), dropouts found)
        cases = [
            ("a clean fade into silence", [], [], 0),
            ("one graph cycle", [0.5], [256 / RATE * 1000], 1),
            ("two cycles and a long stall", [0.3, 0.9], [10.7, 100.0], 2),
            ("a stutter: two cycles 4 ms apart are one dropout", [0.4, 0.4108], [5.3, 5.3], 1),
            ("in the quiet tail (level 3), no telling", [1.361], [5.3], 0),
            ("a pause longer than any dropout", [0.6], [600.0], 0),
        ]
        for name, starts, lengths, expected in cases:
            with self.subTest(name):
                signal = np.concatenate([np.zeros(RATE // 10, dtype=np.int32), note(1.6)])
                for start, length in zip(starts, lengths):
                    first = RATE // 10 + int(start * RATE)
                    signal[first:first + int(length / 1000 * RATE)] = 0
                found = heard.dropouts(signal, RATE)
                self.assertEqual(len(found), expected, found)
                for (first, length), start in zip(found, starts):
                    self.assertAlmostEqual(first / RATE, 0.1 + start, delta=0.002)


if __name__ == "__main__":
    unittest.main()
