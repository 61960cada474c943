#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace nuv::exchange {

// A spreadsheet hands every number over as a 64-bit floating-point value.
// The workbook exchange turns such a number into an integer by truncating
// it toward zero.

// The decimal text of the truncated number: what "%lld" gives for every
// number a signed 64-bit integer holds ("12" for 12.9, "-12" for -12.9,
// "0" for -0.5), and the exact decimal digits of larger ones.
std::string TruncatedNumberText(double number);

// A double holds every whole number up to 2^53 in size exactly, and larger
// ones only in steps of 2 and more.
inline constexpr double kTwoTo53 = 9007199254740992.0;

// The value a number item takes from the number in its value cell, given
// the value it has. A cell that still holds the double of that value, the
// number the export wrote, gives the value back exactly, also where the
// double rounded it (a 64-bit serial number). Any other number is a new
// value: truncated toward zero and kept as its 64-bit pattern (-1 gives
// all ones). Nothing for a new value beyond 2^53 in size: a cell rounded
// what was typed there, so the value meant cannot be known.
std::optional<std::uint64_t> ItemNumberFromCell(double number, std::uint64_t value);

}  // namespace nuv::exchange
