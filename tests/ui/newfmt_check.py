#!/usr/bin/env python3
"""Workbook edits and new-image checks for the New Format UI scripts.

    python3 newfmt_check.py edit WORKBOOK SHEET:ROWNAME=VALUE... SHEET:ROW:COLUMN=VALUE...
        reads WORKBOOK with xlrd and writes it again with xlwt, as a person's
        edits would come back, with column B of the row whose column A is
        ROWNAME (on SHEET), or the cell at ROW and COLUMN (from 1), set to
        VALUE (a number when it reads as one, else a text).
    python3 newfmt_check.py block IMAGE NAME OUT
        writes the bytes of block NAME of IMAGE, as its entry places them, to OUT.
    python3 newfmt_check.py check SOURCE OUTPUT WORKBOOK STEP...
        computes the new image from SOURCE on its own and compares it with
        OUTPUT byte by byte; prints one line, exit 0 when equal.

A model of its own, written from the description of the image format and
of Save New Flash, not from the tool's code. The "preset" block stays as it
was in SOURCE when the "Program" sheet of WORKBOOK (read with xlrd) still
shows SOURCE's preset table as the export placed it. Otherwise its packed
bytes are the one thing taken from OUTPUT: they are decoded with an LZMA
reader and must hold the sheet as a preset table.

Steps (numbers decimal or 0x hexadecimal):
  bits:NAME:BYTE:BIT:LEN:VALUE   a bit field of block NAME, from byte BYTE;
                                 VALUE @SHEET:ROW is the number in column B
                                 of that row of WORKBOOK: a cell holds a
                                 double, so the field keeps its value in
                                 SOURCE while the cell holds that value's
                                 double, else it is the number truncated
  file:NAME:FILE                 block NAME's data becomes FILE's bytes
"""
import lzma
import struct
import sys
import zlib

MAGIC = b"*^_^*DM(^o^)"
NCRC = 0x4352434E


def number(text):
    return int(text, 0)


def edit(path, changes):
    import xlrd
    import xlwt

    def write(sheet, row, column, value):
        try:
            sheet.write(row, column, float(number(value)))
        except ValueError:
            sheet.write(row, column, value)

    book = xlrd.open_workbook(path)
    out = xlwt.Workbook(encoding="utf-8")
    by_name, by_place = {}, {}
    for change in changes:
        where, value = change.split("=", 1)
        sheet, row = where.split(":", 1)
        place = row.split(":")
        if len(place) == 2 and all(p.isdigit() for p in place):
            by_place[(sheet, int(place[0]) - 1, int(place[1]) - 1)] = value
        else:
            by_name[(sheet, row)] = value
    done = set()
    for sheet in book.sheets():
        target = out.add_sheet(sheet.name, cell_overwrite_ok=True)
        for r in range(sheet.nrows):
            for c in range(sheet.ncols):
                cell = sheet.cell(r, c)
                if cell.ctype not in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK):
                    target.write(r, c, cell.value)
            key = (sheet.name, sheet.cell_value(r, 0) if sheet.ncols else "")
            if key in by_name:
                write(target, r, 1, by_name[key])
                done.add(key)
        for (name, r, c), value in by_place.items():
            if name == sheet.name:
                write(target, r, c, value)
    missing = set(by_name) - done
    if missing:
        raise SystemExit("no such rows: %s" % sorted(missing))
    out.save(path)


class Record:
    def __init__(self, data, header, bank, at):
        self.entry = bytearray(data[at:at + 48])
        self.header = header
        self.bank = bank
        self.data = bytes(data[header + self.offset:header + self.offset + self.size])

    def word(self, at):
        return struct.unpack_from("<I", self.entry, at)[0]

    def set_word(self, at, value):
        struct.pack_into("<I", self.entry, at, value & 0xFFFFFFFF)

    offset = property(lambda self: self.word(4), lambda self, v: self.set_word(4, v))
    size = property(lambda self: self.word(8), lambda self, v: self.set_word(8, v))
    crc = property(lambda self: self.word(12), lambda self, v: self.set_word(12, v))
    name = property(lambda self: bytes(self.entry[24:32]).split(b"\0")[0].decode("latin-1"))


def records_of(data):
    found = []
    pos = data.find(MAGIC)
    while pos >= 0:
        if pos + 28 <= len(data) and data[pos + 26] == ord("0"):
            found.append(pos)
        pos = data.find(MAGIC, pos + 1)
    records = []
    for bank, header in enumerate(found, 1):
        for n in range(data[header + 24]):
            records.append(Record(data, header, bank, header + 28 + 48 * n))
    return records


def find(records, name):
    for record in records:
        if record.name == name:
            return record
    raise SystemExit("no block %s" % name)


def get_bits(data, byte, bit, length):
    position = byte * 8 + bit
    return sum(((data[(position + i) // 8] >> ((position + i) % 8)) & 1) << i
               for i in range(length))


def put_bits(data, byte, bit, length, value):
    data = bytearray(data)
    position = byte * 8 + bit
    for i in range(length):
        mask = 1 << ((position + i) % 8)
        if (value >> i) & 1:
            data[(position + i) // 8] |= mask
        else:
            data[(position + i) // 8] &= ~mask & 0xFF
    return bytes(data)


def preset_cells(table, as_shown=False):
    """The counts and cells of a preset table. A flagged marker starts the
    next row at its column; another marker gives its own column or, as the
    export places it (as_shown), the one after the previous cell."""
    if table[:10] != b"presetdata":
        raise SystemExit("the preset block holds no preset table")
    rows, columns = struct.unpack_from(">HH", table, 10)
    cells, p, row, column = [], 14, 0, 0
    while p < len(table):
        marker = table[p]
        p += 1
        end = p
        while table[end:end + 2] != b"\0\0":
            end += 2
        if marker & 0x80:
            row, column = row + 1, (marker & 0x7F) + 1
        elif as_shown:
            row, column = max(row, 1), column + 1
        else:
            column = (marker & 0x7F) + 1
        cells.append((row, column, table[p:end].decode("utf-16-le")))
        p = end + 2
    return rows, columns, cells


def shown_cells(packed):
    """The cells the export puts on "Program" for a packed preset table."""
    try:
        return preset_cells(lzma.decompress(packed, format=lzma.FORMAT_ALONE), True)[2]
    except lzma.LZMAError:
        return None


def sheet_values(path):
    """Every value of the "Program" sheet at its place."""
    import xlrd
    sheet = xlrd.open_workbook(path).sheet_by_name("Program")
    return [(r + 1, c + 1, sheet.cell(r, c).value if sheet.cell(r, c).ctype == xlrd.XL_CELL_TEXT
             else sheet.cell(r, c))
            for r in range(sheet.nrows) for c in range(sheet.ncols)
            if sheet.cell(r, c).ctype not in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK)]


def sheet_cells(path):
    import xlrd
    sheet = xlrd.open_workbook(path).sheet_by_name("Program")
    cells, row = [], 0
    for r in range(sheet.nrows):
        stored = False
        for c in range(sheet.ncols):
            cell = sheet.cell(r, c)
            if cell.ctype == xlrd.XL_CELL_TEXT:
                text = cell.value
            elif cell.ctype == xlrd.XL_CELL_NUMBER:
                text = "%d" % int(cell.value)
            else:
                continue
            if not stored:
                row += 1
                stored = True
            cells.append((row, c + 1, text))
    return cells


def workbook_number(path, sheet_name, row_name):
    import xlrd
    sheet = xlrd.open_workbook(path).sheet_by_name(sheet_name)
    for r in range(sheet.nrows):
        if sheet.cell_value(r, 0) == row_name:
            return sheet.cell_value(r, 1)
    raise SystemExit("no row %s on %s" % (row_name, sheet_name))


def lay_out(source, records):
    """The walk of Save New Flash over the records, into a copy of source."""
    out = bytearray(source)
    heads = [r.header for r in records]

    def next_bank(k):
        for r in records[k + 1:]:
            if r.header != records[k].header:
                return r.header
        return 0

    def rebuild(k):
        h = records[k].header
        out[h:h + 28] = source[heads[k]:heads[k] + 28]
        n = 0
        for r in records:
            if r.bank == records[k].bank:
                out[h + 28 + 48 * n:h + 28 + 48 * (n + 1)] = r.entry
                n += 1

    bank, end, previous = 0, 0, 0
    for i, r in enumerate(records):
        if r.crc != NCRC:
            r.crc = zlib.crc32(r.data) ^ 0xFFFFFFFF
        if r.entry[0] in (0xA4, 0xA8) and r.offset % 0x10000:
            r.offset = (r.offset // 0x10000 + 1) * 0x10000
        if r.bank != bank:
            bank += 1
            if bank == 2 and end > (next_bank(0) - records[0].header) % 2**32:
                return "Error: bootloader out of range"
            if i > 0:
                previous = end
                rebuild(i - 1)
            end = 0
        r.header = max(r.header, previous)
        start = r.header + r.offset
        end = start + r.size
        if i + 1 < len(records):
            n = records[i + 1]
            if end > n.header + n.offset:
                n.offset = end - n.header
        if end > len(source):
            return "Error: file too large, out of range."
        out[start:end] = r.data
    rebuild(len(records) - 1)
    return bytes(out)


def check(source_path, output_path, workbook, steps):
    source = open(source_path, "rb").read()
    output = open(output_path, "rb").read()
    records = records_of(source)
    for step in steps:
        kind, rest = step.split(":", 1)
        if kind == "bits":
            name, byte, bit, length, value = rest.split(":", 4)
            r = find(records, name)
            byte, bit, length = number(byte), number(bit), number(length)
            if value.startswith("@"):
                cell = workbook_number(workbook, *value[1:].split(":", 1))
                value = get_bits(r.data, byte, bit, length)
                if float(value) != cell:
                    value = int(cell)
            else:
                value = number(value)
            r.data = put_bits(r.data, byte, bit, length, value)
        elif kind == "file":
            name, path = rest.split(":", 1)
            r = find(records, name)
            r.data = open(path, "rb").read()
            r.size = len(r.data)
        else:
            raise SystemExit("unknown step " + step)
    new_records = records_of(output)
    for r in records:
        if r.name == "preset" and sheet_values(workbook) != shown_cells(r.data):
            packed = find(new_records, "preset").data
            rows, columns, cells = preset_cells(lzma.decompress(packed, format=lzma.FORMAT_ALONE))
            expected = sheet_cells(workbook)
            if cells != expected:
                raise SystemExit("the preset table differs from the Program sheet:\n%s\n%s"
                                 % (cells, expected))
            if expected and (rows < expected[-1][0] or columns < max(c for _, c, _ in expected)):
                raise SystemExit("the preset table's extent %dx%d is too small" % (rows, columns))
            r.data = packed
            r.size = len(packed)
    expected = lay_out(source, records)
    if isinstance(expected, str):
        raise SystemExit("the layout fails: " + expected)
    if expected == output:
        print("the new image is as expected")
        return 0
    if len(expected) != len(output):
        print("the new image has %d bytes, not %d" % (len(output), len(expected)))
        return 1
    first = next(i for i in range(len(output)) if output[i] != expected[i])
    print("the new image differs first at 0x%x: %02x, not %02x"
          % (first, output[first], expected[first]))
    return 1


def main(argv):
    if len(argv) >= 3 and argv[1] == "edit":
        edit(argv[2], argv[3:])
        return 0
    if len(argv) == 5 and argv[1] == "block":
        image = open(argv[2], "rb").read()
        open(argv[4], "wb").write(find(records_of(image), argv[3]).data)
        return 0
    if len(argv) >= 5 and argv[1] == "check":
        return check(argv[2], argv[3], argv[4], argv[5:])
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
