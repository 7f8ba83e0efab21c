"""The CPU of the program while the pen draws, for one build or two compared
side by side, run inside scripts/xserver.sh and a private sound server:

    drawing_session.py ROUNDS SECONDS APP [APP...]

Each round starts every APP afresh for each stroke and draws it for SECONDS
with the pen held down, at about 100 pointer moves a second: the circle of
app_session.py, traced over itself once every 2 s, and a spiral that never
crosses itself, whose every move draws on pixels not drawn before. The
programs take turns, in the opposite order every other round, so that a load
that comes and goes falls on each alike.

Prints JSON: for each APP and stroke, one entry a run with the CPU of the
window's thread, of Qt's X event thread and of the whole process, in percent
of one core, the window thread's wake-ups a second (the times it blocked),
the X server's CPU (which draws what the program sends it), and the load
average after the run.
"""

import json
import math
import os
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

from measure_lib.app_session import (  # noqa: E402
    SURFACE_HEIGHT, SURFACE_WIDTH, App, cpu_percent_over, draw)
from measure_lib.xserver import XConnection  # noqa: E402


def draw_spiral(app, x):
    """Returns an action that draws a spiral outwards from the middle of the
    surface, one turn every 2 s, its turns 30 px apart."""
    cx, cy = SURFACE_WIDTH / 2, SURFACE_HEIGHT / 2

    def step(t):
        angle = t * 2 * math.pi / 2.0
        radius = 10 + 15 * t
        x.move(*app.surface_point(cx + radius * math.cos(angle), cy + radius * math.sin(angle)))
        time.sleep(0.01)

    return step


STROKES = {
    "circle": ((SURFACE_WIDTH / 2 + 120, SURFACE_HEIGHT / 2), draw),
    "spiral": ((SURFACE_WIDTH / 2 + 10, SURFACE_HEIGHT / 2), draw_spiral),
}


def sleeps(pid):
    """How often the window's thread has blocked so far: each such voluntary
    context switch ends in a wake-up."""
    with open("/proc/%d/task/%d/status" % (pid, pid)) as f:
        for line in f:
            if line.startswith("voluntary_ctxt_switches:"):
                return int(line.split()[1])
    return 0


def x_server_pid():
    """The private X server: the child of scripts/xserver.sh named Xvfb."""
    parent = os.getppid()
    for pid in os.listdir("/proc"):
        try:
            with open("/proc/%s/stat" % pid) as f:
                fields = f.read().rsplit(")", 1)
            if int(fields[1].split()[1]) == parent and fields[0].endswith("(Xvfb"):
                return int(pid)
        except (OSError, ValueError, IndexError):
            pass
    return None


def cpu_ticks(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])


def thread_share(threads, prefix):
    return round(sum(v for k, v in threads.items() if k.split("/")[0] == prefix), 3)


def one_run(path, stroke, seconds, x, env):
    start, action = STROKES[stroke]
    app = App(path, x, env)
    try:
        time.sleep(1.5)  # start-up settles
        x.move(*app.surface_point(*start))
        x.button(True)
        pid = app.process.pid
        slept = sleeps(pid)
        server = x_server_pid()
        served = cpu_ticks(server) if server else 0
        total, threads = cpu_percent_over(pid, seconds, action(app, x))
        woken = sleeps(pid) - slept
        served = cpu_ticks(server) - served if server else float("nan")
        x.button(False)
    finally:
        app.stop()
    return {
        "window": threads.get("main", 0.0),
        "xcb": thread_share(threads, "QXcbEventQueue"),
        "process": round(total, 3),
        "window_wakeups": round(woken / seconds, 1),
        "x_server": round(served / os.sysconf("SC_CLK_TCK") / seconds * 100, 2),
        "loadavg": open("/proc/loadavg").read().split()[0],
    }


def main():
    rounds, seconds, apps = int(sys.argv[1]), float(sys.argv[2]), sys.argv[3:]
    env = dict(os.environ, XDG_RUNTIME_DIR=tempfile.mkdtemp())
    env.pop("QT_QPA_PLATFORM", None)
    env.pop("WAYLAND_DISPLAY", None)
    x = XConnection(env["DISPLAY"])
    runs = {app: {stroke: [] for stroke in STROKES} for app in apps}
    try:
        for r in range(rounds):
            order = apps if r % 2 == 0 else list(reversed(apps))
            for stroke in STROKES:
                for app in order:
                    runs[app][stroke].append(one_run(app, stroke, seconds, x, env))
                    print("round %d %s %s: %s" % (r + 1, stroke, app, runs[app][stroke][-1]),
                          file=sys.stderr, flush=True)
    finally:
        x.close()
    json.dump(runs, sys.stdout)


if __name__ == "__main__":
    main()
