"""Runs one of the C++ probes and reads its "name=value" lines."""

import subprocess


def run_probe(command, timeout):
    """Runs `command` and returns its figures as a dict of strings; raises
    when it fails."""
    done = subprocess.run(command, capture_output=True, text=True, timeout=timeout)
    if done.returncode != 0:
        raise RuntimeError("%s failed (%d): %s" % (command[0], done.returncode, done.stderr[-2000:]))
    figures = {}
    for line in done.stdout.splitlines():
        name, sep, value = line.partition("=")
        if sep:
            figures[name.strip()] = value.strip()
    return figures
