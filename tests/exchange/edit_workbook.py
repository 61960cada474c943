#!/usr/bin/python3
"""Copies an .xls workbook cell by cell with xlrd and xlwt (an independent
reader and writer), the way a person's edits would come back: the values of
numbers and texts are kept, and the cells given as SHEET:ROW:COLUMN=VALUE
(rows and columns from 1) get VALUE, a number when it starts with '#', else
a text."""
import sys

import xlrd
import xlwt


def main(source, target, edits):
    changes = {}
    for edit in edits:
        place, value = edit.split("=", 1)
        sheet, row, column = place.rsplit(":", 2)
        changes[(sheet, int(row) - 1, int(column) - 1)] = value
    book = xlrd.open_workbook(source)
    out = xlwt.Workbook(encoding="utf-8")
    for sheet in book.sheets():
        copy = out.add_sheet(sheet.name, cell_overwrite_ok=True)
        for r in range(sheet.nrows):
            for c in range(sheet.ncols):
                cell = sheet.cell(r, c)
                if cell.ctype in (xlrd.XL_CELL_TEXT, xlrd.XL_CELL_NUMBER):
                    copy.write(r, c, cell.value)
        for (name, r, c), value in changes.items():
            if name == sheet.name:
                copy.write(r, c, int(value[1:]) if value.startswith("#") else value)
    out.save(target)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2], sys.argv[3:])
