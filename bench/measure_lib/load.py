"""The loads a desktop runs beside the synth, at normal priority:

- "cpu": everyday load, stress-ng with one CPU worker per core and one
  memory worker (128 MB);
- "io": an I/O storm, the same with one I/O worker and a loop of sync().

stop() ends exactly the processes it started (stress-ng stops its own
workers when told to end)."""

import os
import subprocess

from measure_lib.processes import stop_process

LOADS = ("none", "cpu", "io")


class Load:
    def __init__(self, kind):
        if kind not in LOADS:
            raise ValueError("load %r: one of %s" % (kind, ", ".join(LOADS)))
        self.processes = []
        if kind == "none":
            return
        stress = ["stress-ng", "--cpu", str(os.cpu_count() or 1), "--vm", "1",
                  "--vm-bytes", "128M", "--quiet"]
        if kind == "io":
            stress += ["--io", "1"]
        self.processes.append(subprocess.Popen(stress, stdout=subprocess.DEVNULL,
                                               stderr=subprocess.DEVNULL))
        if kind == "io":
            self.processes.append(subprocess.Popen(
                ["/bin/sh", "-c", "while :; do sync; done"]))

    def stop(self):
        for p in reversed(self.processes):
            stop_process(p)
        self.processes = []

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()
