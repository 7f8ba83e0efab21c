"""Time the hypervisor took the machine's virtual CPUs away ("steal" in
/proc/stat), sampled in the background, so that a gap in the sound can be
told apart from one the program or the server caused: a virtual CPU that
does not run for some milliseconds stops every thread on it, real-time or
not."""

import os
import threading
import time

TICK_MS = 1000.0 / os.sysconf("SC_CLK_TCK")


def _steal_ticks():
    with open("/proc/stat") as f:
        return int(f.readline().split()[8])  # cpu user nice system idle iowait irq softirq steal


class StealWatch:
    def __init__(self, interval=0.05):
        self._samples = [(time.monotonic(), _steal_ticks())]
        self._interval = interval
        self._running = True
        self._thread = threading.Thread(target=self._run, daemon=True)
        self._thread.start()

    def _run(self):
        while self._running:
            time.sleep(self._interval)
            self._samples.append((time.monotonic(), _steal_ticks()))

    def stop(self):
        self._running = False
        self._thread.join(1)

    def total_ms(self):
        return (self._samples[-1][1] - self._samples[0][1]) * TICK_MS

    def within_ms(self, start, end):
        """Steal over both CPUs in the samples that cover [start, end], in
        milliseconds."""
        inside = [s for s in self._samples if start <= s[0] <= end]
        earlier = [s for s in self._samples if s[0] < start]
        if not inside:
            return 0.0
        first = earlier[-1][1] if earlier else inside[0][1]
        return (inside[-1][1] - first) * TICK_MS
