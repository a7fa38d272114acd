#!/usr/bin/env python3
"""Runs kinovka-cli and the pugixml anchor side by side on generated catalogues and
prints a table of whole-process medians (wall time, processor time, page faults,
peak memory) and their ratios, and how each program's wall time grows from one
size to the next against n log n.

A first touch of fresh memory costs from a fraction of a microsecond to over ten,
depending on the machine, and the two programs touch different amounts of it.
The table also gives two estimates of the times where first touches cost next to
nothing: each program's wall time less its page faults at this machine's price,
and its processor time less them. The price drifts by half within minutes on a
virtual machine, so it is measured (kinovka-measure --page-touch) before and
after each workload's runs, and the mean of the two is used and printed. For the anchor, which runs on one thread, both are its time there.
Kinovka loads on two threads: its wall time less faults is the low end (every
fault waited for), its processor time less faults the high end (as if it had
one core), and its time on such a machine lies between them.

Usage: compare.py --cli BIN --peer BIN --measure BIN --data DIR
                  [--sizes 10000,100000] [--runs 5]
The catalogues DIR/films-N.xml must exist (bench/run.sh makes them). Every run
starts through kinovka-measure, which reports the process's own peak memory.
"""
import argparse
import math
import os
import shutil
import statistics
import subprocess
import sys
import tempfile


def run_once(measure, argv):
    """Wall seconds, peak resident KiB, processor seconds and minor page faults of one process."""
    done = subprocess.run([measure] + argv, capture_output=True, text=True)
    if done.returncode != 0:
        sys.exit("%s failed: %s" % (" ".join(argv), done.stderr.strip()))
    wall, peak, processor, faults = done.stdout.split()
    return float(wall), int(peak), float(processor), int(faults)


def touch_cost(measure):
    """Microseconds the first touch of a fresh 4 KiB page costs now."""
    done = subprocess.run([measure, "--page-touch"], capture_output=True, text=True, check=True)
    return float(done.stdout)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--cli", required=True)
    ap.add_argument("--peer", required=True)
    ap.add_argument("--measure", required=True)
    ap.add_argument("--data", required=True)
    ap.add_argument("--sizes", default="10000,100000,1000000")
    ap.add_argument("--runs", type=int, default=5)
    args = ap.parse_args()

    workloads = {
        "summary": (lambda f: [args.cli, "summary", f], lambda f: [args.peer, "summary", f]),
        "add": (lambda f: [args.cli, "add", f, "--en", "Benchmark film", "--cd", "7"],
                lambda f: [args.peer, "add", f]),
    }
    print("| films | workload | kinovka ms | pugixml ms | time ratio | kinovka cpu ms | pugixml cpu ms "
          "| cpu ratio | kinovka faults | pugixml faults | kinovka wall less faults | pugixml wall less faults "
          "| ratio (wall less faults) | kinovka cpu less faults | pugixml cpu less faults "
          "| ratio (cpu less faults) | kinovka MiB | pugixml MiB | memory ratio | kinovka growth | pugixml growth "
          "| n log n growth | touch µs |")
    print("|---:|---|" + "---:|" * 21)
    previous = {}
    with tempfile.TemporaryDirectory() as work:
        target = os.path.join(work, "catalogue.xml")
        for n in [int(s) for s in args.sizes.split(",")]:
            source = os.path.join(args.data, "films-%d.xml" % n)
            runs = args.runs if n < 1000000 else max(1, (args.runs + 1) // 2)
            for name, (ours, peer) in workloads.items():
                touch_before = touch_cost(args.measure)
                samples = {"ours": ([], [], [], []), "peer": ([], [], [], [])}
                # The two programs take turns, each on a fresh copy, so that a
                # busy spell of the machine falls on both alike.
                for _ in range(runs):
                    for who, make in (("ours", ours), ("peer", peer)):
                        shutil.copyfile(source, target)
                        for column, value in enumerate(run_once(args.measure, make(target))):
                            samples[who][column].append(value)
                touch_us = (touch_before + touch_cost(args.measure)) / 2
                our_t, peer_t = (statistics.median(samples[w][0]) for w in ("ours", "peer"))
                our_m, peer_m = (statistics.median(samples[w][1]) for w in ("ours", "peer"))
                our_c, peer_c = (statistics.median(samples[w][2]) for w in ("ours", "peer"))
                our_f, peer_f = (statistics.median(samples[w][3]) for w in ("ours", "peer"))
                our_l, peer_l = (t - f * touch_us / 1e6 for t, f in ((our_t, our_f), (peer_t, peer_f)))
                our_w, peer_w = (c - f * touch_us / 1e6 for c, f in ((our_c, our_f), (peer_c, peer_f)))
                growth = ["", "", ""]
                if name in previous:
                    p, p_ours, p_peer = previous[name]
                    growth = ["%.1f" % (our_t / p_ours), "%.1f" % (peer_t / p_peer),
                              "%.1f" % (n * math.log(n) / (p * math.log(p)))]
                previous[name] = (n, our_t, peer_t)
                print("| %d | %s | %.1f | %.1f | %.2f | %.1f | %.1f | %.2f | %d | %d | %.1f | %.1f | %.2f "
                      "| %.1f | %.1f | %.2f | %.1f | %.1f | %.2f | %s | %s | %s | %.1f |" % (
                          n, name, our_t * 1000, peer_t * 1000, our_t / peer_t,
                          our_c * 1000, peer_c * 1000, our_c / peer_c, our_f, peer_f,
                          our_l * 1000, peer_l * 1000, our_l / peer_l,
                          our_w * 1000, peer_w * 1000, our_w / peer_w,
                          our_m / 1024, peer_m / 1024, our_m / peer_m, *growth, touch_us))
                sys.stdout.flush()


if __name__ == "__main__":
    main()
