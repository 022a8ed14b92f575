#!/usr/bin/env python3
"""Round trip of the property-list corpus through tamrix-tool, checked by python3's plistlib.

Every file under binary/, xml/ and openstep/ is read and written again (binary as binary, XML and the
text form as XML). plistlib must read the written file to a value equal to its reading of the original
(for text files, which plistlib cannot read, equal to our own first reading), and our own reading of the
original must agree with plistlib's. Every file under malformed/ must be refused with exit status 1.
"""
import datetime
import json
import math
import plistlib
import subprocess
import sys
import tempfile
from pathlib import Path

EPOCH = datetime.datetime(2001, 1, 1)


def canonical(value):
    """plistlib's reading in the canonical JSON value form (as Python objects)."""
    if isinstance(value, bool):
        return {"boolean": value}
    if isinstance(value, int):
        return {"integer": value if abs(value) <= 2**53 else str(value)}
    if isinstance(value, float):
        if math.isnan(value):
            return {"real": "nan"}
        if math.isinf(value):
            return {"real": "inf" if value > 0 else "-inf"}
        return {"real": value}
    if isinstance(value, datetime.datetime):
        return {"date": (value - EPOCH).total_seconds()}
    if isinstance(value, bytes):
        return {"data": value.hex()}
    if isinstance(value, str):
        return {"string": value}
    if isinstance(value, list):
        return {"array": [canonical(v) for v in value]}
    if isinstance(value, dict):
        return {"dict": [(k, canonical(v)) for k, v in value.items()]}
    if isinstance(value, plistlib.UID):
        return {"uid": value.data}
    raise TypeError(type(value))


def ordered(value):
    """Our dump with dictionaries as ordered pairs, like canonical()."""
    if isinstance(value, dict):
        if len(value) == 1 and "dict" in value:
            return {"dict": [(k, ordered(v)) for k, v in value["dict"].items()]}
        return {k: ordered(v) for k, v in value.items()}
    if isinstance(value, list):
        return [ordered(v) for v in value]
    return value


def same(a, b, path="$"):
    """Deep comparison; dates may differ by plistlib's microsecond rounding. Answers a difference or None."""
    if isinstance(a, dict) and isinstance(b, dict):
        if a.keys() != b.keys():
            return f"{path}: {list(a)} != {list(b)}"
        if "date" in a:
            return None if abs(a["date"] - b["date"]) < 1e-5 else f"{path}: {a} != {b}"
        for key in a:
            found = same(a[key], b[key], f"{path}.{key}")
            if found:
                return found
        return None
    if isinstance(a, list) and isinstance(b, list):
        if len(a) != len(b):
            return f"{path}: length {len(a)} != {len(b)}"
        for i, (x, y) in enumerate(zip(a, b)):
            found = same(x, y, f"{path}[{i}]")
            if found:
                return found
        return None
    if isinstance(a, tuple) and isinstance(b, tuple):
        return same(list(a), list(b), path)
    if type(a) is not type(b) and not (isinstance(a, (int, float)) and isinstance(b, (int, float))):
        return f"{path}: {a!r} != {b!r}"
    if isinstance(a, float) and isinstance(b, float) and math.isnan(a) and math.isnan(b):
        return None
    if isinstance(a, float) or isinstance(b, float):
        if a != b or math.copysign(1, a) != math.copysign(1, b):
            return f"{path}: {a!r} != {b!r}"
        return None
    return None if a == b else f"{path}: {a!r} != {b!r}"


def run(tool, *arguments):
    return subprocess.run([tool, "plist", *arguments], capture_output=True, timeout=120)


def main():
    tool, corpus = sys.argv[1], Path(sys.argv[2])
    missing = [str(corpus / folder) for folder in ("binary", "xml", "openstep", "malformed")
               if not (corpus / folder).is_dir()]
    if missing:
        print("FAIL missing test data:", ", ".join(missing))
        return 1
    failures = []
    checked = 0
    with tempfile.TemporaryDirectory() as scratch:
        for folder, output_format in (("binary", "binary"), ("xml", "xml"), ("openstep", "xml")):
            for source in sorted((corpus / folder).iterdir()):
                checked += 1
                written = Path(scratch) / (source.name + "." + output_format)
                converted = run(tool, "convert", str(source), str(written), "--format", output_format)
                if converted.returncode != 0:
                    failures.append(f"{source}: convert failed: {converted.stderr.decode()}")
                    continue
                dumped = run(tool, "dump", str(source))
                redumped = run(tool, "dump", str(written))
                if dumped.returncode != 0 or redumped.returncode != 0:
                    failures.append(f"{source}: dump failed")
                    continue
                ours = ordered(json.loads(dumped.stdout))
                if json.loads(dumped.stdout) != json.loads(redumped.stdout):
                    failures.append(f"{source}: our reading of the written file differs")
                with open(written, "rb") as handle:
                    peer_written = canonical(plistlib.load(handle))
                if folder == "openstep":
                    difference = same(ours, peer_written)
                    if difference:
                        failures.append(f"{source}: plistlib reads the written file differently: {difference}")
                    continue
                with open(source, "rb") as handle:
                    peer_original = canonical(plistlib.load(handle))
                difference = same(peer_original, peer_written)
                if difference:
                    failures.append(f"{source}: plistlib reads the written file differently: {difference}")
                difference = same(peer_original, ours)
                if difference:
                    failures.append(f"{source}: our reading differs from plistlib's: {difference}")
        for source in sorted((corpus / "malformed").iterdir()):
            checked += 1
            result = run(tool, "check", str(source))
            if result.returncode != 1 or not result.stderr:
                failures.append(f"{source}: not refused cleanly (status {result.returncode})")
    for failure in failures:
        print("FAIL", failure)
    print(f"checked {checked} files, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
