#!/usr/bin/python3
"""Lists an .xls workbook as xlrd (an independent reader) sees it, in the
line format of `nuv xls dump` (xlrd does not tell formulas from values, so
their results are listed as plain values)."""
import sys

import xlrd


def escape(text):
    return (text.replace("\\", "\\\\").replace("\t", "\\t")
            .replace("\n", "\\n").replace("\r", "\\r"))


def number(value):
    """Python's shortest form without a trailing ".0", as `nuv xls dump`
    writes numbers."""
    text = repr(value)
    return text[:-2] if text.endswith(".0") else text


def main(path):
    book = xlrd.open_workbook(path, formatting_info=True)
    out = []
    for sheet in book.sheets():
        name = escape(sheet.name)
        out.append("%s\t\t\tsheet\t" % name)
        for r in range(sheet.nrows):
            for c in range(sheet.ncols):
                cell = sheet.cell(r, c)
                place = "%s\t%d\t%d\t" % (name, r + 1, c + 1)
                if cell.ctype == xlrd.XL_CELL_TEXT:
                    out.append(place + "text\t" + escape(cell.value))
                elif cell.ctype == xlrd.XL_CELL_NUMBER:
                    out.append(place + "number\t" + number(cell.value))
                elif cell.ctype == xlrd.XL_CELL_BOOLEAN:
                    out.append(place + "bool\t" + ("TRUE" if cell.value else "FALSE"))
                elif cell.ctype == xlrd.XL_CELL_ERROR:
                    out.append(place + "error\t" + xlrd.error_text_from_code[cell.value])
                background = book.xf_list[cell.xf_index].background
                if background.fill_pattern:
                    colour = background.pattern_colour_index
                    out.append(place + "fill\t%d" % (colour - 7 if colour >= 8 else colour + 1))
    sys.stdout.write("".join(line + "\n" for line in out))


if __name__ == "__main__":
    main(sys.argv[1])
