#pragma once

#include <cstdint>
#include <span>

#include "common/bytes.h"

namespace nuv::exchange {

// Writes an item's value into its block as the workbook import does, which
// is not how the field edit dialog writes a field. With o = bit_offset,
// w = bit_length, s = o mod 8, e = (o + w) mod 8, first = o / 8 and
// n = (o + w + 7) / 8 - first bytes touched:
//  - the first byte keeps its s bits below the field and takes the rest
//    from the value shifted up by s;
//  - the following bytes take the value's further bits, 8 at a time;
//  - when the field ends inside its last byte (e != 0) and spans two bytes
//    or more, that byte keeps its bits above the field.
// The value is not cut to w bits: bits of it above the field that land in
// the last byte are written too. A field inside a single byte takes that
// byte's bits above the field from the value as well, so they are cleared
// for a value that fits. A field of width 0 still writes its first byte.
//
// `base` is the block's data from the block's start offset on. kOutside,
// with nothing written, when a byte to write lies outside it, or the offset
// or width is negative or the width above 64 bits.
using BitFieldWrite = common::BoundedWrite;
[[nodiscard]] BitFieldWrite WriteImportBitField(std::span<std::uint8_t> base,
                                                std::int64_t bit_offset, std::int64_t bit_length,
                                                std::uint64_t value);

}  // namespace nuv::exchange
