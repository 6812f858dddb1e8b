#!/usr/bin/env python3
"""folvek-print --tables read back by other programs: every cell of generated reports with
known tables (XLSX through openpyxl, ODS through its XML, CSV through the csv module), and
the shipped samples' table rows against the sample's own lines.

check_exports.py FOLVEK_PRINT SOURCE_DIR WORK_DIR
"""
import csv
import datetime
import json
import os
import re
import subprocess
import sys
import zipfile
import xml.etree.ElementTree as ET

try:
    import openpyxl
except ImportError:  # python3-openpyxl (tools/setup) is missing
    print("check_exports: python3-openpyxl is not installed")
    sys.exit(77)

failures = []


def check(cond, what):
    if not cond:
        failures.append(what)
    return cond


def run(tool, *args):
    r = subprocess.run([tool, *args], capture_output=True, text=True)
    check(r.returncode == 0, f"{' '.join(args)}: exit {r.returncode} {r.stderr}")


def same(expected, got, where):
    if expected is None:
        return check(got in (None, ""), f"{where}: covered cell holds {got!r}")
    if isinstance(expected, dict):
        want = datetime.datetime.fromisoformat(expected["date"])
        return check(got == want, f"{where}: date {want} != {got!r}")
    if isinstance(expected, (int, float)) and not isinstance(expected, bool):
        return check(isinstance(got, (int, float)) and abs(got - expected) < 1e-6,
                     f"{where}: number {expected} != {got!r}")
    return check(got == expected, f"{where}: text {expected!r} != {got!r}")


def check_xlsx(path, truth):
    wb = openpyxl.load_workbook(path)
    check(wb.sheetnames == [f"Таблица {k + 1}" for k in range(len(truth))],
          f"{path}: sheets {wb.sheetnames}")
    for ws, t in zip(wb.worksheets, truth):
        check(ws.max_row == len(t["rows"]), f"{ws.title}: {ws.max_row} rows, "
              f"want {len(t['rows'])}")
        check(sorted(str(m) for m in ws.merged_cells.ranges) == sorted(t["merges"]),
              f"{ws.title}: merges {ws.merged_cells.ranges}")
        for r, row in enumerate(t["rows"]):
            for c, want in enumerate(row):
                cell = ws.cell(row=r + 1, column=c + 1)
                if want is None:
                    continue  # openpyxl reads a merge's other cells as MergedCell
                same(want, cell.value, f"{ws.title}!{cell.coordinate}")
                fmt = t["formats"].get(f"{r},{c}")
                if isinstance(want, dict):
                    check(cell.number_format == "dd.mm.yyyy", f"{cell.coordinate}: date format")
                elif fmt:
                    check(cell.number_format == fmt,
                          f"{ws.title}!{cell.coordinate}: format {cell.number_format} != {fmt}")


NS = {"table": "urn:oasis:names:tc:opendocument:xmlns:table:1.0",
      "office": "urn:oasis:names:tc:opendocument:xmlns:office:1.0",
      "text": "urn:oasis:names:tc:opendocument:xmlns:text:1.0",
      "style": "urn:oasis:names:tc:opendocument:xmlns:style:1.0",
      "number": "urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0"}


def q(ns, tag):
    return "{" + NS[ns] + "}" + tag


def check_ods(path, truth):
    with zipfile.ZipFile(path) as z:
        check(z.namelist()[0] == "mimetype" and z.getinfo("mimetype").compress_type == 0,
              f"{path}: mimetype first and stored")
        check(z.read("mimetype") == b"application/vnd.oasis.opendocument.spreadsheet",
              f"{path}: mimetype")
        check(z.testzip() is None, f"{path}: CRC")
        root = ET.fromstring(z.read("content.xml"))
    # Each cell style's number format, as "#,##0.00" or "0.0" (the xlsx spelling).
    numbers = {}
    for ns in root.findall(".//number:number-style", NS):
        n = ns.find("number:number", NS)
        places = int(n.get(q("number", "decimal-places"), 0))
        whole = "#,##0" if n.get(q("number", "grouping")) == "true" else "0"
        numbers[ns.get(q("style", "name"))] = whole + ("." + "0" * places if places else "")
    cell_formats = {st.get(q("style", "name")): numbers.get(st.get(q("style", "data-style-name")))
                    for st in root.findall(".//style:style", NS)}
    sheets = root.findall(".//table:table", NS)
    check([s.get(q("table", "name")) for s in sheets] ==
          [f"Таблица {k + 1}" for k in range(len(truth))], f"{path}: sheet names")
    for sheet, t in zip(sheets, truth):
        rows = sheet.findall("table:table-row", NS)
        check(len(rows) == len(t["rows"]), f"ods {len(rows)} rows")
        merges = []
        for r, (xr, row) in enumerate(zip(rows, t["rows"])):
            cells = list(xr)
            for c, (xc, want) in enumerate(zip(cells, row)):
                span_c = int(xc.get(q("table", "number-columns-spanned"), 1))
                span_r = int(xc.get(q("table", "number-rows-spanned"), 1))
                if span_c > 1 or span_r > 1:
                    merges.append(f"{chr(65 + c)}{r + 1}:{chr(65 + c + span_c - 1)}{r + span_r}")
                kind = xc.get(q("office", "value-type"))
                if want is None:
                    check(xc.tag == q("table", "covered-table-cell"), f"ods {r},{c} covered")
                    continue
                if kind == "float":
                    got = float(xc.get(q("office", "value")))
                    fmt = t["formats"].get(f"{r},{c}")
                    shown = cell_formats.get(xc.get(q("table", "style-name")))
                    check(not fmt or shown == fmt, f"ods {r},{c}: format {shown} != {fmt}")
                elif kind == "date":
                    got = datetime.datetime.fromisoformat(xc.get(q("office", "date-value")))
                else:
                    got = "\n".join("".join(p.itertext()) for p in xc.findall("text:p", NS))
                same(want, got, f"ods {sheet.get(q('table', 'name'))} {r},{c}")
        check(sorted(merges) == sorted(t["merges"]), f"ods merges {merges}")


def check_csv(paths, truth):
    check(len(paths) == len(truth), f"csv files {paths}")
    for path, t in zip(paths, truth):
        with open(path, encoding="utf-8") as f:
            data = f.read()
        check(data.startswith("\ufeff"), f"{path}: byte-order mark")
        with open(path, encoding="utf-8-sig", newline="") as f:
            rows = list(csv.reader(f, delimiter=";"))
        check(len(rows) == len(t["rows"]), f"{path}: {len(rows)} rows")
        for r, (got, want) in enumerate(zip(rows, t["rows"])):
            for c, (g, w) in enumerate(zip(got, want)):
                if w is None:
                    check(g == "", f"{path} {r},{c}: covered holds {g!r}")
                elif isinstance(w, dict):
                    d = datetime.date.fromisoformat(w["date"])
                    check(g == d.strftime("%d.%m.%Y"), f"{path} {r},{c}: {g!r}")
                elif isinstance(w, (int, float)):
                    check(abs(float(g.replace(",", ".")) - w) < 1e-6, f"{path} {r},{c}: {g!r}")
                else:
                    check(g == w, f"{path} {r},{c}: {g!r} != {w!r}")


def sample_rows(path, encoding):
    """The body rows of every framed table in a sample, by splitting its lines at the bars: a
    table starts at a rule line, its body after the first rule that follows text."""
    rows, in_table, seen_text, body = [], False, False, False
    with open(path, encoding=encoding) as f:
        for line in f:
            s = re.sub(r"</?[BIU]>", "", line.rstrip("\r\n").replace("\x0c", "")).strip()
            if s[:1] in "┌╔╒╓├╠╞╟└╚╘╙+" and s:
                if not in_table:
                    in_table, seen_text, body = True, False, False
                elif seen_text:
                    body = True
            elif s[:1] in "│║|" and s and in_table:
                seen_text = True
                cells = [c.strip() for c in re.split("[│║|]", s)[1:-1]]
                if body and any(cells):
                    rows.append(cells)
            elif s:
                in_table = False
    return rows


def check_sample(tool, path, encoding, work):
    out = os.path.join(work, "sample.xlsx")
    run(tool, "--dos" if encoding == "cp866" else "--windows", path, "--tables", out)
    wb = openpyxl.load_workbook(out)
    got = []
    for ws in wb.worksheets:
        heading = max((r.max_row for r in ws.merged_cells.ranges), default=0)
        heading = max(heading, ws.freeze_panes and int(re.sub(r"\D", "", ws.freeze_panes)) - 1 or 0)
        for row in ws.iter_rows(min_row=heading + 1, values_only=True):
            got.append(row)
    want = sample_rows(path, encoding)
    check(len(got) == len(want), f"{path}: {len(got)} body rows, the lines hold {len(want)}")
    for k, (g, w) in enumerate(zip(got, want)):
        for c, (gv, wv) in enumerate(zip(g, w)):
            if isinstance(gv, (int, float)):
                ok = abs(gv - float(wv.replace(" ", "").replace(",", ".").strip("()"))) < 1e-6
            elif isinstance(gv, datetime.datetime):
                ok = gv.strftime("%d.%m.%Y") == wv or gv.strftime("%d.%m.%y") == wv
            else:
                ok = (gv or "") == wv
            check(ok, f"{path}: body row {k + 1} column {c + 1}: {gv!r} != {wv!r}")


def check_messages(tool, work):
    """What --tables says: no word of lines cut at the sheet's edge (it makes no pages), and
    its failures in Russian throughout, the system's reason too, in an English locale."""
    wide = os.path.join(work, "wide.prn")
    with open(wide, "wb") as f:
        f.write("\r\n".join(["┌────┬─────┐", "│Хлеб│12,50│", "└────┴─────┘", "x" * 300])
                .encode("cp866"))
    env = dict(os.environ, LANG="C.UTF-8", LC_ALL="C.UTF-8", LANGUAGE="")
    r = subprocess.run([tool, "--dos", wide, "--tables", os.path.join(work, "wide.csv")],
                       capture_output=True, text=True, env=env)
    check(r.returncode == 0 and "wider than the sheet" not in r.stderr,
          f"--tables alone: {r.returncode} {r.stderr!r}")
    r = subprocess.run([tool, "--dos", wide, "--tables", os.path.join(work, "wide.csv"), "-o",
                        os.path.join(work, "wide.pdf")], capture_output=True, text=True, env=env)
    check("wider than the sheet" in r.stderr, f"--tables with -o: {r.stderr!r}")
    r = subprocess.run([tool, "--dos", wide, "--tables",
                        os.path.join(work, "no-such-folder", "t.xlsx")],
                       capture_output=True, text=True, env=env)
    check(r.returncode != 0 and "Нет такого файла или каталога" in r.stderr,
          f"--tables failure: {r.returncode} {r.stderr!r}")


def main():
    tool, src, work = sys.argv[1:4]
    os.makedirs(work, exist_ok=True)
    gen = os.path.join(src, "tests", "tables", "make_table_report.py")
    for enc in ("cp866", "cp1251"):
        report = os.path.join(work, f"tables-{enc}.prn")
        truth_path = os.path.join(work, f"tables-{enc}.json")
        subprocess.run([sys.executable, gen, report, truth_path, "--encoding", enc, "--rows", "70"],
                       check=True)
        truth = json.load(open(truth_path, encoding="utf-8"))["tables"]
        flag = "--dos" if enc == "cp866" else "--windows"
        for ext in ("xlsx", "ods", "csv"):
            run(tool, flag, report, "--tables", os.path.join(work, f"out-{enc}.{ext}"))
        check_xlsx(os.path.join(work, f"out-{enc}.xlsx"), truth)
        check_ods(os.path.join(work, f"out-{enc}.ods"), truth)
        check_csv([os.path.join(work, f"out-{enc}-{k + 1}.csv") for k in range(len(truth))], truth)
    # A 1251 frame with the look-alike top corners (0xE3, 0xAC) of converted DOS frames.
    look = os.path.join(work, "lookalike.txt")
    with open(look, "wb") as f:
        f.write("Отчёт\r\nг=====+=====¬\r\n|Товар|Сумма|\r\n+-----+-----+\r\n"
                "|Хлеб |   12|\r\n|Сыр  | 1,50|\r\n+=====+=====+\r\n".encode("cp1251"))
    run(tool, "--windows", look, "--tables", os.path.join(work, "lookalike.csv"))
    with open(os.path.join(work, "lookalike-1.csv"), encoding="utf-8-sig") as f:
        got = f.read()
    check(got == "Товар;Сумма\nХлеб;12\nСыр;1,50\n", f"look-alike frame: {got!r}")
    check_sample(tool, os.path.join(src, "samples", "warehouse-866.prn"), "cp866", work)
    check_sample(tool, os.path.join(src, "samples", "ledger-1251.txt"), "cp1251", work)
    check_messages(tool, work)
    for f in failures[:40]:
        print("FAIL:", f)
    print(f"check_exports: {len(failures)} failure(s)")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
