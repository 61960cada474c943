#include "workbook/exchange_numbers.h"

#include <charconv>
#include <cmath>

namespace nuv::workbook {
namespace {

constexpr double kTwoTo63 = 9223372036854775808.0;
constexpr double kTwoTo64 = 18446744073709551616.0;

}  // namespace

std::string TruncatedNumberText(double number) {
  const double whole = std::trunc(number);
  if (whole >= -kTwoTo63 && whole < kTwoTo63)
    return std::to_string(static_cast<long long>(whole));
  // Beyond 64 bits (and the values no cell holds: infinities, NaN) the
  // exact digits of the double, which is an integer there.
  char text[400];
  auto [end, error] = std::to_chars(text, text + sizeof text, whole, std::chars_format::fixed, 0);
  if (error != std::errc())
    return "0";
  return std::string(text, end);
}

std::optional<std::uint64_t> TruncatedNumberPattern(double number) {
  const double whole = std::trunc(number);
  if (whole >= -kTwoTo63 && whole < kTwoTo63)
    return static_cast<std::uint64_t>(static_cast<std::int64_t>(whole));
  if (whole >= kTwoTo63 && whole < kTwoTo64)
    return static_cast<std::uint64_t>(whole);
  return std::nullopt;
}

}  // namespace nuv::workbook
