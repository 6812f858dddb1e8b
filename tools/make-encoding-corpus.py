#!/usr/bin/env python3
"""Builds the corpus that bench/detect_bench.cpp measures encoding detection on.

make-encoding-corpus.py --out DIR [--seed N]

Writes DIR/<encoding>-<kind>-<n>.txt in cp866, cp1251, koi8-r and utf-8: short pieces of 3 to
10 lines and long ones of 20 to 300 lines cut from generated reports (with box-drawn frames,
or with + - | frames), and hand-written texts (letters, notes, lists) in all four encodings.
"""
import argparse
import importlib.util
import os
import random

HERE = os.path.dirname(os.path.abspath(__file__))
_loader = importlib.util.spec_from_file_location("make_report", os.path.join(HERE, "make-report.py"))
make_report = importlib.util.module_from_spec(_loader)
_loader.loader.exec_module(make_report)

HAND = [
    "Уважаемый Иван Петрович!\nНаправляем Вам акт сверки взаиморасчётов за III квартал.\n"
    "Просим подписать и вернуть один экземпляр до 15 октября.\nС уважением, бухгалтерия.\n",
    "СПИСОК СОТРУДНИКОВ\n1. Иванов И.И. - кладовщик\n2. Петрова А.С. - бухгалтер\n"
    "3. Щукина Ю.Я. - экономист\n",
    "Примечание: счёт-фактура N 145 от 12.03.1998 оплачен частично.\nОстаток долга 1 250,00 руб.\n"
    "Ответственный: Сидоренко В.П.\n",
    "Итого по ведомости: 12 позиций на сумму 48 300,50 руб.\nВ том числе НДС 20%.\n"
    "Подпись ______________\n",
    "ПРИКАЗ N 17\nо проведении инвентаризации\nВ связи со сменой материально ответственного лица\n"
    "ПРИКАЗЫВАЮ:\n1. Провести инвентаризацию склада N 2.\n2. Назначить комиссию в составе:\n"
    "председатель - Ёлкин Ф.Э., члены - Щукина Ю.Я., Петрова А.С.\n",
    "Date: 01.12.98   Page 1\nTOTAL RUB 1200.00\nПринято: Иванов\n",
    "Товар отгружен.\nЖдём оплату.\nЭтот отчёт сформирован автоматически.\n",
]

ENCODINGS = ["cp866", "cp1251", "koi8-r", "utf-8"]


def report_lines(rng, frames):
    rep = make_report.Report(rng, "cp866" if frames else "cp1251")
    while len(rep.out) < 400:
        rep.header()
        rep.table("Раздел 1. Металлоизделия")
        rep.footer()
    lines = rep.out
    rep.out = []
    return lines


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--out", required=True)
    ap.add_argument("--seed", type=int, default=7)
    ap.add_argument("--count", type=int, default=150, help="pieces per kind and encoding")
    args = ap.parse_args()
    os.makedirs(args.out, exist_ok=True)
    rng = random.Random(args.seed)
    n = 0
    for enc in ENCODINGS:
        for kind in ["short-frames", "short-plain", "long-frames", "long-plain"]:
            for i in range(args.count):
                frames = kind.endswith("frames")
                lines = report_lines(rng, frames)
                size = rng.randint(3, 10) if kind.startswith("short") else rng.randint(20, 300)
                start = rng.randrange(0, max(1, len(lines) - size))
                text = "\r\n".join(lines[start:start + size]) + "\r\n"
                data = text.encode(enc, errors="replace")
                with open(os.path.join(args.out, "%s-%s-%d.txt" % (enc, kind, i)), "wb") as f:
                    f.write(data)
                n += 1
        for i, text in enumerate(HAND):
            with open(os.path.join(args.out, "%s-hand-%d.txt" % (enc, i)), "wb") as f:
                f.write(text.encode(enc))
            n += 1
    print("%d files in %s" % (n, args.out))


if __name__ == "__main__":
    main()
