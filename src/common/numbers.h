#pragma once

#include <concepts>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>
#include <type_traits>

namespace nuv::common {

// Every number the tool reads from text is read here, in one of three ways.

// 1. As the C library calls that the scripts, the hardware-info file and
// the byte patch were always read with, on a platform whose `long` has 32
// bits. Reading stops at the first character that cannot continue the
// number; no digit at all reads as 0; a value that does not fit saturates,
// as the C library does.

// strtol: leading white space, an optional sign, then digits in `base`
// (2 to 36), or with base 0 the C notation: "0x" hexadecimal, a leading 0
// octal, otherwise decimal. Base 16 accepts an optional "0x" prefix.
int32_t CStrToL(std::string_view text, int base);

// strtoul: as CStrToL, but unsigned; a minus sign negates the value modulo
// 2^32.
uint32_t CStrToUL(std::string_view text, int base);

// atoi: CStrToL(text, 10).
inline int32_t CAtoI(std::string_view text) {
  return CStrToL(text, 10);
}

// As CStrToUL, but the value is kept modulo 2^64 instead of saturating, for
// a reader that takes only its low bits: the low byte of "1A4" and of
// "1234567890A4" is 0xA4 alike.
uint64_t CStrToLowBits(std::string_view text, int base);

// 2. As a dialog reads a number edit: an unsigned decimal with blanks
// around the digits allowed; anything else gives no number. A value beyond
// 64 bits reads as the largest 64-bit value, so that a number too large for
// its field is told apart from no number.
std::optional<uint64_t> ReadUnsignedEdit(std::string_view text);

// 3. Strictly, as a command line or a UI script gives it: the whole text is
// the number, digits in `base` (10 or 16) or "0x" and hexadecimal digits,
// after a '-' for a signed type. Nothing when anything else is there or the
// value does not fit T.
std::optional<uint64_t> ParseStrictMagnitude(std::string_view text, int base);

template <std::integral T>
std::optional<T> ParseStrictNumber(std::string_view text, int base = 10) {
  const bool negative = std::is_signed_v<T> && !text.empty() && text.front() == '-';
  if (negative)
    text.remove_prefix(1);
  const std::optional<uint64_t> magnitude = ParseStrictMagnitude(text, base);
  if (!magnitude)
    return std::nullopt;
  const auto largest = static_cast<uint64_t>(std::numeric_limits<T>::max());
  if (*magnitude > largest + (negative ? 1 : 0))
    return std::nullopt;
  // Two's complement: the negation modulo 2^64 is the value's bit pattern.
  return static_cast<T>(negative ? 0 - *magnitude : *magnitude);
}

}  // namespace nuv::common
