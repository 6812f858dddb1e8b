#!/usr/bin/env python3
"""Keeps the user's guide (resources/help) true to the program.

Reads the sources for what the help must name, so the check follows them as they change:
  - every menu command and submenu of the command table (its text as the menu shows it);
  - every key of the settings file, read or written;
  - every command-line option of folvek and folvek-print, and every job option of the CUPS
    filter;
  - the page of every help topic the program opens.
Then the pages themselves: every link and picture between them resolves (anchors included),
every page is reachable from the contents, every page uses the one stylesheet, and every
picture in images/ is shown somewhere.

  check_help.py [SOURCE_ROOT]      (default: the tree this script is in)
Exit status 0 when all holds, 1 with every fault on stderr otherwise.
"""
import html
import html.parser
import os
import re
import sys
from urllib.parse import unquote, urlsplit


class Page(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.ids = set()
        self.links = []  # (kind, target)
        self.pictures = []  # (src, width, height) as the page gives them
        self.stylesheets = []
        self.text = []
        self.cells = []  # the text of each table cell
        self.keys = []  # the text of each <kbd>
        self._skip = 0
        self._cell = None
        self._key = None

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if "id" in a:
            self.ids.add(a["id"])
        if tag == "a" and "name" in a:
            self.ids.add(a["name"])
        if tag == "a" and a.get("href"):
            self.links.append(("link", a["href"]))
        if tag == "img":
            self.links.append(("picture", a.get("src") or ""))
            self.pictures.append((a.get("src") or "", a.get("width"), a.get("height")))
        if tag == "link" and a.get("rel") == "stylesheet":
            self.stylesheets.append(a.get("href") or "")
        if tag in ("script", "style"):
            self._skip += 1
        if tag in ("td", "th"):
            self._cell = []
        if tag == "kbd":
            self._key = []

    def handle_endtag(self, tag):
        if tag in ("script", "style") and self._skip:
            self._skip -= 1
        if tag == "kbd" and self._key is not None:
            self.keys.append("".join(self._key).replace(" ", ""))
            self._key = None
        if tag in ("td", "th") and self._cell is not None:
            self.cells.append(normalise("".join(self._cell)))
            self._cell = None

    def handle_data(self, data):
        if not self._skip:
            self.text.append(data)
            if self._cell is not None:
                self._cell.append(data)
            if self._key is not None:
                self._key.append(data)


def normalise(text):
    return re.sub(r"\s+", " ", text).strip()


def read(root, path):
    with open(os.path.join(root, path), encoding="utf-8") as f:
        return f.read()


def menu_texts(root):
    """The command table's menu texts (before the tab that starts the key), submenus, menus."""
    src = read(root, "src/app/command_table.cpp")
    texts = set()
    for m in re.finditer(r'\{\s*Cm\w+\s*,\s*"((?:[^"\\]|\\.)*)"\s*\}', src):
        texts.add(m.group(1).split("\\t")[0].strip())
    for m in re.finditer(r'\{\s*-1\s*,\s*"((?:[^"\\]|\\.)*)"', src):
        texts.add(m.group(1).strip())
    menu_bar = src[src.find("menuBarSpec"):]
    for m in re.finditer(r'^\s*\{"((?:[^"\\]|\\.)*)",\s*$', menu_bar, re.M):
        texts.add(m.group(1).strip())
    for m in re.finditer(r'\{"((?:[^"\\]|\\.)*)",\s*\{\{', menu_bar):
        texts.add(m.group(1).strip())
    if len(texts) < 30:
        raise SystemExit(f"command_table.cpp: found only {len(texts)} menu texts; the reader is stale")
    return texts


def menu_keys(root):
    """The keys the menu shows after its texts ("F3", "Ctrl+F9"), blanks dropped; the grey plus
    and minus are described in words, so keys ending in a sign are left to the reader."""
    src = read(root, "src/app/command_table.cpp")
    keys = set()
    for m in re.finditer(r'\{\s*Cm\w+\s*,\s*"(?:[^"\\]|\\.)*?\\t((?:[^"\\]|\\.)*)"\s*\}', src):
        key = m.group(1).replace(" ", "")
        if key and key[-1] not in "+-":
            keys.add(key)
    if len(keys) < 15:
        raise SystemExit(f"command_table.cpp: found only {len(keys)} menu keys; the reader is stale")
    return keys


def settings_keys(root):
    src = read(root, "src/document/settings/profile.cpp")
    keys = set(re.findall(r'\br\.(?:text|number|byte|yes|notNo|real)\("(\w+)"', src))
    keys |= set(re.findall(r'ini\.set\(kSection,\s*"(\w+)"', src))
    if len(keys) < 25:
        raise SystemExit(f"profile.cpp: found only {len(keys)} settings keys; the reader is stale")
    return keys


def print_options(root):
    src = read(root, "src/cli/print_options.cpp")
    parser = src[src.find("parsePrintOptions"):src.find("printUsage")]
    options = set(re.findall(r'arg == "(-[\w-]+)"', parser))
    if len(options) < 20:
        raise SystemExit(f"print_options.cpp: found only {len(options)} options; the reader is stale")
    return options


def viewer_options(root):
    src = read(root, "src/shell/command_line.cpp")
    body = src[src.find("parseCommandLine("):]
    letters = set(re.findall(r"case '(\w)':", body))
    if len(letters) < 7:
        raise SystemExit(f"command_line.cpp: found only {len(letters)} options; the reader is stale")
    return {"/" + c for c in letters}


def filter_options(root):
    src = read(root, "src/cli/cups/cups_job.cpp")
    body = src[src.find("readJobOptions("):]
    names = set(re.findall(r'name == "([\w-]+)"', body))
    names |= set(re.findall(r'"(page-(?:left|right|top|bottom))"', body))
    return names


def help_topic_pages(root):
    src = read(root, "src/dialogs/help_viewer.cpp")
    return set(re.findall(r'"([\w-]+\.html(?:#[\w-]+)?)"', src))


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(
        os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    help_dir = os.path.join(root, "resources", "help")
    faults = []

    pages = {}
    for name in sorted(os.listdir(help_dir)):
        if name.endswith(".html"):
            p = Page()
            p.feed(read(help_dir, name))
            pages[name] = p
    if "index.html" not in pages:
        print("resources/help/index.html is missing", file=sys.stderr)
        return 1
    text = normalise(" ".join(" ".join(p.text) for p in pages.values()))
    code_words = set(re.findall(r"[\w/.-]+", text))

    # A menu text counts where the help names it as such: a table cell of its own, or in
    # quotation marks in the running text ("Печать" inside "Печать ..." does not count).
    named = set(re.findall(r"«([^»]+)»", text))
    for p in pages.values():
        named.update(p.cells)
    for t in sorted(menu_texts(root)):
        if normalise(t) not in named:
            faults.append(f'menu command "{t}" is not named in the help')
    shown_keys = {k for p in pages.values() for k in p.keys}
    for k in sorted(menu_keys(root)):
        if k not in shown_keys:
            faults.append(f"menu key {k} is shown in no <kbd> of the help")
    for k in sorted(settings_keys(root)):
        if k not in code_words:
            faults.append(f"settings key {k} is not in the help")
    for o in sorted(print_options(root)):
        if o not in code_words:
            faults.append(f"folvek-print option {o} is not in the help")
    for o in sorted(viewer_options(root)):
        # "/iФАЙЛ", "/mN": the letter may be followed by its value's placeholder.
        if not re.search(re.escape(o) + r"(?![a-z])", text, re.I):
            faults.append(f"folvek option {o} is not in the help")
    lower_words = {w.lower() for w in code_words}
    for o in sorted(filter_options(root)):
        if o not in lower_words:  # CUPS compares option names without regard to case
            faults.append(f"CUPS filter option {o} is not in the help")

    def resolve(source, target, kind):
        parts = urlsplit(target)
        if parts.scheme or target.startswith("//"):
            return  # addresses outside the help are not checked
        path = unquote(parts.path) or source
        full = os.path.normpath(os.path.join(help_dir, os.path.dirname(source), path))
        rel = os.path.relpath(full, help_dir)
        if rel.startswith(".."):
            faults.append(f"{source}: {kind} {target} leaves the help directory")
        elif not os.path.isfile(full):
            faults.append(f"{source}: {kind} {target} does not exist")
        elif parts.fragment and rel in pages and parts.fragment not in pages[rel].ids:
            faults.append(f"{source}: {kind} {target}: no anchor #{parts.fragment}")
        return rel

    used_pictures = set()
    linked = {"index.html"}
    for name, p in pages.items():
        if p.stylesheets != ["help.css"]:
            faults.append(f"{name}: uses {p.stylesheets or 'no stylesheet'}, not help.css alone")
        for kind, target in p.links:
            rel = resolve(name, target, kind)
            if rel and kind == "picture":
                used_pictures.add(rel)
            elif rel and rel.endswith(".html"):
                linked.add(rel)
    for page in sorted(help_topic_pages(root)):
        resolve("index.html", page, "the program's help topic")

    # Every page is reachable from the contents.
    reach, todo = set(), ["index.html"]
    while todo:
        n = todo.pop()
        if n in reach or n not in pages:
            continue
        reach.add(n)
        for kind, target in pages[n].links:
            parts = urlsplit(target)
            if kind == "link" and not parts.scheme and parts.path.endswith(".html"):
                todo.append(os.path.normpath(os.path.join(os.path.dirname(n), parts.path)))
    for name in sorted(set(pages) - reach):
        faults.append(f"{name} cannot be reached from index.html")

    # A picture remade at another size must not be drawn squeezed to the old one.
    for name, p in pages.items():
        for src, width, height in p.pictures:
            full = os.path.normpath(os.path.join(help_dir, os.path.dirname(name), src))
            if not (src.endswith(".png") and os.path.isfile(full) and (width or height)):
                continue
            with open(full, "rb") as f:
                head = f.read(24)
            real = (int.from_bytes(head[16:20], "big"), int.from_bytes(head[20:24], "big"))
            if (width, height) != (str(real[0]), str(real[1])):
                faults.append(f"{name}: {src} is {real[0]}x{real[1]}, the page says {width}x{height}")

    images = os.path.join(help_dir, "images")
    if os.path.isdir(images):
        for name in sorted(os.listdir(images)):
            if os.path.join("images", name) not in used_pictures:
                faults.append(f"images/{name} is shown on no page")

    for f in faults:
        print(f, file=sys.stderr)
    if not faults:
        print(f"help: {len(pages)} pages, {len(used_pictures)} pictures, all names and links hold")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
