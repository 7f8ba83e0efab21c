"""Records the private null sink's monitor (44100 Hz, s16, mono) and notes
when each piece of the recording arrived, so that a sample can be given the
moment it reached the recorder."""

import bisect
import os
import subprocess
import threading
import time

import numpy as np

from measure_lib.processes import stop_process

RATE = 44100


class MonitorRecorder:
    def __init__(self):
        sink = os.environ["SCRIVOLA_PULSE_SINK"]
        # A low-latency reader keeps the null sink rendering in small blocks.
        self.process = subprocess.Popen(
            ["parec", "--latency-msec=10", "-d", sink + ".monitor", "--rate=%d" % RATE,
             "--format=s16le", "--channels=1", "--raw"],
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self._data = bytearray()
        self._arrivals = []  # (samples recorded after this read, monotonic time)
        self._lock = threading.Lock()
        self._thread = threading.Thread(target=self._read, daemon=True)
        self._thread.start()

    def _read(self):
        fd = self.process.stdout.fileno()
        while True:
            chunk = os.read(fd, 65536)
            now = time.monotonic()
            if not chunk:
                return
            with self._lock:
                self._data += chunk
                self._arrivals.append((len(self._data) // 2, now))

    def samples_so_far(self):
        with self._lock:
            return len(self._data) // 2

    def wait_for_samples(self, timeout=10):
        deadline = time.monotonic() + timeout
        while self.samples_so_far() < RATE // 10:
            if time.monotonic() > deadline:
                raise RuntimeError("the recorder records nothing")
            time.sleep(0.02)

    def samples(self):
        with self._lock:
            return np.frombuffer(bytes(self._data[: len(self._data) // 2 * 2]), dtype="<i2")

    def arrival(self, index):
        """When sample `index` reached the recorder (None if not yet)."""
        with self._lock:
            counts = [a[0] for a in self._arrivals]
            k = bisect.bisect_right(counts, index)
            return self._arrivals[k][1] if k < len(self._arrivals) else None

    def stop(self):
        stop_process(self.process)
        self._thread.join(5)
