#!/usr/bin/env python3
"""Whole-process binary loads at growing sizes, Tamrix beside libplist, in alternating rounds.

    python3 bench/plist/scale.py BUILD [--rounds N] [--sizes 10000,100000,1000000] [--shapes flat,nested]

BUILD is a build folder with benchmarks (e.g. build/dev). For each shape (flat; nested: groups of 100
keys) and size it prints the medians of wall time, CPU (user + system) and peak RSS of
`tamrix-tool plist check FILE` and `libplist_peer load FILE`, and the cost per key: the median less that
of a 10-key file of the same shape (the process's own start-up), divided by the keys.
"""
import argparse
import os
import statistics
import subprocess
import tempfile
import time


def run(command):
    """Wall seconds, CPU seconds and peak RSS (KiB) of one process."""
    # The peak comes from /usr/bin/time: a child of this interpreter would count the interpreter's pages.
    with tempfile.NamedTemporaryFile("r") as peak:
        start = time.perf_counter()
        process = subprocess.Popen(["/usr/bin/time", "-f", "%M", "-o", peak.name] + command,
                                   stdout=subprocess.DEVNULL)
        _, status, usage = os.wait4(process.pid, 0)
        wall = time.perf_counter() - start
        if os.waitstatus_to_exitcode(status) != 0:
            raise SystemExit(f"{command[0]} failed on {command[-1]}")
        return wall, usage.ru_utime + usage.ru_stime, int(peak.read().split()[-1])


def measure(programs, path, rounds):
    runs = {name: [] for name in programs}
    for _ in range(rounds):
        for name, command in programs.items():
            runs[name].append(run(command + [path]))
    return {name: tuple(statistics.median(r[i] for r in results) for i in range(3))
            for name, results in runs.items()}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--sizes", default="10000,100000,1000000")
    parser.add_argument("--shapes", default="flat,nested")
    args = parser.parse_args()
    programs = {"Tamrix": [os.path.join(args.build, "tools/tamrix-tool"), "plist", "check"],
                "libplist": [os.path.join(args.build, "bench/plist/libplist_peer"), "load"]}
    make = os.path.join(args.build, "bench/app/tamrix-bench-select")
    print(f"load {os.getloadavg()[0]:.2f}, {args.rounds} rounds, medians; ns/key less a 10-key file")
    print(f"{'shape':7} {'keys':>9} | {'program':8} {'wall s':>7} {'CPU s':>7} {'ns/key wall':>11} "
          f"{'ns/key CPU':>10} {'peak KiB':>9}")
    with tempfile.TemporaryDirectory() as work:
        def made(shape, keys):
            folder = os.path.join(work, f"{shape}-{keys}")
            os.makedirs(folder, exist_ok=True)
            subprocess.run([make, "make", folder, str(keys)] + (["nested"] if shape == "nested" else []),
                           check=True, stdout=subprocess.DEVNULL)
            return os.path.join(folder, "org.example.flat.plist")

        for shape in args.shapes.split(","):
            base = measure(programs, made(shape, 10), args.rounds)
            for keys in (int(size) for size in args.sizes.split(",")):
                path = made(shape, keys)
                result = measure(programs, path, args.rounds)
                os.remove(path)
                for name, (wall, cpu, peak) in result.items():
                    print(f"{shape:7} {keys:9} | {name:8} {wall:7.3f} {cpu:7.3f} "
                          f"{(wall - base[name][0]) * 1e9 / keys:11.0f} "
                          f"{(cpu - base[name][1]) * 1e9 / keys:10.0f} {peak:9}")


if __name__ == "__main__":
    main()
