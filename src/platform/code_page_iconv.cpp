// The code page's conversions through iconv (glibc).
#include <iconv.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "platform/code_page.h"

namespace nuv::platform {
namespace {

const char* IconvName(unsigned number) {
  switch (number) {
    case 65001:
      return "UTF-8";
    case 932:
      return "CP932";
    case 936:
      return "CP936";
    case 949:
      return "CP949";
    case 950:
      return "CP950";
    case 1250:
      return "CP1250";
    case 1251:
      return "CP1251";
    case 1253:
      return "CP1253";
    case 1254:
      return "CP1254";
    case 1255:
      return "CP1255";
    case 1256:
      return "CP1256";
    case 1257:
      return "CP1257";
    case 1258:
      return "CP1258";
    default:
      return "CP1252";
  }
}

// glibc's CP1252 leaves these bytes undefined; Windows maps each to the
// control character of the same number.
constexpr std::array<std::uint8_t, 5> kWindows1252Extras = {0x81, 0x8D, 0x8F, 0x90, 0x9D};

bool IsExtra(unsigned number, unsigned value) {
  return number == 1252 && std::find(kWindows1252Extras.begin(), kWindows1252Extras.end(), value) !=
                               kWindows1252Extras.end();
}

constexpr const char* kUtf16 = "UTF-16LE";

// One iconv conversion descriptor.
class Converter {
 public:
  Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok())
      iconv_close(handle_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Appends the conversion of all of `in` to `out`. False when `in` holds
  // a sequence that is invalid, incomplete or has no exact counterpart.
  bool Convert(std::string_view in, std::string& out) {
    if (!ok())
      return false;
    // From the initial state, whatever an earlier failure left behind.
    iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    char* in_next = const_cast<char*>(in.data());
    std::size_t in_left = in.size();
    const std::size_t start = out.size();
    std::size_t used = 0;
    out.resize(start + in.size() * 4 + 16);
    // After all of the input, a call without input flushes what the
    // conversion still holds back.
    bool flushing = false;
    for (;;) {
      char* out_next = out.data() + start + used;
      std::size_t out_left = out.size() - start - used;
      const std::size_t result = flushing
                                     ? iconv(handle_, nullptr, nullptr, &out_next, &out_left)
                                     : iconv(handle_, &in_next, &in_left, &out_next, &out_left);
      const int error = errno;
      used = static_cast<std::size_t>(out_next - (out.data() + start));
      if (result == static_cast<std::size_t>(-1) && error == E2BIG) {
        out.resize(out.size() * 2);
        continue;
      }
      // A count of characters converted by approximation is a failure too.
      if (result != 0) {
        out.resize(start);
        return false;
      }
      if (flushing)
        break;
      flushing = true;
    }
    out.resize(start + used);
    return true;
  }

 private:
  bool ok() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

  iconv_t handle_;
};

// Opening a descriptor takes longer than converting a name, and an export
// converts thousands: each thread keeps the ones it opened.
Converter& CachedConverter(unsigned number, bool to_utf16) {
  thread_local std::map<std::pair<unsigned, bool>, std::unique_ptr<Converter>> converters;
  std::unique_ptr<Converter>& converter = converters[{number, to_utf16}];
  if (!converter)
    converter = to_utf16 ? std::make_unique<Converter>(kUtf16, IconvName(number))
                         : std::make_unique<Converter>(IconvName(number), kUtf16);
  return *converter;
}

}  // namespace

std::optional<std::u16string> CodePage::ToUtf16(std::string_view text) const {
  Converter& converter = CachedConverter(number_, true);
  std::string bytes;
  std::size_t from = 0;
  auto convert_up_to = [&](std::size_t end) {
    return converter.Convert(text.substr(from, end - from), bytes);
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<std::uint8_t>(text[i]);
    if (!IsExtra(number_, byte))
      continue;
    if (!convert_up_to(i))
      return std::nullopt;
    bytes.push_back(static_cast<char>(byte));
    bytes.push_back(0);
    from = i + 1;
  }
  if (!convert_up_to(text.size()))
    return std::nullopt;
  std::u16string out(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < out.size(); ++i)
    out[i] = static_cast<char16_t>(static_cast<std::uint8_t>(bytes[2 * i]) |
                                   static_cast<std::uint8_t>(bytes[2 * i + 1]) << 8);
  return out;
}

std::optional<std::string> CodePage::FromUtf16(std::u16string_view text) const {
  std::string units;
  units.reserve(text.size() * 2);
  for (char16_t c : text) {
    units.push_back(static_cast<char>(c & 0xFF));
    units.push_back(static_cast<char>(c >> 8));
  }
  Converter& converter = CachedConverter(number_, false);
  std::string out;
  std::size_t from = 0;
  auto convert_up_to = [&](std::size_t end) {
    return converter.Convert(std::string_view(units).substr(2 * from, 2 * (end - from)), out);
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!IsExtra(number_, text[i]))
      continue;
    if (!convert_up_to(i))
      return std::nullopt;
    out.push_back(static_cast<char>(text[i]));
    from = i + 1;
  }
  if (!convert_up_to(text.size()))
    return std::nullopt;
  return out;
}

}  // namespace nuv::platform
