"""CPU stalls seen by bench/measure_lib/stall_canary.py on every CPU."""

import os
import subprocess
import sys
import threading

from measure_lib.processes import stop_process

CANARY = os.path.join(os.path.dirname(os.path.abspath(__file__)), "stall_canary.py")


class StallWatch:
    def __init__(self):
        self.stalls = []  # (monotonic time the stall ended, milliseconds, cpu)
        self._lock = threading.Lock()
        self._processes = []
        for cpu in sorted(os.sched_getaffinity(0)):
            p = subprocess.Popen([sys.executable, CANARY, str(cpu)], stdout=subprocess.PIPE,
                                 text=True)
            self._processes.append(p)
            threading.Thread(target=self._read, args=(p, cpu), daemon=True).start()

    def _read(self, process, cpu):
        for line in process.stdout:
            moment, late = line.split()
            with self._lock:
                self.stalls.append((float(moment), float(late), cpu))

    def stop(self):
        for p in self._processes:
            stop_process(p)

    def longest_ms(self, start, end):
        """The longest stall of any CPU that ended in [start, end], in
        milliseconds (0 when none)."""
        with self._lock:
            near = [late for at, late, _ in self.stalls if start <= at <= end]
        return max(near, default=0.0)

    def summary(self):
        with self._lock:
            lates = [late for _, late, _ in self.stalls]
        return {"count": len(lates), "longest_ms": round(max(lates, default=0.0), 1)}
