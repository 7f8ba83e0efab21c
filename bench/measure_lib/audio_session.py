"""The sound output figures, run inside scripts/pulse-env.sh:

    audio_session.py PROBE SECONDS [--stress]

Runs the audio probe (the real window offscreen on the real output) for
SECONDS, with every core kept busy by other processes when --stress is
given, and prints its figures as JSON together with the server's own count
of underruns of the probe's stream.
"""

import json
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

from measure_lib import pulse_server  # noqa: E402
from measure_lib.busy import BusyLoops  # noqa: E402
from measure_lib.probe import run_probe  # noqa: E402


def main():
    probe, seconds = sys.argv[1], float(sys.argv[2])
    stress = "--stress" in sys.argv[3:]
    pulse_server.log_underruns()
    start = pulse_server.log_position()
    command = [probe, str(seconds)]
    if stress:
        with BusyLoops():
            figures = run_probe(command, timeout=seconds + 120)
    else:
        figures = run_probe(command, timeout=seconds + 120)
    figures["server_underruns"] = str(pulse_server.underruns_since(start))
    figures["loadavg"] = open("/proc/loadavg").read().split()[0]
    json.dump(figures, sys.stdout)


if __name__ == "__main__":
    main()
