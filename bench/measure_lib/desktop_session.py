"""Dropouts on a desktop, run inside scripts/desktop-env.sh and
scripts/xserver.sh:

    desktop_session.py APP SECONDS LOAD [REFERENCE_LATENCY]

Under LOAD (bench/measure_lib/load.py: none, cpu or io), for SECONDS each:
- the program, run by the desktop's user, its pen pressed and lifted about
  once a second so that a note keeps sounding; under a load, the load then
  ends and the program plays on for RECOVERY_SECONDS, to time how long its
  stream takes to come back to its quiet latency, the lowest it asks for
  once the load has gone;
- before it, pw-cat, PipeWire's own client, playing a tone at
  REFERENCE_LATENCY frames (256 where not given: the program's quiet
  latency) and at pw-cat's default latency, for at most a minute each.

What the graph plays is recorded at its rate. A dropout is a run of silence
inside the sounding stretch (tests/e2e/heard.py); those that follow a CPU
stall of a graph cycle or longer (the stall canaries), or else time the
host took the CPUs away ("steal"), within the 0.3 s before are counted
apart.
Prints the figures as JSON.
"""

import json
import math
import os
import subprocess
import sys
import tempfile
import time
import wave

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(HERE)), "tests", "e2e"))

import numpy as np  # noqa: E402

import heard  # noqa: E402
from measure_lib.app_session import App, first_stroke  # noqa: E402
from measure_lib.load import Load  # noqa: E402
from measure_lib.processes import stop_process  # noqa: E402
from measure_lib.recorder import RATE, MonitorRecorder  # noqa: E402
from measure_lib.stalls import StallWatch  # noqa: E402
from measure_lib.steal import StealWatch  # noqa: E402
from measure_lib.xserver import XConnection  # noqa: E402

AS_USER = [os.environ.get("SCRIVOLA_SOUND_ENV", ""), "as-user"]
# A stall this long (one graph cycle of 256 frames) can empty a small buffer.
STALL_MS = 256 / RATE * 1000
# How long the program plays on after a load ends.
RECOVERY_SECONDS = 15.0
# The references play at most this long: they only set the program's figure
# beside theirs.
REFERENCE_SECONDS = 60.0


class Watches:
    def __init__(self):
        self.steal = StealWatch()
        self.stalls = StallWatch()

    def stop(self):
        self.steal.stop()
        self.stalls.stop()


def dropouts_in(recorder, first, watches):
    """The dropouts recorded since sample `first`, split by what preceded
    them."""
    samples = recorder.samples()[first:].astype(np.int32)
    loud = np.flatnonzero(np.abs(samples) >= heard.LOUD)
    if not loud.size:
        return {"dropouts": None, "sounding_seconds": 0.0}
    found = heard.dropouts(samples[loud[0]:loud[-1] + 1], RATE)
    stolen, stalled, ours = [], [], []
    for start, length in found:
        moment = recorder.arrival(first + int(loud[0]) + start)
        steal = stall = 0.0
        if moment is not None:
            steal = watches.steal.within_ms(moment - 0.3, moment + 0.05)
            stall = watches.stalls.longest_ms(moment - 0.3, moment + 0.05)
        entry = [round((loud[0] + start) / RATE, 3), round(length / RATE * 1000, 1),
                 round(steal, 1), round(stall, 1)]
        # A stall the canaries saw is the closer witness; the steal counter
        # only moves in 10 ms ticks, summed over the CPUs.
        if stall >= STALL_MS:
            stalled.append(entry)
        elif steal > 0:
            stolen.append(entry)
        else:
            ours.append(entry)
    return {"dropouts": len(found), "after_steal": len(stolen), "after_stall": len(stalled),
            "unexplained": len(ours),
            "silence_ms": round(sum(length for _, length in found) / RATE * 1000, 1),
            "sounding_seconds": round((loud[-1] - loud[0]) / RATE, 1),
            # [seconds in, silence ms, steal ms, longest stall ms] for the first ones
            "list": (ours + stalled + stolen)[:30]}


def realtime_threads(pid):
    """The program's threads at real-time priority: ["name policy/priority"]."""
    found = []
    for tid in os.listdir("/proc/%d/task" % pid):
        try:
            with open("/proc/%d/task/%s/stat" % (pid, tid)) as f:
                fields = f.read().rsplit(")", 1)[1].split()
            with open("/proc/%d/task/%s/comm" % (pid, tid)) as f:
                name = f.read().strip()
        except OSError:
            continue
        policy, priority = int(fields[38]), int(fields[37])
        if policy in (1, 2):
            found.append("%s %s/%d" % (name, "FIFO" if policy == 1 else "RR", priority))
    return found


def node_latency(pid):
    """The node latency of the program's stream in frames of the graph, and
    as PipeWire states it ("236/44100"); (None, None) where it has none."""
    done = subprocess.run(["pw-dump"], capture_output=True, text=True, timeout=20)
    try:
        objects = json.loads(done.stdout)
    except ValueError:
        return None, None
    for o in objects:
        props = (o.get("info") or {}).get("props") or {}
        ours = (str(props.get("application.process.id")) == str(pid)
                or props.get("node.name") == "scrivola-synth")
        if ours and "node.latency" in props:
            text = props["node.latency"]
            frames, _, rate = text.partition("/")
            return round(int(frames) * RATE / int(rate or RATE)), text
    return None, None


def play_program(path, seconds, x, env, recorder, watches, load):
    app = App(path, x, env, prefix=AS_USER)
    try:
        time.sleep(0.5)
        first_stroke(app, x)
        first = recorder.samples_so_far()
        realtime = []
        latencies = []

        def play(until, on_latency=None):
            nonlocal realtime
            while time.monotonic() < until:
                time.sleep(0.45)
                x.button(True)
                time.sleep(0.5)
                x.button(False)
                if not realtime:
                    realtime = realtime_threads(app.process.pid)
                # The latency the stream asks for moves with its dropouts:
                # note where it started and where it went.
                now = node_latency(app.process.pid)
                if now[0] is not None:
                    latencies.append(now)
                    if on_latency and on_latency(now[1]):
                        return

        play(time.monotonic() + seconds)
        time.sleep(0.1)
        figures = dropouts_in(recorder, first, watches)
        figures["realtime_threads"] = realtime
        if latencies:
            figures["node_latency_frames"] = latencies[-1][0]
            figures["node_latency"] = " → ".join(
                text for k, (_, text) in enumerate(latencies)
                if k == 0 or text != latencies[k - 1][1])
        if load.processes:
            load.stop()
            ended = time.monotonic()
            after = []

            def note(text):
                after.append((time.monotonic() - ended, text))
                return False  # plays on for the whole while

            play(ended + RECOVERY_SECONDS, note)
            # Where a machine's stalls made the stream keep a larger cycle
            # than the smallest, that is its quiet latency: the lowest it asks
            # for once the load has gone.
            if after:
                lowest = min(after, key=lambda a: int(a[1].split("/")[0]))[1]
                figures["latency_after_load"] = lowest
                figures["latency_back_after_load_s"] = round(
                    next(t for t, text in after if text == lowest), 1)
        return figures
    finally:
        app.stop()


def play_reference(seconds, latency, recorder, watches, folder):
    """pw-cat playing a 440 Hz tone at `latency` frames (None: its default)."""
    tone = os.path.join(folder, "tone.wav")
    if not os.path.exists(tone):
        frames = int((min(seconds, REFERENCE_SECONDS) + 2) * RATE)
        t = np.arange(frames) / RATE
        with wave.open(tone, "wb") as out:
            out.setnchannels(1)
            out.setsampwidth(2)
            out.setframerate(RATE)
            out.writeframes((np.sin(2 * math.pi * 440 * t) * 16000).astype("<i2").tobytes())
        os.chmod(tone, 0o644)
    command = AS_USER + ["pw-cat", "--playback"]
    if latency:
        command.append("--latency=%d" % latency)
    first = recorder.samples_so_far()
    seconds = min(seconds, REFERENCE_SECONDS)
    process = subprocess.Popen(command + [tone], stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    try:
        time.sleep(seconds)
    finally:
        stop_process(process)
    return dropouts_in(recorder, first, watches)


def main():
    path, seconds, load = sys.argv[1], float(sys.argv[2]), sys.argv[3]
    latency = int(sys.argv[4]) if len(sys.argv) > 4 else None
    env = dict(os.environ)
    env.pop("QT_QPA_PLATFORM", None)
    env.pop("WAYLAND_DISPLAY", None)
    x = XConnection(env["DISPLAY"])
    recorder = MonitorRecorder()
    watches = Watches()
    figures = {"load": load, "seconds": seconds, "rate": RATE, "stall_ms": round(STALL_MS, 1)}
    # On tmpfs where there is one, so that the storm's writes do not stall
    # the reference's reads.
    folder = tempfile.mkdtemp(dir="/dev/shm" if os.path.isdir("/dev/shm") else None)
    os.chmod(folder, 0o755)
    try:
        recorder.wait_for_samples()
        with Load(load) as running:
            time.sleep(1.0)
            # The references first: the program's run ends the load.
            reference = latency or 256
            figures["pw_cat_%d" % reference] = play_reference(seconds, reference, recorder,
                                                              watches, folder)
            figures["pw_cat_default"] = play_reference(seconds, None, recorder, watches,
                                                       folder)
            figures["program"] = play_program(path, seconds, x, env, recorder, watches,
                                              running)
        figures["cpu_stalls"] = watches.stalls.summary()
        figures["steal_ms"] = round(watches.steal.total_ms(), 1)
        figures["loadavg"] = open("/proc/loadavg").read().split()[0]
    finally:
        recorder.stop()
        watches.stop()
        x.close()
        for name in os.listdir(folder):
            os.unlink(os.path.join(folder, name))
        os.rmdir(folder)
    json.dump(figures, sys.stdout)


if __name__ == "__main__":
    main()
