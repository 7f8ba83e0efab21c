"""One process per CPU, pinned to it at the highest real-time priority,
waking every millisecond and noting each wake-up that came more than
STALL_MS late, with its monotonic time and lateness. Nothing on the machine
outranks it, so a late wake-up means the CPU itself did not run: the
hypervisor took it away, or the kernel held it. Run as a module:

    stall_canary.py CPU      prints "time lateness_ms" lines until killed
"""

import os
import sys
import time

STALL_MS = 2.0


def main():
    cpu = int(sys.argv[1])
    os.sched_setaffinity(0, {cpu})
    try:
        os.sched_setscheduler(0, os.SCHED_FIFO, os.sched_param(99))
    except PermissionError:
        pass  # still informative, if less certain
    period = 0.001
    due = time.monotonic() + period
    while True:
        pause = due - time.monotonic()
        if pause > 0:
            time.sleep(pause)
        now = time.monotonic()
        late = (now - due) * 1000
        if late > STALL_MS:
            print("%.4f %.2f" % (now, late), flush=True)
        due = max(due + period, now + period / 2)


if __name__ == "__main__":
    main()
