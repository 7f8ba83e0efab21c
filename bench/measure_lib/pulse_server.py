"""The private PulseAudio daemon that scripts/pulse-env.sh started.

The daemon logs, at debug level, every time a playback stream's queue runs
dry while the sink needs audio ("Actual underrun of ..."), which is the
server's own count of underruns that the client library never passes on.
"""

import os
import socket
import subprocess
import time


def _cli(command):
    path = os.path.join(os.environ["SCRIVOLA_PULSE_DIR"], "cli")
    with socket.socket(socket.AF_UNIX) as s:
        s.connect(path)
        s.sendall(command.encode() + b"\n")
        time.sleep(0.2)


def log_underruns():
    """Makes the daemon log underruns from now on."""
    path = os.path.join(os.environ["SCRIVOLA_PULSE_DIR"], "cli")
    subprocess.run(["pactl", "load-module", "module-cli-protocol-unix", "socket=" + path],
                   check=True, stdout=subprocess.DEVNULL, timeout=10)
    _cli("set-log-level 4")


def log_position():
    """Where the daemon's log ends now."""
    return os.path.getsize(_log_path())


def underruns_since(position, stream="Playback"):
    """Underruns of `stream` (RtAudio names its stream "Playback") logged
    since `position`."""
    with open(_log_path(), "rb") as log:
        log.seek(position)
        text = log.read().decode(errors="replace")
    return text.count("Actual underrun of '%s'" % stream)


def _log_path():
    return os.path.join(os.environ["SCRIVOLA_PULSE_DIR"], "daemon.log")
