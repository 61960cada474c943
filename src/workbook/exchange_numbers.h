#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace nuv::workbook {

// A spreadsheet hands every number over as a 64-bit floating-point value.
// The workbook exchange turns such a number into an integer by truncating
// it toward zero.

// The decimal text of the truncated number: what "%lld" gives for every
// number a signed 64-bit integer holds ("12" for 12.9, "-12" for -12.9,
// "0" for -0.5), and the exact decimal digits of larger ones.
std::string TruncatedNumberText(double number);

// The 64-bit pattern of the truncated number, as an item's value holds it:
// a negative number is its two's complement pattern (-1 gives all ones),
// and numbers from 2^63 up to 2^64 keep their unsigned value, so a large
// value that the export wrote comes back as the number it was. Nothing
// for a number that no 64 bits hold.
std::optional<std::uint64_t> TruncatedNumberPattern(double number);

}  // namespace nuv::workbook
