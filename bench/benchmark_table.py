"""Turns Google Benchmark JSON files into one markdown table.

Usage: benchmark_table.py FILE.json [FILE.json ...]
Aggregate rows (median) are shown when present, else every run.
"""

import json
import sys


def rows(path):
    with open(path) as f:
        data = json.load(f)
    runs = data.get("benchmarks", [])
    medians = [r for r in runs if r.get("aggregate_name") == "median"]
    return medians or [r for r in runs if r.get("run_type") != "aggregate"]


def main():
    print("| Benchmark | Real time | CPU time |")
    print("|---|---:|---:|")
    for path in sys.argv[1:]:
        for run in rows(path):
            unit = run.get("time_unit", "ns")
            name = run.get("run_name", run["name"])
            print("| %s | %.3g %s | %.3g %s |" % (name, run["real_time"], unit, run["cpu_time"], unit))


if __name__ == "__main__":
    main()
