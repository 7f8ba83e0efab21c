"""The private sound server that scripts/pulse-env.sh started.

The daemon logs at debug level, and names every time a playback stream's
queue ran dry while the sink needed audio ("Implicit underrun of ...",
"Actual underrun of ..."): the server's own count of underruns, which the
client library never passes on.
"""

import os


def log_position():
    """Where the daemon's log ends now (0 where there is none)."""
    path = _log_path()
    return os.path.getsize(path) if path else 0


def underruns_since(position, stream="Playback"):
    """Underruns of `stream` (RtAudio names its stream "Playback") logged
    since `position`; None when the server keeps no such log."""
    path = _log_path()
    if not path:
        return None
    with open(path, "rb") as log:
        log.seek(position)
        text = log.read().decode(errors="replace")
    return sum(text.count("%s underrun of '%s'" % (kind, stream))
               for kind in ("Implicit", "Actual"))


def _log_path():
    if os.environ.get("SCRIVOLA_SOUND_SERVER") != "pulseaudio":
        return None
    return os.path.join(os.environ["SCRIVOLA_SOUND_DIR"], "daemon.log")
