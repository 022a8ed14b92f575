#!/usr/bin/env python3
"""Writes exchange files with tamrix-tool from archive descriptions and checks them with python3's own
plistlib: the container, the top-level layout, every record's shape, and the tree they hold, decoded here
independently of our reader. Then checks the tool's exit codes on files it must refuse.

usage: check_layout.py TAMRIX_TOOL DESCRIPTIONS_DIR WORK_DIR [FIXTURES_DIR]
"""
import json
import math
import os
import plistlib
import subprocess
import sys

CHAINS = {
    "TRKey": ["TRKey", "NSObject"],
    "TRDomainController": ["TRDomainController", "NSObject"],
    "NSMutableArray": ["NSMutableArray", "NSArray", "NSObject"],
    "NSMutableDictionary": ["NSMutableDictionary", "NSDictionary", "NSObject"],
    "NSDate": ["NSDate", "NSObject"],
}

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


class Archive:
    def __init__(self, data):
        self.top = plistlib.loads(data)
        self.objects = self.top["$objects"]

    def obj(self, uid):
        assert isinstance(uid, plistlib.UID), f"not a UID: {uid!r}"
        assert 0 <= uid.data < len(self.objects), f"UID {uid.data} out of range"
        return self.objects[uid.data]

    def class_name(self, record):
        cls = self.obj(record["$class"])
        name = cls["$classname"]
        check(set(cls) == {"$classname", "$classes"}, f"class record {cls}")
        check(cls["$classes"] == CHAINS.get(name), f"class chain of {name}: {cls['$classes']}")
        return name

    def value(self, uid):
        if uid.data == 0:
            return ("none",)
        o = self.obj(uid)
        if isinstance(o, dict):
            check(self.class_name(o) == "NSDate" and set(o) == {"NS.time", "$class"}, f"value record {o}")
            check(isinstance(o["NS.time"], float), "NS.time is a real")
            return ("date", o["NS.time"])
        check(o != "$null", "a $null text is never written")
        for kind, types in (("boolean", bool), ("integer", int), ("real", float), ("string", str), ("data", bytes)):
            if isinstance(o, types):
                return (kind, o)
        failures.append(f"unexpected leaf {o!r}")
        return ("?",)

    def key(self, uid, domain):
        record = self.obj(uid)
        check(self.class_name(record) == "TRKey", "a key record")
        check(set(record) == {"$0", "$1", "$2", "$class"}, f"key record members {sorted(record)}")
        check(self.value(record["$0"]) == ("string", domain), "every key carries its domain")
        name = self.value(record["$1"])
        ref = record["$2"]
        target = self.obj(ref) if ref.data else None
        if isinstance(target, dict) and self.class_name(target) in ("NSMutableArray", "NSMutableDictionary"):
            children = [self.key(u, domain) for u in target["NS.objects"]]
            if self.class_name(target) == "NSMutableArray":
                check(set(target) == {"NS.objects", "$class"}, "list record members")
                return (name, ("array", children))
            check(set(target) == {"NS.keys", "NS.objects", "$class"}, "dictionary record members")
            keys = [self.value(u) for u in target["NS.keys"]]
            check(all(k[0] == "string" for k in keys), "dictionary keys are texts")
            return (name, ("dict", sorted(zip([k[1] for k in keys], children))))
        return (name, self.value(ref))


def described(value, name):
    """The (name, contents) pair an archive description gives, in the form Archive.key() answers."""
    if set(value) == {"name", "node"}:
        given = value["name"]
        name = ("none",) if given is None else (("string", given) if isinstance(given, str) else ("integer", given))
        value = value["node"]
    (kind, payload), = value.items()
    if kind == "array":
        return (name, ("array", [described(v, ("integer", i)) for i, v in enumerate(payload)]))
    if kind == "dict":
        return (name, ("dict", sorted((k, described(v, ("string", k))) for k, v in payload.items())))
    if kind == "none":
        return (name, ("none",))
    if kind == "integer":
        return (name, ("integer", int(payload)))
    if kind in ("real", "date"):
        return (name, (kind, float(payload)))
    if kind == "data":
        return (name, ("data", bytes.fromhex(payload)))
    return (name, (kind, payload))


def same(a, b):
    if isinstance(a, float) and isinstance(b, float):
        return (math.isnan(a) and math.isnan(b)) or (a == b and math.copysign(1, a) == math.copysign(1, b))
    if isinstance(a, (list, tuple)) and isinstance(b, (list, tuple)):
        return len(a) == len(b) and all(same(x, y) for x, y in zip(a, b))
    return type(a) is type(b) and a == b


def check_file(tool, description_path, work):
    with open(description_path, encoding="utf-8") as f:
        description = json.load(f)
    is_list = "domains" in description
    out = os.path.join(work, os.path.basename(description_path) + (".tamdoms" if is_list else ".tamdom"))
    subprocess.run([tool, "archive", "write", description_path, out], check=True)
    with open(out, "rb") as f:
        data = f.read()
    check(data.startswith(b"bplist00"), f"{out}: a binary property list")
    archive = Archive(data)
    top = archive.top
    check(list(sorted(top)) == ["$archiver", "$objects", "$top", "$version"], f"top-level members {sorted(top)}")
    check(top["$archiver"] == "NSKeyedArchiver", "$archiver")
    check(top["$version"] == 100000 and type(top["$version"]) is int, "$version")
    check(set(top["$top"]) == {"root"} and isinstance(top["$top"]["root"], plistlib.UID), "$top is {root: UID}")
    check(archive.objects[0] == "$null", "$objects[0] is $null")
    class_names = [o["$classname"] for o in archive.objects if isinstance(o, dict) and "$classname" in o]
    check(len(class_names) == len(set(class_names)), "one class record per class")

    def domain(uid):
        record = archive.obj(uid)
        check(archive.class_name(record) == "TRDomainController", "a domain record")
        check(set(record) == {"$0", "$1", "$class"}, f"domain record members {sorted(record)}")
        name = archive.value(record["$0"])[1]
        return name, archive.key(record["$1"], name)

    root = archive.obj(top["$top"]["root"])
    if is_list:
        check(archive.class_name(root) == "NSMutableArray", "a list of domains is an NSMutableArray")
        got = [domain(u) for u in root["NS.objects"]]
        wanted = [(d["domain"], described(d["root"], ("none",))) for d in description["domains"]]
    else:
        got = [domain(top["$top"]["root"])]
        wanted = [(description["domain"], described(description["root"], ("none",)))]
    check(same(got, wanted), f"{out}: the tree differs from its description:\n{got}\n{wanted}")

    # Our own reader reads it back.
    result = subprocess.run([tool, "archive", "read", out], capture_output=True, check=True)
    dump = json.loads(result.stdout)
    check(dump["file"] == ("multi" if is_list else "single"), "dump kind")
    check(dump["checks"]["parent_links"] and dump["checks"]["domains_consistent"], "dump checks")


def check_exit_codes(tool, fixtures):
    refuse = os.path.join(fixtures, "must-refuse")
    for name, code in (("plist-root.tamdoms", 2), ("mixed-list.tamdoms", 2), ("not-an-archive.tamdom", 1),
                       ("unknown-class.tamdom", 1), ("null-key.tamdom", 1)):
        result = subprocess.run([tool, "archive", "read", os.path.join(refuse, name)], capture_output=True)
        check(result.returncode == code, f"{name}: exit {result.returncode}, expected {code}")
        check(result.stdout == b"" and result.stderr.strip() != b"", f"{name}: a message and no dump")
    result = subprocess.run([tool, "archive", "read", os.path.join(fixtures, "platform-written", "names.tamdom")],
                            capture_output=True)
    check(result.returncode == 0, "a sound file reads with exit 0")
    with open(os.path.join(fixtures, "platform-written", "names.json"), encoding="utf-8") as f:
        check(json.loads(result.stdout) == json.load(f), "tool dump of names.tamdom")


def main():
    tool, descriptions, work, fixtures = sys.argv[1:5]
    for folder in (descriptions, fixtures):
        if not os.path.isdir(folder):
            print(f"FAIL: missing test data: {folder}")
            return 1
    os.makedirs(work, exist_ok=True)
    for entry in sorted(os.listdir(descriptions)):
        if entry.endswith(".json"):
            check_file(tool, os.path.join(descriptions, entry), work)
    check_exit_codes(tool, fixtures)
    for failure in failures:
        print("FAIL:", failure)
    print(f"{len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
