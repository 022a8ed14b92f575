#!/usr/bin/env python3
"""Keeps the translation tables in step with the texts the code uses.

Every user-visible text is looked up with its English text as the key, in the one context "Tamrix":
  trText("...")                       C++ call sites (adjacent literals are joined as the compiler does)
  QT_TRANSLATE_NOOP("Tamrix", "...")  texts kept in tables and looked up later
  <string> in a Designer form         the form compiler calls trFormText(); notr="true" opts out

  tr-texts.py update TS...   adds new texts as unfinished, drops texts no longer used
  tr-texts.py check TS...    fails when a used text has no finished translation, or a translation
                             drops or changes a %@ / %d / %C slot (numbered slots %1$@ count as their kind)
"""

import re
import sys
import xml.etree.ElementTree as ET
from pathlib import Path

CONTEXT = "Tamrix"
ROOT = Path(__file__).resolve().parent.parent
SOURCE_DIRS = ["model", "domains", "editors", "app", "ui", "tools"]
SOURCE_FILES = ["main.cpp"]

CALL = re.compile(r'\b(?:trText\s*\(|QT_TRANSLATE_NOOP\s*\(\s*"Tamrix"\s*,)\s*')
LITERAL = re.compile(r'(?:u8)?"((?:[^"\\\n]|\\.)*)"\s*')
ESCAPES = {"n": "\n", "t": "\t", '"': '"', "\\": "\\", "'": "'", "r": "\r", "0": "\0"}
SLOT = re.compile(r"%(?:(\d+)\$)?([@dC%])")


def unescape(text):
    return re.sub(r"\\(?:u([0-9a-fA-F]{4})|U([0-9a-fA-F]{8})|x([0-9a-fA-F]{2})|(.))",
                  lambda m: chr(int(m.group(1) or m.group(2) or m.group(3), 16)) if not m.group(4)
                  else ESCAPES.get(m.group(4), m.group(4)), text)


def source_texts():
    texts = {}
    files = [ROOT / f for f in SOURCE_FILES]
    for folder in SOURCE_DIRS:
        files += sorted((ROOT / folder).rglob("*.cpp")) + sorted((ROOT / folder).rglob("*.h"))
    for path in files:
        code = path.read_text(encoding="utf-8")
        for call in CALL.finditer(code):
            position, parts = call.end(), []
            while (literal := LITERAL.match(code, position)):
                parts.append(unescape(literal.group(1)))
                position = literal.end()
            if parts:
                texts.setdefault("".join(parts), f"{path.relative_to(ROOT)}:{code.count(chr(10), 0, call.start()) + 1}")
    for form in sorted((ROOT / "ui").rglob("*.ui")):
        for string in ET.parse(form).iter("string"):
            if string.get("notr") != "true" and string.text:
                texts.setdefault(string.text, str(form.relative_to(ROOT)))
    return texts


def slots(text):
    kinds = [m.group(2) for m in SLOT.finditer(text) if m.group(2) != "%"]
    return sorted(kinds)


def load(ts_path):
    tree = ET.parse(ts_path)
    context = next((c for c in tree.getroot().iter("context") if c.findtext("name") == CONTEXT), None)
    if context is None:
        context = ET.SubElement(tree.getroot(), "context")
        ET.SubElement(context, "name").text = CONTEXT
    return tree, context


def update(ts_path, texts):
    tree, context = load(ts_path)
    known = {}
    for message in context.findall("message"):
        known[message.findtext("source")] = message
    for source, where in texts.items():
        if source not in known:
            message = ET.SubElement(context, "message")
            ET.SubElement(message, "location", filename=where.split(":")[0])
            ET.SubElement(message, "source").text = source
            ET.SubElement(message, "translation", type="unfinished")
            print(f"{ts_path}: new text from {where}: {source!r}")
    for source, message in known.items():
        if source not in texts:
            context.remove(message)
            print(f"{ts_path}: text no longer used: {source!r}")
    ET.indent(tree, space="    ")
    with open(ts_path, "w", encoding="utf-8") as out:
        out.write('<?xml version="1.0" encoding="utf-8"?>\n<!DOCTYPE TS>\n')
        out.write(ET.tostring(tree.getroot(), encoding="unicode"))
        out.write("\n")


def check(ts_path, texts):
    _, context = load(ts_path)
    faults = []
    translations = {}
    for message in context.findall("message"):
        source = message.findtext("source")
        translation = message.find("translation")
        translations[source] = translation
        if translation.get("type") in ("vanished", "obsolete"):
            continue
        if translation.get("type") == "unfinished" or not translation.text:
            faults.append(f"unfinished translation: {source!r}")
        elif slots(source) != slots(translation.text):
            faults.append(f"slots differ: {source!r} -> {translation.text!r}")
        elif SLOT.search(translation.text) and any(
                m.group(1) and int(m.group(1)) > len(slots(source)) for m in SLOT.finditer(translation.text)):
            faults.append(f"numbered slot out of range: {translation.text!r}")
        if CONTEXT in source and CONTEXT not in (translation.text or ""):
            faults.append(f"the name {CONTEXT} is translated: {source!r}")
    for source, where in texts.items():
        translation = translations.get(source)
        if translation is None or translation.get("type") in ("vanished", "obsolete"):
            faults.append(f"{where}: no translation: {source!r}")
    for fault in faults:
        print(f"{ts_path}: {fault}")
    return not faults


def main(arguments):
    if len(arguments) < 2 or arguments[0] not in ("update", "check"):
        print(__doc__)
        return 2
    texts = source_texts()
    ok = True
    for ts in arguments[1:]:
        if arguments[0] == "update":
            update(ts, texts)
        else:
            ok = check(ts, texts) and ok
    if arguments[0] == "check":
        print(f"{len(texts)} texts checked" + ("" if ok else ": FAILED"))
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
