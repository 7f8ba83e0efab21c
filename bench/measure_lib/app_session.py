"""The figures of the real program on a private X server, run inside
scripts/xserver.sh and a private sound server (scripts/pulse-env.sh,
scripts/pipewire-env.sh, or scripts/desktop-env.sh, whose user then runs
the program):

    app_session.py APP TRIALS [LOAD]

LOAD (bench/measure_lib/load.py) runs beside the program throughout.

- launch to window shown: from starting the program to its window being
  mapped on the X server, over five launches;
- CPU of the program idle for 20 s, from 3 s after the last note fell
  silent with no input since (the sound output has been silent for over 2 s
  and released, and the window's timers sleep), then while the pen draws for
  10 s (the run time of each thread from /proc/PID/task/TID/schedstat, in
  nanoseconds, for the threads alive at the end; those that ended meanwhile
  count by the process's utime + stime, in clock ticks);
- wake-ups over the same idle 20 s, per second: of the window's thread and
  of the whole process (context switches, voluntary and not, from
  /proc/PID/task/TID/status; a sleeping thread is switched in once per
  wake-up);
- resident memory (VmRSS, VmHWM) after drawing;
- pen event to audible change: TRIALS pen-ups of the white pen, each from
  silence, timed from the release reaching the X server to the first sample
  of the sound reaching a recorder on the null sink's monitor (a trial whose
  start is not silent or whose sound never comes counts as a miss); then
  the same for the first note after the output was released: each trial
  waits 3 s in silence first.

Prints the figures as JSON.
"""

import json
import math
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

from measure_lib.load import Load  # noqa: E402
from measure_lib.processes import stop_process  # noqa: E402
from measure_lib.recorder import RATE, MonitorRecorder  # noqa: E402
from measure_lib.xserver import XConnection  # noqa: E402

# The window without a window manager: no frame, the menu bar inside. The
# client area under the menu bar is 568 x 698 px, and the surface's drawing
# area starts at (186, 26) px in it and is 341 x 645 px.
CLIENT_HEIGHT = 698
SURFACE_LEFT, SURFACE_TOP = 186, 26
SURFACE_WIDTH, SURFACE_HEIGHT = 341, 645
# Surface x 286/287 px gives tone 1, a 122.5 Hz voice.
PEN_X, PEN_Y = 287, 300
LAUNCHES = 5
TICKS = os.sysconf("SC_CLK_TCK")


def _times(stat_path):
    with open(stat_path) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS  # utime, stime


def _run_seconds(schedstat_path):
    with open(schedstat_path) as f:
        return int(f.read().split()[0]) / 1e9


def cpu_seconds(pid):
    """CPU time of the process (utime + stime, in clock ticks) and of each of
    its threads ("main" and the others by name and id; run time in ns)."""
    threads = {}
    task = "/proc/%d/task" % pid
    for tid in os.listdir(task):
        try:
            with open(os.path.join(task, tid, "comm")) as f:
                name = "main" if int(tid) == pid else "%s/%s" % (f.read().strip(), tid)
            threads[name] = _run_seconds(os.path.join(task, tid, "schedstat"))
        except OSError:
            pass  # the thread ended meanwhile
    return _times("/proc/%d/stat" % pid), threads


def memory_kib(pid):
    figures = {}
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            name, _, value = line.partition(":")
            if name in ("VmRSS", "VmHWM"):
                figures[name] = int(value.split()[0])
    return figures


def context_switches(pid):
    """Context switches of each living thread of `pid`, by thread id."""
    counts = {}
    task = "/proc/%d/task" % pid
    for tid in os.listdir(task):
        try:
            with open(os.path.join(task, tid, "status")) as f:
                fields = dict(line.split(":", 1) for line in f if ":" in line)
            counts[int(tid)] = (int(fields["voluntary_ctxt_switches"]) +
                                int(fields["nonvoluntary_ctxt_switches"]))
        except OSError:
            pass  # the thread ended meanwhile
    return counts


def idle_figures(pid, seconds):
    """CPU in percent of one core, and wake-ups per second of the window's
    thread and of the whole process, over `seconds` with no input."""
    switches0 = context_switches(pid)
    start = time.monotonic()
    cpu, threads = cpu_percent_over(pid, seconds)
    elapsed = time.monotonic() - start
    switches1 = context_switches(pid)
    woken = {tid: n - switches0.get(tid, 0) for tid, n in switches1.items()}
    return (cpu, threads, woken.get(pid, 0) / elapsed,
            sum(woken.values()) / elapsed)


def cpu_percent_over(pid, seconds, action=None):
    """CPU of `pid` over `seconds`, in percent of one core, while `action`
    (called repeatedly with the time since the start) runs; also the share
    of each thread that used any."""
    start = time.monotonic()
    total0, threads0 = cpu_seconds(pid)
    while time.monotonic() - start < seconds:
        if action:
            action(time.monotonic() - start)
        else:
            time.sleep(0.1)
    total1, threads1 = cpu_seconds(pid)
    elapsed = time.monotonic() - start
    shares = {name: round((used - threads0.get(name, 0.0)) / elapsed * 100, 3)
              for name, used in threads1.items() if used - threads0.get(name, 0.0) > 0}
    # Threads that ended meanwhile are only in the process's total, whose
    # clock ticks are too coarse for the idle figure: they count as what the
    # total gained beyond the living threads, when it did.
    living = sum(used - threads0.get(name, 0.0) for name, used in threads1.items())
    ended = max(0.0, (total1 - total0) - living - 1.0 / TICKS)
    return (living + ended) / elapsed * 100, shares


class App:
    """The program started on the X server `x`; `prefix` is the command that
    starts it (as another user, for one)."""

    def __init__(self, path, x, env, prefix=()):
        x.watch_maps()
        self.started = time.monotonic()
        self.process = subprocess.Popen(list(prefix) + [path], env=env,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        mapped = x.wait_map(30)
        if mapped is None:
            self.stop()
            raise RuntimeError("no window within 30 s")
        self.shown, self.window = mapped
        geometry = subprocess.run(["xdotool", "getwindowgeometry", "--shell", str(self.window)],
                                  capture_output=True, text=True, env=env, timeout=10).stdout
        g = dict(line.split("=", 1) for line in geometry.split())
        self.client_x = int(g["X"])
        self.client_y = int(g["Y"]) + int(g["HEIGHT"]) - CLIENT_HEIGHT

    def surface_point(self, x, y):
        return (self.client_x + SURFACE_LEFT + x, self.client_y + SURFACE_TOP + y)

    def stop(self):
        stop_process(self.process)


def first_sound(samples, start):
    """Index of the first sample at or after `start` that is not silence."""
    loud = abs(samples[start:].astype(int)) >= 256
    hits = loud.nonzero()[0]
    return start + int(hits[0]) if len(hits) else None


def wait_for_silence(recorder, timeout=5.0):
    """Waits until the last 100 ms recorded are silent."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        tail = recorder.samples()[-RATE // 10:]
        if len(tail) and not abs(tail.astype(int)).max():
            return True
        time.sleep(0.05)
    return False


def first_stroke(app, x):
    """A first stroke sets the pitch of tone 1; presses without a move keep
    it."""
    x.move(*app.surface_point(PEN_X - 1, PEN_Y))
    x.button(True)
    time.sleep(0.05)
    x.move(*app.surface_point(PEN_X, PEN_Y))
    time.sleep(0.1)
    x.button(False)


def pen_latencies(app, x, recorder, trials, settle=0.0):
    """Once the level has decayed to 0, a press stays silent (the voices take
    the level, 0) and the release reloads the level from the LEVEL slider:
    the voices sound again from the next tick on. So each trial waits for
    silence, presses, and times the release."""
    latencies = []
    misses = 0
    first_stroke(app, x)
    for _ in range(trials):
        if not wait_for_silence(recorder):
            misses += 1
            continue
        time.sleep(settle)
        x.button(True)
        time.sleep(0.1)
        mark = recorder.samples_so_far()
        x.button(False)
        released = time.monotonic()
        time.sleep(0.2)
        onset = first_sound(recorder.samples(), mark)
        arrived = recorder.arrival(onset) if onset is not None else None
        if arrived is None:
            misses += 1
        else:
            latencies.append((arrived - released) * 1000)
    return latencies, misses


def draw(app, x):
    """Returns an action that draws circles with the pen held down."""
    cx, cy = SURFACE_WIDTH / 2, SURFACE_HEIGHT / 2

    def step(t):
        angle = t * 2 * math.pi / 2.0  # one circle every 2 s
        x.move(*app.surface_point(cx + 120 * math.cos(angle), cy + 200 * math.sin(angle)))
        time.sleep(0.01)  # about 100 moves a second, as a mouse sends them

    return step


def main():
    path, trials = sys.argv[1], int(sys.argv[2])
    load = sys.argv[3] if len(sys.argv) > 3 else "none"
    prefix = []
    if os.environ.get("SCRIVOLA_SOUND_SERVER") == "desktop":
        prefix = [os.environ["SCRIVOLA_SOUND_ENV"], "as-user"]
        runtime = os.environ["XDG_RUNTIME_DIR"]
    else:
        runtime = tempfile.mkdtemp()
    env = dict(os.environ, XDG_RUNTIME_DIR=runtime)
    env.pop("QT_QPA_PLATFORM", None)
    env.pop("WAYLAND_DISPLAY", None)
    x = XConnection(env["DISPLAY"])
    recorder = MonitorRecorder()
    figures = {"load": load}
    try:
        recorder.wait_for_samples()
        with Load(load):
            figures.update(measure(path, trials, x, env, prefix, recorder))
    finally:
        recorder.stop()
        x.close()
    json.dump(figures, sys.stdout)


def measure(path, trials, x, env, prefix, recorder):
    figures = {}
    app = None
    try:
        launches = []
        for k in range(LAUNCHES):
            app = App(path, x, env, prefix)
            launches.append((app.shown - app.started) * 1000)
            if k + 1 < LAUNCHES:
                app.stop()
                time.sleep(0.3)
        figures["launch_ms"] = launches
        time.sleep(3.0)  # start-up settles, the silent output is released
        latencies, misses = pen_latencies(app, x, recorder, trials)
        figures["pen_to_audible_ms"] = latencies
        figures["pen_to_audible_misses"] = misses
        latencies, misses = pen_latencies(app, x, recorder, max(5, trials // 4), settle=3.0)
        figures["first_note_ms"] = latencies
        figures["first_note_misses"] = misses
        # The last note decays; 3 s after it fell silent, nothing may wake.
        wait_for_silence(recorder)
        time.sleep(3.0)
        (figures["cpu_idle_percent"], figures["cpu_idle_threads"],
         figures["idle_window_wakeups_per_s"],
         figures["idle_process_wakeups_per_s"]) = idle_figures(app.process.pid, 20)
        x.move(*app.surface_point(SURFACE_WIDTH / 2 + 120, SURFACE_HEIGHT / 2))
        x.button(True)
        figures["cpu_drawing_percent"], figures["cpu_drawing_threads"] = cpu_percent_over(
            app.process.pid, 10, draw(app, x))
        x.button(False)
        figures.update(memory_kib(app.process.pid))
        figures["loadavg"] = open("/proc/loadavg").read().split()[0]
    finally:
        if app is not None:
            app.stop()
    return figures


if __name__ == "__main__":
    main()
