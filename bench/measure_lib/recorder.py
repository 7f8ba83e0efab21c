"""Records what the private sound server plays (scripts/record-monitor.sh:
44100 Hz, s16, one channel) and notes when each piece of the recording
arrived, so that a sample can be given the moment it reached the recorder."""

import bisect
import os
import subprocess
import threading
import time

import numpy as np

from measure_lib.processes import stop_process

# The graph's rate where it is not the synth's (scripts/desktop-env.sh).
RATE = int(os.environ.get("SCRIVOLA_MONITOR_RATE", "44100"))
RECORD_MONITOR = os.path.join(os.path.dirname(os.path.dirname(os.path.dirname(
    os.path.abspath(__file__)))), "scripts", "record-monitor.sh")


# The recorder and its reader run at this nice level where they may (as root),
# so that a load beside the program does not delay the arrival times that
# every latency is read from.
RECORDER_NICE = -15


def _raise_priority(tid=0):
    try:
        os.setpriority(os.PRIO_PROCESS, tid, RECORDER_NICE)
    except PermissionError:
        pass


class MonitorRecorder:
    def __init__(self):
        self.process = subprocess.Popen([RECORD_MONITOR], stdout=subprocess.PIPE,
                                        stderr=subprocess.DEVNULL, preexec_fn=_raise_priority)
        self._data = bytearray()
        self._arrivals = []  # (samples recorded after this read, monotonic time)
        self._lock = threading.Lock()
        self._thread = threading.Thread(target=self._read, daemon=True)
        self._thread.start()

    def _read(self):
        _raise_priority(threading.get_native_id())
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
        """When sample `index` was played, as the recorder saw it (None if
        not yet recorded): the server hands the recorder blocks of about
        10 ms, so the time a block arrived less the samples after `index`
        in it."""
        with self._lock:
            counts = [a[0] for a in self._arrivals]
            k = bisect.bisect_right(counts, index)
            if k == len(self._arrivals):
                return None
            end, arrived = self._arrivals[k]
            return arrived - (end - 1 - index) / RATE

    def stop(self):
        stop_process(self.process)
        self._thread.join(5)
