#!/usr/bin/env python3
"""Writes a report with framed tables and, beside it, the cells a spreadsheet must get.

make_table_report.py OUT.prn OUT.json [--encoding cp866|cp1251] [--rows N] [--seed S]

cp866: a box-drawn ledger with a two-level heading (a cell two rows high, one two columns
wide), continued over form feeds with its heading repeated, then a second small table and a third of 28 columns.
cp1251: the same tables framed with + - = | as Windows programs print them.
The JSON holds per table: "heading" (rows of the heading), "rows" (every cell's expected
value: a number, {"date": "YYYY-MM-DD"}, a string, or null for a cell inside a merge),
"formats" (the number format of each numeric cell, by "row,col") and "merges" ("A1:A2").
"""
import argparse
import json
import random

NAMES = ["Болт М8х40", "Гайка М8", "Кабель ВВГ 3х2,5", "Краска ПФ-115", "Цемент М-500",
         "Доска 50х150", "Перчатки х/б", "Замок ВС2"]
W = [6, 20, 10, 14, 14, 12]  # №, name, code, debit, credit, date


def frame(enc):
    if enc == "cp866":
        return dict(tl="┌", t="┬", tr="┐", l="├", x="┼", r="┤", bl="└", b="┴", br="┘", h="─",
                    v="│")
    return dict(tl="+", t="+", tr="+", l="+", x="+", r="+", bl="+", b="+", br="+", h="-", v="|")


def rule(f, left, mid, right, widths, joins=None):
    parts = [f["h"] * w for w in widths]
    out = left
    for i, p in enumerate(parts):
        out += p
        if i < len(parts) - 1:
            out += (joins[i] if joins else mid)
    return out + right


def row(f, cells, widths, align):
    out = f["v"]
    for c, w, a in zip(cells, widths, align):
        out += (c.rjust(w) if a == "r" else c.ljust(w)) + f["v"]
    return out


def heading(f):
    # №(2 rows) | Наименование (2 rows) | Код (2 rows) | Сумма over Приход/Расход | Дата (2 rows)
    sumw = W[3] + 1 + W[4]
    top = rule(f, f["tl"], f["t"], f["tr"], [W[0], W[1], W[2], sumw, W[5]])
    l1 = f["v"] + " N п/п".ljust(W[0]) + f["v"] + "Наименование".ljust(W[1]) + f["v"] + \
        "Код".ljust(W[2]) + f["v"] + "Сумма, руб.".center(sumw) + f["v"] + "Дата".ljust(W[5]) + f["v"]
    mid = f["v"] + " " * W[0] + f["v"] + "товара".ljust(W[1]) + f["v"] + " " * W[2] + f["l"] + \
        f["h"] * W[3] + f["t"] + f["h"] * W[4] + f["r"] + " " * W[5] + f["v"]
    l3 = f["v"] + " " * W[0] + f["v"] + " " * W[1] + f["v"] + " " * W[2] + f["v"] + \
        "Приход".ljust(W[3]) + f["v"] + "Расход".ljust(W[4]) + f["v"] + " " * W[5] + f["v"]
    sep = rule(f, f["l"], f["x"], f["r"], W)
    return [top, l1, mid, l3, sep]


def money(rng, style):
    v = rng.randint(-99999999, 999999999) / 100
    if style == 0:  # 1 250,00 with group spaces
        s = f"{abs(v):,.2f}".replace(",", " ").replace(".", ",")
        s = "-" + s if v < 0 else s
    elif style == 1:  # 1250.00
        s = f"{v:.2f}"
    else:  # (15,50) for negatives
        s = f"{abs(v):.2f}".replace(".", ",")
        s = f"({s})" if v < 0 else s
    fmt = ("#,##0.00" if style == 0 and abs(v) >= 1000 else "0.00")
    return s, round(v, 2), fmt


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("out")
    ap.add_argument("truth")
    ap.add_argument("--encoding", default="cp866")
    ap.add_argument("--rows", type=int, default=70)
    ap.add_argument("--seed", type=int, default=7)
    a = ap.parse_args()
    rng = random.Random(a.seed)
    f = frame(a.encoding)
    lines = ["        ОБОРОТНАЯ ВЕДОМОСТЬ за март 1998", ""]
    head_cells = [["N п/п", "Наименование\nтовара", "Код", "Сумма, руб.", None, "Дата"],
                  [None, None, None, "Приход", "Расход", None]]
    rows = [r[:] for r in head_cells]
    formats = {}
    per_page = 25
    lines += heading(f)
    on_page = 0
    for i in range(1, a.rows + 1):
        if on_page == per_page:
            lines.append(rule(f, f["bl"], f["b"], f["br"], W))
            lines.append("\f" + "Лист " + str(i // per_page + 1))
            lines += heading(f)
            on_page = 0
        code = f"{rng.randint(0, 99999):06d}" if i % 3 else str(rng.randint(1000000000, 9999999999))
        d, m, y = rng.randint(1, 28), rng.randint(1, 12), rng.choice([1997, 1998, 2003])
        date = f"{d:02d}.{m:02d}." + (str(y) if i % 2 else f"{y % 100:02d}")
        s1, v1, f1 = money(rng, i % 3)
        s2, v2, f2 = money(rng, (i + 1) % 3)
        name = rng.choice(NAMES)
        lines.append(row(f, [str(i), " " + name, code, s1, s2, date], W,
                         ["r", "l", "l", "r", "r", "l"]))
        r = len(rows)
        formats[f"{r},3"] = f1
        formats[f"{r},4"] = f2
        formats[f"{r},0"] = "0"
        rows.append([i, name, code, v1, v2, {"date": f"{y:04d}-{m:02d}-{d:02d}"}])
        on_page += 1
    lines.append(rule(f, f["bl"], f["b"], f["br"], W))
    lines.append("Итого строк: " + str(a.rows) + "   1 - 2 = -1")
    lines.append("")
    w2 = [10, 12]
    lines.append(rule(f, f["tl"], f["t"], f["tr"], w2))
    lines.append(row(f, ["Счёт", "Остаток"], w2, "ll"))
    lines.append(rule(f, f["l"], f["x"], f["r"], w2))
    lines.append(row(f, ["41", "-15,5"], w2, "lr"))
    lines.append(row(f, ["0041", "1 000"], w2, "lr"))
    lines.append(rule(f, f["bl"], f["b"], f["br"], w2))
    second = {"heading": 1, "rows": [["Счёт", "Остаток"], [41, -15.5], ["0041", 1000]],
              "formats": {"1,0": "0", "1,1": "0.0", "2,1": "#,##0"}, "merges": []}
    # A third table wider than the alphabet: spreadsheet columns AA and AB.
    lines.append("")
    w3 = [3] * 28
    top3 = ["к" + str(k + 1) for k in range(28)]
    lines.append(rule(f, f["tl"], f["t"], f["tr"], w3))
    lines.append(row(f, top3, w3, "l" * 28))
    lines.append(rule(f, f["l"], f["x"], f["r"], w3))
    lines.append(row(f, [str(10 * (k + 1)) for k in range(28)], w3, "r" * 28))
    lines.append(rule(f, f["bl"], f["b"], f["br"], w3))
    third = {"heading": 1, "rows": [top3, [10 * (k + 1) for k in range(28)]],
             "formats": {f"1,{k}": "0" for k in range(28)}, "merges": []}
    first = {"heading": 2, "rows": rows, "formats": formats,
             "merges": ["A1:A2", "B1:B2", "C1:C2", "D1:E1", "F1:F2"]}
    with open(a.out, "wb") as out:
        out.write("\r\n".join(lines).encode(a.encoding) + b"\r\n")
    with open(a.truth, "w", encoding="utf-8") as out:
        json.dump({"tables": [first, second, third]}, out, ensure_ascii=False, indent=1)


if __name__ == "__main__":
    main()
