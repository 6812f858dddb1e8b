#!/usr/bin/env python3
"""Wide reports on paper: the shipped samples and generated reports of 80, 97, 136 and 200
columns, with and without tags, portrait and landscape, through folvek-print and the CUPS
filter. With the fit every cell of every table row is in the PDF's text; without it the tools
warn exactly when lines are cut, with the number of lines that pass the sheet, and a report
they do not warn about has every cell on paper too.

fit_width_reports.py SOURCE_DIR FOLVEK_PRINT FOLVEKTOPDF
"""
import json
import os
import re
import subprocess
import sys
import tempfile

TAG = re.compile(r"</?[BIU]>")
VERTICAL = re.compile("[│║|]")
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)


def lines_of(path, encoding):
    text = open(path, "rb").read().decode(encoding)
    return [TAG.sub("", line).lstrip("\f") for line in re.split(r"\r?\n", text)]


def rows_missing(lines, pdf_text):
    """Table rows (lines with frame verticals) whose cells are not all, in order, on one line
    of the PDF's text."""
    out = pdf_text.splitlines()
    missing = 0
    for line in lines:
        if len(VERTICAL.findall(line)) < 3:
            continue
        cells = [c.strip() for c in VERTICAL.split(line) if c.strip()]
        pattern = re.compile(".*".join(re.escape(c) for c in cells))
        if not any(pattern.search(o) for o in out):
            missing += 1
    return missing


def pdf_text(pdf):
    return subprocess.run(["pdftotext", "-layout", pdf, "-"], capture_output=True, check=True,
                          text=True).stdout


def run_print(tool, report, args, pdf):
    r = subprocess.run([tool, "--info", "-o", pdf, *args, report], capture_output=True, text=True)
    check(r.returncode == 0, f"{report} {args}: exit {r.returncode}: {r.stderr}")
    return json.loads(r.stdout), [l for l in r.stderr.splitlines() if "WARNING:" in l]


def run_filter(filt, report, options, pdf):
    with open(pdf, "wb") as out:
        r = subprocess.run([filt, "1", "user", "title", "1", options, report], stdout=out,
                           stderr=subprocess.PIPE, text=True)
    check(r.returncode == 0, f"filter {report} {options}: exit {r.returncode}")
    return [l for l in r.stderr.splitlines() if l.startswith("WARNING:")]


def one_report(tool, report, encoding, orient, work):
    name = f"{os.path.basename(report)} {orient}"
    lines = lines_of(report, encoding)
    plain = os.path.join(work, "plain.pdf")
    info, warnings = run_print(tool, report, [orient], plain)
    # Lines wider than the columns that reach the paper: what the tool must count.
    cut = sum(1 for line in lines if len(line) > info["sheetColumns"])
    check(info["linesCut"] == cut, f"{name}: linesCut {info['linesCut']}, expected {cut}")
    check(info["widestLine"] == max(len(l) for l in lines), f"{name}: widestLine")
    missing = rows_missing(lines, pdf_text(plain))
    if cut:
        check(len(warnings) == 1 and f"WARNING: {cut} line" in warnings[0],
              f"{name}: warning {warnings} does not name {cut} lines")
        check(missing > 0, f"{name}: warned of cut lines, yet every row is on paper")
    else:
        check(not warnings, f"{name}: warning without cut lines: {warnings}")
        check(missing == 0, f"{name}: {missing} rows lose cells without a warning")

    fitted = os.path.join(work, "fit.pdf")
    info, warnings = run_print(tool, report, [orient, "--fit"], fitted)
    check(info["linesCut"] == 0 and not warnings, f"{name} --fit: still cut: {warnings}")
    check(rows_missing(lines, pdf_text(fitted)) == 0, f"{name} --fit: rows lose cells")
    check(info["landscape"] == (orient == "--landscape"), f"{name} --fit: orientation changed")
    return cut


def main():
    source, tool, filt = sys.argv[1:4]
    env_home = tempfile.mkdtemp(prefix="folvek-fit-")
    os.environ["FOLVEK_HOME"] = env_home  # no user settings
    with tempfile.TemporaryDirectory() as work:
        reports = [(os.path.join(source, "samples", "warehouse-866.prn"), "cp866"),
                   (os.path.join(source, "samples", "ledger-1251.txt"), "cp1251")]
        for width in (80, 97, 136, 200):
            for tags in (True, False):
                path = os.path.join(work, f"report-{width}{'' if tags else '-plain'}.prn")
                subprocess.run([sys.executable, os.path.join(source, "tools", "make-report.py"),
                                "--size", "6K", "--width", str(width), "--seed", str(width),
                                "--out", path] + ([] if tags else ["--no-tags"]), check=True)
                check(tags == (b"<B>" in open(path, "rb").read()), f"{path}: tags")
                reports.append((path, "cp866"))
        cut_somewhere = 0
        for report, encoding in reports:
            for orient in ("--portrait", "--landscape"):
                cut_somewhere += one_report(tool, report, encoding, orient, work)
        check(cut_somewhere > 0, "no report was cut without the fit")

        # The main job's settings: the shipped samples keep every column.
        ini = os.path.join(source, "samples", "samples.ini")
        for report, encoding in reports[:2]:
            pdf = os.path.join(work, "main-job.pdf")
            info, warnings = run_print(tool, report, ["--ini", ini], pdf)
            check(info["linesCut"] == 0 and not warnings, f"{report} with samples.ini: cut")
            check(rows_missing(lines_of(report, encoding), pdf_text(pdf)) == 0,
                  f"{report} with samples.ini: rows lose cells")

        # Without an orientation given, a report too wide for a readable portrait is turned.
        wide = os.path.join(work, "report-200.prn")
        info, _ = run_print(tool, wide, ["--fit"], os.path.join(work, "turned.pdf"))
        check(info["landscape"] and info["fitFontHeight"] * 72 >= 600,
              f"200 columns: not turned to landscape at a readable size: {info}")

        # The filter warns the same way, and folvek-fit fits.
        sample = reports[0][0]
        pdf = os.path.join(work, "filter.pdf")
        warnings = run_filter(filt, sample, "", pdf)
        check(len(warnings) == 1 and "folvek-fit" in warnings[0], f"filter: warning {warnings}")
        warnings = run_filter(filt, sample, "folvek-fit", pdf)
        check(not warnings, f"filter folvek-fit: {warnings}")
        check(rows_missing(lines_of(sample, "cp866"), pdf_text(pdf)) == 0,
              "filter folvek-fit: rows lose cells")
    for f in failures:
        print("FAIL:", f)
    print(f"{len(reports)} reports, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
