#!/usr/bin/env python3
"""Benchmark peer: python3's plistlib loading FILE and writing it as XML and binary, timed in-process."""
import plistlib
import sys
import time

path = sys.argv[1]
with open(path, "rb") as handle:
    data = handle.read()
start = time.perf_counter()
value = plistlib.loads(data)
print(f"load {time.perf_counter() - start:.3f} s")
if len(sys.argv) > 2 and sys.argv[2] == "write":
    for name, fmt in (("xml", plistlib.FMT_XML), ("bin", plistlib.FMT_BINARY)):
        start = time.perf_counter()
        plistlib.dumps(value, fmt=fmt, sort_keys=False)
        print(f"write {name} {time.perf_counter() - start:.3f} s")
