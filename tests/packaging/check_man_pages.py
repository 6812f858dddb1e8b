#!/usr/bin/env python3
"""Keeps the manual pages true to the programs: every option that `--help` lists, and every
exit status it names, is in the program's manual page.

    check_man_pages.py SOURCE_DIR BUILD_DIR
"""
import os
import re
import subprocess
import sys

PROGRAMS = [  # (program in the build tree, its manual page)
    ("src/cli/folvek-print", "resources/man/folvek-print.1"),
    ("src/app/folvek", "resources/man/folvek.1"),
]


def help_text(program):
    env = dict(os.environ, LANG="C.UTF-8", QT_QPA_PLATFORM="offscreen")
    env.pop("LC_ALL", None)
    run = subprocess.run([program, "--help"], capture_output=True, text=True, env=env, timeout=60)
    if run.returncode != 0:
        raise SystemExit(f"{program} --help exited {run.returncode}: {run.stderr}")
    return run.stdout


def options_in_help(text):
    """The options the help's option lines begin with (and their other spellings on the line)."""
    found = set()
    for line in text.splitlines():
        m = re.match(r"\s{2}((?:[-/][\w-]*[\w](?:[ |][A-Z.]+)?(?:, |\|| )?)+)", line)
        if not m:
            continue
        for opt in re.findall(r"(?<![\w/-])(--?[A-Za-z][\w-]*|/[a-z])", m.group(1)):
            found.add(opt)
    return found


def exit_statuses_in_help(text):
    part = text.split("Exit status:", 1)
    if len(part) < 2:
        return set()
    return set(re.findall(r"^\s{2}(\d+)\s{2}", part[1], re.M))


def man_text(page):
    """The page's text as a reader sees it, near enough: escapes and fonts gone."""
    with open(page, encoding="utf-8") as f:
        src = f.read()
    src = src.replace("\\-", "-").replace("\\(aq", "'")
    src = re.sub(r"\\f[BIRP]", "", src)
    return src


def man_exit_statuses(src):
    part = re.split(r"^\.SH \"?EXIT STATUS\"?\s*$", src, flags=re.M)
    if len(part) < 2:
        return set()
    section = re.split(r"^\.SH ", part[1], flags=re.M)[0]
    return set(re.findall(r"^\.(?:B|IP|TP\n\.B) (\d+)\b", section, re.M)) | set(
        re.findall(r"^(\d+) ", section, re.M))


def main():
    source, build = sys.argv[1], sys.argv[2]
    problems = []
    for program, page in PROGRAMS:
        exe = os.path.join(build, program)
        if not os.path.exists(exe):
            print(f"skipped {program}: not built")
            continue
        text = help_text(exe)
        src = man_text(os.path.join(source, page))
        options = options_in_help(text)
        if len(options) < 3:
            problems.append(f"{program}: found only {sorted(options)} in --help")
        for opt in sorted(options):
            # An option stands on its own in the page: not as part of a longer one.
            if not re.search(r"(?<![\w-])" + re.escape(opt) + r"(?![\w-])", src):
                problems.append(f"{page}: no {opt} (listed by {program} --help)")
        man_codes = man_exit_statuses(src)
        for code in sorted(exit_statuses_in_help(text) | {"0"}):
            if code not in man_codes:
                problems.append(f"{page}: EXIT STATUS lacks {code}")
    for p in problems:
        print(p, file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
