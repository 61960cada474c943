#include "exchange/exchange_numbers.h"

#include <charconv>
#include <cmath>

namespace nuv::exchange {
namespace {

constexpr double kTwoTo63 = 9223372036854775808.0;

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

std::optional<std::uint64_t> ItemNumberFromCell(double number, std::uint64_t value) {
  if (number == static_cast<double>(value))
    return value;
  const double whole = std::trunc(number);
  if (!(whole >= -kTwoTo53 && whole <= kTwoTo53))
    return std::nullopt;
  return static_cast<std::uint64_t>(static_cast<std::int64_t>(whole));
}

}  // namespace nuv::exchange
