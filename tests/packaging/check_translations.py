#!/usr/bin/env python3
"""Every message folvek-print says through its catalogue (tr, trN, and the values `need` asks
for) has a Russian translation, plural forms included, and the catalogue holds nothing else;
the English catalogue has the plural forms of every counted message.

    check_translations.py SOURCE_DIR
"""
import html
import re
import sys
import xml.etree.ElementTree as ET


def sources(root):
    text = "".join(open(f"{root}/src/cli/{name}", encoding="utf-8").read()
                   for name in ("main.cpp", "print_options.cpp"))
    said, counted = set(), set()
    for m in re.finditer(r'\b(tr|trN)\(\s*((?:"(?:[^"\\]|\\.)*"\s*)+)', text):
        s = "".join(re.findall(r'"((?:[^"\\]|\\.)*)"', m.group(2))).replace('\\"', '"')
        (counted if m.group(1) == "trN" else said).add(s)
    said |= set(re.findall(r'need\("([^"]*)"\)', text))
    return said, counted


def catalogue(path, context):
    found = {}
    for ctx in ET.parse(path).getroot().iter("context"):
        if ctx.findtext("name") != context:
            continue
        for msg in ctx.iter("message"):
            tr = msg.find("translation")
            forms = [f.text or "" for f in tr.iter("numerusform")] or [tr.text or ""]
            found[msg.findtext("source")] = forms
    return found


def main():
    root = sys.argv[1]
    said, counted = sources(root)
    if len(said) < 20:
        raise SystemExit(f"found only {len(said)} messages: the reader is stale")
    faults = []
    ru = catalogue(f"{root}/resources/translations/folvek-print_ru.ts", "folvek-print")
    en = catalogue(f"{root}/resources/translations/folvek-print_en.ts", "folvek-print")
    for s in sorted(said | counted):
        forms = ru.get(s)
        want = 3 if s in counted else 1
        if not forms or len(forms) != want or not all(forms):
            faults.append(f"folvek-print_ru.ts: no translation of {s!r} ({want} form(s))")
        elif s.count("%") != forms[0].count("%") and s in said:
            faults.append(f"folvek-print_ru.ts: {s!r} and its translation differ in arguments")
    for s in sorted(counted):
        if len(en.get(s, [])) != 2:
            faults.append(f"folvek-print_en.ts: no singular and plural of {s!r}")
    for s in sorted(set(ru) - said - counted):
        faults.append(f"folvek-print_ru.ts: {s!r} is said nowhere")
    for f in faults:
        print(f, file=sys.stderr)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
