"""Processes that keep every core busy, to measure under a saturated machine."""

import os
import subprocess


class BusyLoops:
    """One shell spinning in a loop per core; stop() ends exactly those."""

    def __init__(self, count=None):
        count = count or os.cpu_count() or 1
        self.processes = [subprocess.Popen(["/bin/sh", "-c", "while :; do :; done"])
                          for _ in range(count)]

    def stop(self):
        for p in self.processes:
            p.kill()
        for p in self.processes:
            p.wait()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()
