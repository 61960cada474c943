#!/usr/bin/env python3
"""Computes what a generated legacy image must hold, on its own, and compares.

    python3 legacy_check.py SOURCE OUTPUT STEP...

starts from the image SOURCE as Pre-Parse loaded it, applies the STEPs in
order, as a user's edits and Generate would, and compares the result with
the file OUTPUT that the tool wrote. It prints one line and exits 0 when
they are equal, 1 (with the first differing position) when not.

A model of its own, written from the description of the image format and
of Generate, not from the tool's code, so that a UI script can check the
tool's bytes without trusting them.

Steps (numbers are decimal unless they start with 0x; BASE is cfg+N, the
config area's offset (word at 28) plus N, or idB+N, the offset of the
first legacy entry with block id B plus N):
  field:BASE:BIT:LEN:VALUE   a number or list field's bits; others keep theirs
  text:BASE:BIT:LEN:TEXT     a text field: at most bytes-1 characters and a zero
  crc:ID                     the entry's CRC over its data, unless "NCRC"
  place:OFFSET:FILE          a block id 0 file at the config area + OFFSET
  file:ID:FILE               a file replacing the data of entry ID (resize, moves)
  hwinfo:ID:PANEL:LED        the 240 hw info bytes from hex panel values and
                             hex (character, pattern) pairs, replacing entry ID
  table                      the entry table written back at dmh_offset + 12
  config:FILE                the configuration file over the config area
  key:FILE                   the key record at the config area + 628
  patch:ADDR:VALUE           one byte (both hexadecimal)
"""
import struct
import sys
import zlib

NCRC = 0x4352434E
ERASED = 0xFF


def number(text):
    return int(text, 0)


class Image:
    def __init__(self, data):
        self.data = bytearray(data)
        self.dmh = self.word(8)
        count = self.data[self.dmh + 8]
        self.entries = []
        for k in range(count):
            at = self.dmh + 12 + 48 * k
            self.entries.append(bytearray(self.data[at:at + 48]))

    def word(self, at):
        return struct.unpack_from("<I", self.data, at)[0]

    @staticmethod
    def field(entry, at):
        return struct.unpack_from("<I", entry, at)[0]

    @staticmethod
    def set_field(entry, at, value):
        struct.pack_into("<I", entry, at, value)

    def entry(self, block_id):
        for index, entry in enumerate(self.entries):
            if entry[0] == block_id:
                return index
        raise SystemExit("no entry with block id %d" % block_id)

    def base(self, text):
        kind, offset = text.split("+")
        if kind == "cfg":
            return self.word(28) + number(offset)
        return self.field(self.entries[self.entry(number(kind[2:]))], 4) + number(offset)

    def crc(self, index):
        entry = self.entries[index]
        if self.field(entry, 12) == NCRC:
            return
        start, size = self.field(entry, 4), self.field(entry, 8)
        # CRC-32 started at 0xFFFFFFFF without the final inversion.
        self.set_field(entry, 12, zlib.crc32(bytes(self.data[start:start + size])) ^ 0xFFFFFFFF)

    def tail_start(self):
        for entry in self.entries:
            if entry[1] == 1:
                return self.field(entry, 4)
        return len(self.data)

    def replace(self, block_id, new):
        index = self.entry(block_id)
        entry = self.entries[index]
        limit = self.tail_start()
        start, old = self.field(entry, 4), self.field(entry, 8)
        room = limit - start - len(new)
        if room < 0:
            raise SystemExit("the file does not fit")
        following = bytes(self.data[start + old:start + old + room])
        following += bytes([ERASED]) * (room - len(following))
        self.data[start:limit] = bytes(new) + following
        self.set_field(entry, 8, len(new))
        self.crc(index)
        for k in range(index + 1, len(self.entries)):
            if self.field(self.entries[k], 4) >= limit:
                continue
            before = self.entries[k - 1]
            moved = self.field(before, 4) + self.field(before, 8)
            if self.entries[k][1] == 1:
                moved = (moved + 0xFFFF) // 0x10000 * 0x10000
            self.set_field(self.entries[k], 4, moved)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def apply(image, step):
    name, _, rest = step.partition(":")
    if name == "field":
        base, bit, length, value = rest.split(":")
        first = image.base(base) * 8 + number(bit)
        for k in range(number(length)):
            at, mask = (first + k) // 8, 1 << ((first + k) % 8)
            if (number(value) >> k) & 1:
                image.data[at] |= mask
            else:
                image.data[at] &= ~mask & 0xFF
    elif name == "text":
        base, bit, length, text = rest.split(":", 3)
        first_bit, bits = number(bit), number(length)
        start = image.base(base) + first_bit // 8
        count = (first_bit + bits + 7) // 8 - first_bit // 8
        typed = text.encode()[:count - 1] + b"\0"
        image.data[start:start + len(typed)] = typed
    elif name == "crc":
        image.crc(image.entry(number(rest)))
    elif name == "place":
        offset, path = rest.split(":", 1)
        data = read(path)
        at = image.word(28) + number(offset)
        image.data[at:at + len(data)] = data
    elif name == "file":
        block_id, path = rest.split(":", 1)
        image.replace(number(block_id), read(path)[:2 * 1024 * 1024])
    elif name == "hwinfo":
        block_id, panel, led = rest.split(":")
        panel, led = bytes.fromhex(panel), bytes.fromhex(led)
        info = struct.pack("<H", len(panel)) + panel.ljust(38, b"\0")
        info += struct.pack("<H", len(led) // 2) + led.ljust(198, b"\0")
        image.replace(number(block_id), info)
    elif name == "table":
        at = image.dmh + 12
        for entry in image.entries:
            image.data[at:at + 48] = entry
            at += 48
    elif name == "config":
        data = read(rest)
        at = image.word(28)
        image.data[at:at + len(data)] = data
    elif name == "key":
        key = read(rest)
        at = image.word(28) + 628
        image.data[at:at + 130] = b"\x80\x00" + key[5:133]
    elif name == "patch":
        address, value = rest.split(":")
        image.data[int(address, 16)] = int(value, 16) & 0xFF
    else:
        raise SystemExit("unknown step " + step)


def main(argv):
    if len(argv) < 3:
        raise SystemExit(__doc__)
    image = Image(read(argv[1]))
    for step in argv[3:]:
        apply(image, step)
    output = read(argv[2])
    if output == bytes(image.data):
        print("expected image: %s holds the %d bytes it must" % (argv[2], len(output)))
        return 0
    if len(output) != len(image.data):
        print("expected image: %s has %d bytes, not %d" % (argv[2], len(output), len(image.data)))
        return 1
    first = next(k for k in range(len(output)) if output[k] != image.data[k])
    print("expected image: %s differs first at 0x%X (0x%02X, not 0x%02X)" %
          (argv[2], first, output[first], image.data[first]))
    return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
