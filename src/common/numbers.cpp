#include "common/numbers.h"

#include <charconv>
#include <limits>

namespace nuv::common {
namespace {

bool IsCSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int DigitValue(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'a' && c <= 'z')
    return c - 'a' + 10;
  if (c >= 'A' && c <= 'Z')
    return c - 'A' + 10;
  return 99;
}

// What the C readers share: the sign and the magnitude, once capped just
// above 2^32 so that strtol and strtoul can tell an overflow, once modulo
// 2^64.
struct Scanned {
  bool negative = false;
  uint64_t magnitude = 0;
  uint64_t low_bits = 0;
};

Scanned Scan(std::string_view text, int base) {
  constexpr uint64_t kCap = uint64_t{1} << 33;
  Scanned out;
  size_t i = 0;
  while (i < text.size() && IsCSpace(text[i]))
    ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    out.negative = text[i] == '-';
    ++i;
  }
  const bool has_prefix = i + 2 < text.size() && text[i] == '0' &&
                          (text[i + 1] == 'x' || text[i + 1] == 'X') &&
                          DigitValue(text[i + 2]) < 16;
  if (base == 0) {
    if (has_prefix) {
      base = 16;
      i += 2;
    } else if (i < text.size() && text[i] == '0') {
      base = 8;
    } else {
      base = 10;
    }
  } else if (base == 16 && has_prefix) {
    i += 2;
  }
  if (base < 2 || base > 36)
    return {};
  for (; i < text.size(); ++i) {
    const int digit = DigitValue(text[i]);
    if (digit >= base)
      break;
    out.magnitude = out.magnitude * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
    if (out.magnitude > kCap)
      out.magnitude = kCap;
    out.low_bits = out.low_bits * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
  }
  return out;
}

}  // namespace

int32_t CStrToL(std::string_view text, int base) {
  const Scanned s = Scan(text, base);
  constexpr uint64_t kMax = std::numeric_limits<int32_t>::max();
  if (s.negative)
    return s.magnitude > kMax + 1 ? std::numeric_limits<int32_t>::min()
                                  : static_cast<int32_t>(-static_cast<int64_t>(s.magnitude));
  return s.magnitude > kMax ? std::numeric_limits<int32_t>::max()
                            : static_cast<int32_t>(s.magnitude);
}

uint32_t CStrToUL(std::string_view text, int base) {
  const Scanned s = Scan(text, base);
  if (s.magnitude > std::numeric_limits<uint32_t>::max())
    return std::numeric_limits<uint32_t>::max();
  const auto value = static_cast<uint32_t>(s.magnitude);
  return s.negative ? 0u - value : value;
}

uint64_t CStrToLowBits(std::string_view text, int base) {
  const Scanned s = Scan(text, base);
  return s.negative ? 0 - s.low_bits : s.low_bits;
}

std::optional<uint64_t> ReadUnsignedEdit(std::string_view text) {
  while (!text.empty() && text.front() == ' ')
    text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ')
    text.remove_suffix(1);
  if (text.empty())
    return std::nullopt;
  constexpr uint64_t kLargest = std::numeric_limits<uint64_t>::max();
  uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9')
      return std::nullopt;
    const auto digit = static_cast<uint64_t>(c - '0');
    value = value > (kLargest - digit) / 10 ? kLargest : value * 10 + digit;
  }
  return value;
}

std::optional<uint64_t> ParseStrictMagnitude(std::string_view text, int base) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (text.empty() || error != std::errc() || end != text.data() + text.size())
    return std::nullopt;
  return value;
}

}  // namespace nuv::common
