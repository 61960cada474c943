#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace nuv::legacy {

// Number readers with the semantics of the C library calls that the script,
// the hardware-info file and the dialogs' edits were always read with, on a
// platform whose `long` has 32 bits. Reading stops at the first character
// that cannot continue the number; no digit at all reads as 0; a value that
// does not fit saturates, as the C library does.

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

// An edit's text read as an unsigned decimal number, the way a dialog reads
// a number edit: blanks around the digits are allowed, anything else gives
// no number. A value beyond 64 bits reads as the largest 64-bit value, so
// that a number too large for its field is told apart from no number.
std::optional<uint64_t> ReadUnsignedEdit(std::string_view text);

}  // namespace nuv::legacy
