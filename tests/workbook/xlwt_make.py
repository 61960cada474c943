#!/usr/bin/python3
"""Writes a workbook with xlwt (an independent writer): numbers, texts in
several scripts, a long text, booleans, errors, formulas and fills, on three
sheets."""
import sys

import xlwt


def main(path):
    book = xlwt.Workbook(encoding="utf-8")
    yellow = xlwt.easyxf("pattern: pattern solid, fore_colour yellow")
    red = xlwt.easyxf("pattern: pattern solid, fore_colour red")
    program = book.add_sheet("Program")
    program.write(0, 0, "*Channels", yellow)
    program.write(0, 1, "", yellow)
    program.write(1, 0, "Канал 1")
    program.write(1, 1, 12)
    program.write(1, 2, -3.75)
    program.write(2, 0, "日本語のチャンネル")
    program.write(2, 1, 1e20)
    program.write(2, 2, True)
    program.write(3, 0, xlwt.Formula("B2*2"))
    program.write(3, 1, xlwt.Formula('"ab"&"cd"'))
    program.write(3, 3, None, red)
    keys = book.add_sheet("IR_FP_Key")
    keys.write(0, 0, "x" * 300 + "ü" * 200)
    keys.write(0, 1, "Ω" * 4000)
    for i in range(2000):
        keys.write(1 + i // 20, i % 20, "v%d" % (i * 31) if i % 2 else i * 0.5)
    book.add_sheet("Empty")
    book.save(path)


if __name__ == "__main__":
    main(sys.argv[1])
