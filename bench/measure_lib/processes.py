"""Stopping the helper processes that a measurement starts."""

import subprocess


def stop_process(process, grace_seconds=5):
    """Terminates `process` if it still runs; kills it if it lingers."""
    if process.poll() is not None:
        return
    process.terminate()
    try:
        process.wait(grace_seconds)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()
