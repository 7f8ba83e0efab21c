"""The table of figures beside their targets, in Markdown."""

import os
import statistics

from measure_lib.stats import percentile

TIMER_RATE = 64.0
CALLBACK_US = 256 / 44100 * 1e6  # audio one callback of 256 frames carries


def _verdict(value, limit, unit, higher_is_worse=True):
    worse = value > limit if higher_is_worse else value < limit
    if not worse:
        return "met"
    return "missed by %s %s" % (_num(abs(value - limit)), unit)


def _num(x):
    return "%.3g" % x if abs(x) < 100 else "%.0f" % x


def _cpu_name():
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                return line.split(":", 1)[1].strip()
    return "unknown CPU"


def render_rows(f):
    speed = f["render_second"]["BM_RenderSecond"]  # seconds of performance per CPU second
    yield ("Render, CPU per second of a busy performance (the benchmark, median)",
           "%.2f ms: %.0f times real time" % (1000 / speed, speed), "≥ 300 times",
           _verdict(speed, 300.0, "times", higher_is_worse=False))
    h = f["render_hour"]
    cpu = statistics.median(h["cpu_s"])
    yield ("Render of a one-hour performance with every shape switching, CPU, median of %d "
           "(`scrivola-synth --render` into WAV)" % len(h["cpu_s"]),
           "%.2f s: %.0f times real time (runs %s s; load average %s)" % (
               cpu, h["seconds"] / cpu, ", ".join("%.2f" % c for c in h["cpu_s"]),
               ", ".join(h["loadavg"])), "≤ 12 s", _verdict(cpu, 12.0, "s"))


def rows(f):
    if "desktop" in f:
        for load, d in f["desktop"].items():
            yield from desktop_rows(load, d, f["desktop_seconds"])
        return
    if "render_hour" in f:
        yield from render_rows(f)
    if "tick" not in f:
        return
    tick, cb, disp = f["tick"], f["callback"], f["display"]
    worst = max(tick["BM_Tick/1"], tick["BM_Tick/2"])
    yield ("Tick cost, median (both voices, 361 samples; start-up sound / all modulations / "
           "all modulations, the pitch moving at every tick)",
           "%.1f / %.1f / %.1f µs" % (tick["BM_Tick/0"], tick["BM_Tick/1"], tick["BM_Tick/2"]),
           "≤ 60 µs with all modulations", _verdict(worst, 60.0, "µs"))
    c = cb["BM_MixBothLoops/256"]
    yield ("Callback cost, median (mix both loops, 256 frames)",
           "%.2f µs, %.3f %% of the %.0f µs of audio it makes" % (c, c / CALLBACK_US * 100,
                                                                   CALLBACK_US), "—", "")
    yield ("Display cost per tick, median (clear 4 boxes, 722 scope points, 2 meters)",
           "%.0f µs; whole tick with the window's displays %.0f µs" % (
               disp["BM_DisplayOneTick"], disp["BM_TickWithWindowDisplay"]), "—", "")
    t = f["timers"]
    for n, name in ((1, "Timer1"), (2, "Timer2")):
        rate = float(t["timer%d_rate" % n])
        drift = float(t["timer%d_drift_percent" % n])
        yield ("`%s` delivered rate over 20 s" % name,
               "%.3f per s (drift %+.3f %%)" % (rate, drift), "64.0 per s, drift < 0.1 %",
               _verdict(abs(drift), 0.1, "points of %"))
    for n, name in ((1, "Timer1"), (2, "Timer2")):
        p99 = float(t["timer%d_jitter_us_p99" % n]) / 1000
        yield ("`%s` interval jitter, p99 (max)" % name,
               "%.2f ms (%.1f ms)" % (p99, float(t["timer%d_jitter_us_max" % n]) / 1000),
               "≤ 2 ms", _verdict(p99, 2.0, "ms"))
    rt = f.get("timers_rt")
    if rt:
        yield ("The same at real-time priority (`chrt -f 10`): rate drift; jitter p99",
               "Timer1 %+.3f %%, %.2f ms; Timer2 %+.3f %%, %.2f ms" % (
                   float(rt["timer1_drift_percent"]), float(rt["timer1_jitter_us_p99"]) / 1000,
                   float(rt["timer2_drift_percent"]), float(rt["timer2_jitter_us_p99"]) / 1000),
               "(for comparison)", "")
    for server, sf in f["servers"].items():
        yield from server_rows(server, sf, f)


def _gaps(a):
    return "n/a" if a.get("gaps") is None else str(a["gaps"])


def _machine(a):
    """The machine's share: how many gaps came right after a CPU stalled
    (the stall canaries) or had time stolen by the hypervisor, and the
    totals of the run."""
    if "gap_steal_ms" not in a:
        return "stalls not measured"
    stalls = a.get("gap_stall_ms") or [0] * len(a["gap_steal_ms"])
    near = sum(1 for steal, stall in zip(a["gap_steal_ms"], stalls) if steal or stall)
    canary = a.get("cpu_stalls", {})
    return ("%d of them right after a CPU stalled or was stolen; in the run %s ms stolen, "
            "%s stalls over 2 ms, the longest %s ms") % (
                near, a.get("steal_ms", "n/a"), canary.get("count", "n/a"),
                canary.get("longest_ms", "n/a"))


def _dropouts(d):
    if d.get("dropouts") is None:
        return "no sound recorded"
    return ("%d (%.0f ms of silence in %.0f s); %d right after a CPU stall of a graph cycle "
            "or more, %d others right after time stolen from the CPUs, %d after neither") % (
                d["dropouts"], d["silence_ms"], d["sounding_seconds"], d["after_stall"],
                d["after_steal"], d["unexplained"])


def desktop_rows(load, d, seconds):
    what = {"none": "no load", "cpu": "CPU and memory load",
            "io": "I/O storm"}.get(load, load)
    drops = d.get("dropouts")
    if drops:
        yield ("desktop, %s: dropouts of the program in %.0f s (node latency %s; real-time "
               "threads: %s)" % (
                   what, seconds, drops["program"].get("node_latency") or "unknown",
                   ", ".join(drops["program"].get("realtime_threads") or ["none"])),
               _dropouts(drops["program"]), "0",
               _verdict(drops["program"].get("unexplained") or 0, 0, "dropouts"))
        if "latency_back_after_load_s" in drops["program"]:
            back = drops["program"]["latency_back_after_load_s"]
            yield ("desktop, %s: after the load ends, the program's stream is back at its quiet "
                   "latency (%s, the lowest it asks for in the next 15 s) within" % (
                       what, drops["program"].get("latency_after_load") or "unknown"),
                   "%.1f s" % back if back is not None else "unknown", "≤ 10 s",
                   _verdict(back if back is not None else 99, 10, "s"))
        for key in sorted(k for k in drops if k.startswith("pw_cat_")):
            latency = key[len("pw_cat_"):]
            yield ("desktop, %s: dropouts of pw-cat at %s latency, %.0f s" % (
                       what, "its default" if latency == "default" else latency + " frames",
                       min(seconds, 60)), _dropouts(drops[key]), "(reference)", "")
        canary = drops.get("cpu_stalls", {})
        yield ("desktop, %s: the machine over the run" % what,
               "%s ms stolen, %s CPU stalls over 2 ms, the longest %s ms; load average %s" % (
                   drops.get("steal_ms", "n/a"), canary.get("count", "n/a"),
                   canary.get("longest_ms", "n/a"), drops.get("loadavg", "n/a")), "—", "")
    app = d.get("app")
    if app:
        yield from pen_rows("desktop, %s" % what, app, 25.0)
        yield ("desktop, %s: CPU of the synth idle; drawing" % what,
               "%.2f %%; %.2f %% of one core" % (app["cpu_idle_percent"],
                                                 app["cpu_drawing_percent"]), "—", "")


def pen_rows(where, app, limit):
    for key, name in (("pen_to_audible", "Pen event to audible change in the recording"),
                      ("first_note", "First note after the output was released, pen to audible")):
        pen = app["%s_ms" % key]
        pen95 = percentile(pen, 0.95)
        yield ("%s: %s, p95 (p50, max)" % (where, name),
               "%.1f ms (%.1f, %.1f ms) over %d pen-ups, %d missed" % (
                   pen95, percentile(pen, 0.5), max(pen) if pen else float("nan"), len(pen),
                   app["%s_misses" % key]), "≤ %g ms" % limit, _verdict(pen95, limit, "ms"))


def server_rows(server, f, top):
    a = f["audio"]
    p95 = float(a["write_to_callback_us_p95"]) / 1000
    yield ("%s: table write to its first sample leaving the callback, p95 (p50, max)" % server,
           "%.1f ms (%.1f, %.1f ms); %s of %s writes replaced before a callback played them" % (
               p95, float(a["write_to_callback_us_p50"]) / 1000,
               float(a["write_to_callback_us_max"]) / 1000, a["writes_unseen"], a["writes"]),
           "≤ 12 ms", _verdict(p95, 12.0, "ms"))
    for key, what, seconds in (("audio", "machine otherwise idle (load %s)" % a["loadavg"],
                                top["play_seconds"]),
                               ("stress", "both cores kept busy by other processes",
                                top["stress_seconds"])):
        g = f[key]
        yield ("%s: gaps in %.3g min of a note kept sounding, %s" % (server, seconds / 60, what),
               "%s gaps in the recording (%s); %s underruns counted in the callback, %s logged by "
               "the sound server; stream ran at %.2f %% of real time" % (
                   _gaps(g), _machine(g), g["underruns"], g["server_underruns"],
                   float(g["frames_per_second"]) / 441),
               "0", _verdict(int(g["gaps"] or 0), 0, "gaps"))
        if g.get("latency_frames_max"):
            yield ("%s: the output's cycle in use, %s" % (server, what),
                   "%s frames at the end, %s to %s while it played (44100 Hz: %.1f to %.1f ms); "
                   "%s" % (g["latency_frames"], g["latency_frames_min"], g["latency_frames_max"],
                           int(g["latency_frames_min"]) / 44.1,
                           int(g["latency_frames_max"]) / 44.1, g["output"]), "", "")
    app = f["app"]
    yield from pen_rows(server, app, 25.0)
    for key, name, limit in (("cpu_idle_percent", "idle, from 3 s after the last sound, no "
                              "input (20 s)", 0.05),
                             ("cpu_drawing_percent", "drawing, about 100 pointer moves a second "
                              "(10 s)", 3.0)):
        yield ("%s: CPU of the synth while %s" % (server, name),
               "%.3f %% of one core" % app[key], "≤ %g %%" % limit,
               _verdict(app[key], limit, "points of %"))
    yield ("%s: wake-ups while idle, from 3 s after the last sound, no input (20 s)" % server,
           "%.2f per second of the window's thread, %.2f of the whole process" % (
               app["idle_window_wakeups_per_s"], app["idle_process_wakeups_per_s"]),
           "0 per second (the process ≤ 1)",
           _verdict(app["idle_window_wakeups_per_s"], 0.0, "per second of the window's thread")
           if app["idle_window_wakeups_per_s"] > 0 else
           _verdict(app["idle_process_wakeups_per_s"], 1.0, "per second"))
    rss = app["VmRSS"] / 1024
    yield ("%s: resident memory (VmRSS; peak VmHWM)" % server,
           "%.1f MB (%.1f MB)" % (rss, app["VmHWM"] / 1024),
           "≤ 80 MB", _verdict(app["VmHWM"] / 1024, 80.0, "MB"))
    launch = app["launch_ms"]
    yield ("%s: launch to window shown, median (max) of %d" % (server, len(launch)),
           "%.0f ms (%.0f ms)" % (statistics.median(launch), max(launch)), "≤ 500 ms",
           _verdict(statistics.median(launch), 500.0, "ms"))


def print_table(f):
    print("Measured on %s, %d cores; load average %s before the run%s." % (
        _cpu_name(), os.cpu_count() or 0, f["loadavg_before"],
        " (quick run)" if f.get("quick") else ""))
    print()
    print("| Figure | Measured | Target | |")
    print("|---|---|---|---|")
    for figure, measured, target, verdict in rows(f):
        print("| %s | %s | %s | %s |" % (figure, measured, target, verdict))
