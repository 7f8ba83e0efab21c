"""The render of a one-hour performance: `scrivola-synth --render` of the
busy hour that `scrivola_performance_bench --write-performance` writes (every
shape of both voices in turn, every modulation on), into a WAV file, timed by
the CPU the process used."""

import os
import shutil
import subprocess
import tempfile
import time

HOUR = 3600


def _cpu_seconds(argv):
    """Runs argv; the CPU seconds (user + system) and wall seconds it took."""
    start = time.monotonic()
    process = subprocess.Popen(argv, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(process.pid, 0)
    wall = time.monotonic() - start
    err = process.stderr.read().decode(errors="replace")
    process.stderr.close()
    process.returncode = os.waitstatus_to_exitcode(status)
    if process.returncode != 0:
        raise RuntimeError("%s failed (%d): %s" % (argv[0], process.returncode, err[-2000:]))
    return usage.ru_utime + usage.ru_stime, wall


def render_hour(bench, app, runs=3, seconds=HOUR):
    """CPU seconds of each render of the hour, with the load average before
    each; the performance and the sound file live in a temporary folder."""
    folder = tempfile.mkdtemp(prefix="scrivola-render-")
    try:
        performance = os.path.join(folder, "hour.scrivola")
        subprocess.run([bench, "--write-performance", performance, str(seconds)], check=True)
        result = {"seconds": seconds, "cpu_s": [], "wall_s": [], "loadavg": []}
        for _ in range(runs):
            result["loadavg"].append(open("/proc/loadavg").read().split()[0])
            sound = os.path.join(folder, "hour.wav")
            cpu, wall = _cpu_seconds([app, "--render", performance, "--record", sound])
            result["cpu_s"].append(round(cpu, 3))
            result["wall_s"].append(round(wall, 3))
            os.unlink(sound)
        return result
    finally:
        shutil.rmtree(folder, ignore_errors=True)
