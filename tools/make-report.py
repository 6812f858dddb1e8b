#!/usr/bin/env python3
"""Generates realistic DOS-style accounting / warehouse reports for benchmarks and tests.

make-report.py --size 10M --encoding cp866|cp1251 --out FILE [--seed N] [--width N] [--no-tags]

The output looks like what a DOS accounting program sends to a printer: Cyrillic headings,
box-drawn tables (CP866 frames, or + - = | in cp1251 mode), lines of 80 to 132 columns,
a form feed at the start of every 61st line, a few <B>..</B> tags and CR LF line ends.
--width N makes every table and heading exactly N columns wide (N >= 80): 80 columns hold six
columns of figures, 97 seven, wider tables eight with a wider name column. --no-tags leaves the
<B> tags out.
"""
import argparse
import random
import sys

PAGE_LINES = 60

ITEMS = [
    "Болт М8х40 оцинкованный", "Гайка М8 шестигранная", "Шайба пружинная 8",
    "Кабель ВВГ 3х2,5", "Провод ПВ-1 1,5 мм", "Лампа накаливания 60 Вт",
    "Краска ПФ-115 белая", "Растворитель 646", "Труба стальная 57х3,5",
    "Уголок 50х50х5", "Лист оцинкованный 0,7", "Цемент М-500 (мешок)",
    "Кирпич облицовочный", "Доска обрезная 50х150", "Фанера ФК 10 мм",
    "Электроды МР-3 д.3", "Перчатки х/б", "Бумага офисная А4",
    "Картридж лазерный", "Мыло хозяйственное", "Ведро оцинкованное 12 л",
    "Замок навесной ВС2", "Петля дверная ПН-110", "Саморез 4,2х76",
]
UNITS = ["шт", "кг", "м", "уп", "л", "компл", "т", "м2"]
STORES = ["Склад N 1 (центральный)", "Склад N 2 (стройматериалы)", "Склад N 3 (электротовары)"]
PEOPLE = ["Иванов И.И.", "Петрова А.С.", "Сидоренко В.П.", "Ёлкин Ф.Э.", "Щукина Ю.Я."]
NOTES = [
    "Примечание: остатки сверены с данными инвентаризации.",
    "Расхождений с бухгалтерским учётом не выявлено.",
    "Цены указаны в рублях с учётом НДС 20%.",
    "Подъёмные и транспортные расходы отнесены на счёт 44.",
]

# Frame alphabets: corners/tees/cross for (horizontal, vertical) weights.
# Keys: tl t tr l x r bl b br h v  (top-left, top tee, ... horizontal, vertical)
FRAMES_866 = {
    "single": dict(tl="┌", t="┬", tr="┐", l="├", x="┼", r="┤", bl="└", b="┴", br="┘", h="─", v="│"),
    "double": dict(tl="╔", t="╦", tr="╗", l="╠", x="╬", r="╣", bl="╚", b="╩", br="╝", h="═", v="║"),
    # double horizontals with single verticals
    "dh": dict(tl="╒", t="╤", tr="╕", l="╞", x="╪", r="╡", bl="╘", b="╧", br="╛", h="═", v="│"),
    # single horizontals with double verticals
    "dv": dict(tl="╓", t="╥", tr="╖", l="╟", x="╫", r="╢", bl="╙", b="╨", br="╜", h="─", v="║"),
}
FRAMES_ASCII = {
    "single": dict(tl="+", t="+", tr="+", l="+", x="+", r="+", bl="+", b="+", br="+", h="-", v="|"),
    "double": dict(tl="+", t="+", tr="+", l="+", x="+", r="+", bl="+", b="+", br="+", h="=", v="|"),
}


def parse_size(text):
    text = text.strip().upper()
    mult = 1
    if text.endswith("K"):
        mult, text = 1024, text[:-1]
    elif text.endswith("M"):
        mult, text = 1024 * 1024, text[:-1]
    elif text.endswith("G"):
        mult, text = 1024 * 1024 * 1024, text[:-1]
    return int(float(text) * mult)


def fit(text, width, right=False):
    text = text[:width]
    return text.rjust(width) if right else text.ljust(width)


# Column widths of the fixed-width tables: six columns make 80 characters with their frame,
# seven 97, eight 114; the name column takes what is left over.
FIXED_WIDTHS = [5, 26, 6, 10, 12, 14, 16, 16]


def fixed_widths(total):
    for count in (8, 7, 6):
        widths = FIXED_WIDTHS[:count]
        base = sum(widths) + count + 1
        if base <= total:
            widths = list(widths)
            widths[1] += total - base
            return widths
    raise SystemExit("--width must be 80 or more")


class Report:
    def __init__(self, rng, encoding, width=None, tags=True):
        self.rng = rng
        self.width = width
        self.tags = tags
        self.encoding = encoding
        self.box = FRAMES_866 if encoding == "cp866" else FRAMES_ASCII
        self.row = 0          # line index on the current page
        self.page = 1
        self.out = []

    def emit(self, text):
        # DOS programs start a new page by writing the FF at the start of the next line.
        if self.row == PAGE_LINES:
            self.row = 0
            self.page += 1
            text = "\f" + text
        self.out.append(text)
        self.row += 1

    def frame(self, outer, inner):
        """Mixed frames: the outer border style and the inner grid style may differ."""
        o = self.box.get(outer, self.box["single"])
        i = self.box.get(inner, self.box["single"])
        return o, i

    def rule(self, widths, left, mid, right, h):
        return left + mid.join(h * w for w in widths) + right

    def bold(self, text, chance):
        return "<B>" + text + "</B>" if self.tags and self.rng.random() < chance else text

    def table(self, heading):
        rng = self.rng
        wide = rng.random() < 0.4
        widths = [5, 40 if wide else 26, 6, 12 if wide else 10, 12, 16 if wide else 14] + ([16, 16] if wide else [])
        if self.width:
            widths = fixed_widths(self.width)
            wide = len(widths) > 6
        outer = rng.choice(list(self.box.keys()))
        inner = rng.choice(list(self.box.keys()))
        o, i = self.frame(outer, inner)
        cols = ["N п/п", "Наименование", "Ед.", "Кол-во", "Цена", "Сумма"] + (
            ["Остаток", "Поступило"] if wide else [])
        self.emit(self.bold(heading, 0.5))
        self.emit("")
        self.emit(self.rule(widths, o["tl"], o["t"], o["tr"], o["h"]))
        self.emit(o["v"] + i["v"].join(fit(c, w) for c, w in zip(cols, widths)) + o["v"])
        self.emit(self.rule(widths, o["l"], i["x"], o["r"], i["h"]))
        total = 0.0
        for n in range(1, rng.randint(8, 30)):
            qty = rng.randint(1, 5000)
            price = rng.randint(50, 500000) / 100.0
            amount = qty * price
            total += amount
            name = rng.choice(ITEMS)
            cells = [str(n), name, rng.choice(UNITS), str(qty), "%.2f" % price, "%.2f" % amount]
            if wide:
                cells += [str(rng.randint(0, 9999)), str(rng.randint(0, 999))]
            cells = cells[:len(widths)]
            right = [True, False, False, True, True, True, True, True]
            self.emit(o["v"] + i["v"].join(fit(c, w, r) for c, w, r in zip(cells, widths, right))
                      + o["v"])
            if rng.random() < 0.08:
                self.emit(self.rule(widths, o["l"], i["x"], o["r"], i["h"]))
        self.emit(self.rule(widths, o["bl"], o["b"], o["br"], o["h"]))
        line = "Итого по разделу:".ljust(40) + ("%.2f" % total).rjust(20)
        self.emit(self.bold(line, 0.3))
        self.emit("")

    def header(self):
        rng = self.rng
        width = self.width or rng.choice([80, 96, 132])
        title = "ВЕДОМОСТЬ ОСТАТКОВ МАТЕРИАЛЬНЫХ ЦЕННОСТЕЙ"
        self.emit(("<B>" + title.center(width).rstrip() + "</B>") if self.tags else
                  title.center(width).rstrip())
        self.emit(("за период с 01.%02d.1998 по 30.%02d.1998" % (self.page % 12 + 1,
                                                              self.page % 12 + 1)).center(width).rstrip())
        self.emit("")
        self.emit("Организация: АО \"Северный торговый дом\"".ljust(60) +
                  ("Лист %d" % self.page).rjust(width - 60))
        self.emit("Подразделение: " + rng.choice(STORES))
        self.emit("Материально ответственное лицо: " + rng.choice(PEOPLE))
        self.emit("")

    def footer(self):
        rng = self.rng
        self.emit(rng.choice(NOTES))
        chief = "Главный бухгалтер ____________ " + rng.choice(PEOPLE)
        keeper = "Кладовщик ____________ " + rng.choice(PEOPLE)
        if self.width and len(chief) + 6 + len(keeper) > self.width:
            self.emit(chief)
            self.emit(keeper)
        else:
            self.emit(chief + "      " + keeper)
        self.emit("")

    def encode(self):
        text = "\r\n".join(self.out) + "\r\n"
        self.out = []
        return text.encode(self.encoding, errors="replace")


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--size", required=True, help="approximate size: 500K, 10M, 1G")
    ap.add_argument("--encoding", choices=["cp866", "cp1251"], default="cp866")
    ap.add_argument("--out", required=True)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--width", type=int, help="every table and heading this many columns wide")
    ap.add_argument("--no-tags", action="store_true", help="no <B> tags")
    args = ap.parse_args()

    target = parse_size(args.size)
    rng = random.Random(args.seed)
    rep = Report(rng, args.encoding, args.width, not args.no_tags)
    written = 0
    with open(args.out, "wb") as f:
        while written < target:
            rep.header()
            for _ in range(rng.randint(1, 3)):
                rep.table(rng.choice(["Раздел 1. Металлоизделия", "Раздел 2. Электротовары",
                                      "Раздел 3. Стройматериалы", "Раздел 4. Хозяйственные товары"]))
            rep.footer()
            data = rep.encode()
            if written + len(data) > target:
                # End on a whole line near the requested size.
                cut = data.rfind(b"\r\n", 0, target - written)
                if cut >= 0:
                    data = data[:cut + 2]
                f.write(data)
                break
            f.write(data)
            written += len(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
