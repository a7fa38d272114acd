#!/usr/bin/env python3
"""Runs kinovka-cli and the pugixml anchor side by side on generated catalogues and
prints a table of whole-process medians (wall time, peak memory) and their ratios.

Usage: compare.py --cli BIN --peer BIN --data DIR [--sizes 10000,100000] [--runs 5]
The catalogues DIR/films-N.xml must exist (bench/run.sh makes them).
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time


def run_once(argv):
    """Wall seconds and peak resident kilobytes of one process."""
    start = time.perf_counter()
    proc = subprocess.Popen(argv, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(proc.pid, 0)
    wall = time.perf_counter() - start
    proc.returncode = os.waitstatus_to_exitcode(status)
    err = proc.stderr.read().decode(errors="replace")
    proc.stderr.close()
    if proc.returncode != 0:
        sys.exit("%s failed (%d): %s" % (" ".join(argv), proc.returncode, err))
    return wall, usage.ru_maxrss


def measure(make_argv, source, runs, work):
    """Median wall time and peak memory; each run works on a fresh copy of source."""
    walls, peaks = [], []
    for _ in range(runs):
        target = os.path.join(work, "catalogue.xml")
        shutil.copyfile(source, target)
        wall, peak = run_once(make_argv(target))
        walls.append(wall)
        peaks.append(peak)
    return statistics.median(walls), statistics.median(peaks)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--cli", required=True)
    ap.add_argument("--peer", required=True)
    ap.add_argument("--data", required=True)
    ap.add_argument("--sizes", default="10000,100000,1000000")
    ap.add_argument("--runs", type=int, default=5)
    args = ap.parse_args()

    workloads = {
        "summary": (lambda f: [args.cli, "summary", f], lambda f: [args.peer, "summary", f]),
        "add": (lambda f: [args.cli, "add", f, "--en", "Benchmark film", "--cd", "7"],
                lambda f: [args.peer, "add", f]),
    }
    print("| films | workload | kinovka ms | pugixml ms | time ratio | kinovka MiB | pugixml MiB | memory ratio |")
    print("|---:|---|---:|---:|---:|---:|---:|---:|")
    with tempfile.TemporaryDirectory() as work:
        for n in [int(s) for s in args.sizes.split(",")]:
            source = os.path.join(args.data, "films-%d.xml" % n)
            runs = args.runs if n < 1000000 else max(1, args.runs // 2)
            for name, (ours, peer) in workloads.items():
                # Alternate the two programs so that neither gets a warmer cache.
                our_t, our_m = measure(ours, source, runs, work)
                peer_t, peer_m = measure(peer, source, runs, work)
                print("| %d | %s | %.1f | %.1f | %.2f | %.1f | %.1f | %.2f |" % (
                    n, name, our_t * 1000, peer_t * 1000, our_t / peer_t,
                    our_m / 1024, peer_m / 1024, our_m / peer_m))
                sys.stdout.flush()


if __name__ == "__main__":
    main()
