"""Runs the Google Benchmark programs and reads their medians."""

import json
import subprocess


def medians(program, name_filter, repetitions=5, field="real_time"):
    """Median real time per iteration, in microseconds, of each benchmark
    whose name matches `name_filter`, keyed by its name; with `field` another
    of its figures (such as items_per_second), as the benchmark gives it."""
    done = subprocess.run(
        [program, "--benchmark_filter=" + name_filter,
         "--benchmark_repetitions=%d" % repetitions,
         "--benchmark_report_aggregates_only=true", "--benchmark_format=json"],
        capture_output=True, text=True, timeout=900, check=True)
    to_us = {"ns": 1e-3, "us": 1.0, "ms": 1e3, "s": 1e6}
    result = {}
    for b in json.loads(done.stdout)["benchmarks"]:
        if b.get("aggregate_name") == "median":
            name = b["run_name"].split("/repeats:")[0]
            result[name] = (b["real_time"] * to_us[b["time_unit"]] if field == "real_time"
                             else b[field])
    return result
