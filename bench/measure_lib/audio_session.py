"""The sound output figures, run inside scripts/pulse-env.sh or
scripts/pipewire-env.sh:

    audio_session.py PROBE TABLE_TOOL SECONDS [--stress]

Runs the audio probe (the real window offscreen on the real output, a note
kept sounding) for SECONDS, with every core kept busy by other processes
when --stress is given, records what the server plays, and prints as JSON
the probe's figures, the gaps in the recording (tests/e2e/analyser.py, against
the tables the core computes), the server's own count of underruns, and around each gap the time
the hypervisor took the CPUs away and the longest stall of a CPU.
"""

import json
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(HERE)), "tests", "e2e"))

import analyser  # noqa: E402
from measure_lib import pulse_server  # noqa: E402
from measure_lib.busy import BusyLoops  # noqa: E402
from measure_lib.probe import run_probe  # noqa: E402
from measure_lib.recorder import RATE, MonitorRecorder  # noqa: E402
from measure_lib.stalls import StallWatch  # noqa: E402
from measure_lib.steal import StealWatch  # noqa: E402


def count_gaps(samples, table_tool, recorder, steal, stalls):
    """Gaps in the sounding part of the recording, and the seconds of it."""
    with tempfile.NamedTemporaryFile("w+", suffix=".txt") as tables:
        subprocess.run([table_tool, "--tone", "1", "--levels", "0", "100"], stdout=tables,
                       check=True, timeout=60)
        tables.flush()
        loaded = analyser.load_tables(tables.name)
    loud = (samples != 0).nonzero()[0]
    if len(loud) == 0:
        return None, 0.0
    signal = samples[loud[0]:loud[-1] + 1].astype("int32")
    track = analyser.LevelTrack(signal, loaded)
    found = analyser.gaps(track)
    moments = [recorder.arrival(loud[0] + i) for i in found[:50]]

    def before_each_gap(measure):
        # What happened in the 0.3 s before a gap reached the recorder (it
        # arrives some 10 to 30 ms after it was played).
        return [None if m is None else round(measure(m - 0.3, m + 0.05), 1) for m in moments]

    return {"gaps": len(found), "gap_seconds": [round(i / RATE, 3) for i in found[:50]],
            "gap_steal_ms": before_each_gap(steal.within_ms),
            "gap_stall_ms": before_each_gap(stalls.longest_ms),
            "silent_passes": track.silent, "unexplained_passes": len(track.foreign)}, \
        len(signal) / RATE


def main():
    probe, table_tool, seconds = sys.argv[1], sys.argv[2], float(sys.argv[3])
    stress = "--stress" in sys.argv[4:]
    start = pulse_server.log_position()
    steal = StealWatch()
    stalls = StallWatch()
    recorder = MonitorRecorder()
    try:
        recorder.wait_for_samples()
        command = [probe, str(seconds)]
        if stress:
            with BusyLoops():
                figures = run_probe(command, timeout=seconds + 120)
        else:
            figures = run_probe(command, timeout=seconds + 120)
    finally:
        recorder.stop()
        steal.stop()
        stalls.stop()
    gaps, sounding = count_gaps(recorder.samples(), table_tool, recorder, steal, stalls)
    figures.update(gaps or {"gaps": None})
    figures["sounding_seconds"] = round(sounding, 1)
    server = pulse_server.underruns_since(start)
    figures["server_underruns"] = "n/a" if server is None else str(server)
    figures["steal_ms"] = round(steal.total_ms(), 1)
    figures["cpu_stalls"] = stalls.summary()
    figures["server"] = os.environ.get("SCRIVOLA_SOUND_SERVER", "?")
    figures["loadavg"] = open("/proc/loadavg").read().split()[0]
    json.dump(figures, sys.stdout)


if __name__ == "__main__":
    main()
