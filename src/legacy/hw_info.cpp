#include "legacy/hw_info.h"

#include <algorithm>
#include <string>

#include "common/numbers.h"

namespace nuv::legacy {
namespace {

constexpr std::string_view kPanelError = "error while parsing panel hw info";
constexpr std::string_view kLedError = "error while parsing led bitmap";

enum class Step { kGoOn, kEnded, kFailed };

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithNoCase(std::string_view text, std::string_view keyword) {
  return text.size() >= keyword.size() && std::equal(keyword.begin(), keyword.end(), text.begin(),
                                                     [](char k, char t) { return k == Lower(t); });
}

// A value as the file writes it, "0xHH": its hexadecimal reading from the
// third character on, low 8 bits.
uint8_t HexFromThird(std::string_view collected) {
  const std::string_view digits = collected.size() > 2 ? collected.substr(2) : std::string_view();
  return static_cast<uint8_t>(common::CStrToUL(digits, 16) & 0xFF);
}

bool SectionEndsAt(std::string_view line, size_t i) {
  return line[i] == '#' && i + 1 < line.size() && line[i + 1] == '#';
}

void WriteCount(std::span<uint8_t> bytes, size_t count) {
  bytes[0] = static_cast<uint8_t>(count & 0xFF);
  bytes[1] = static_cast<uint8_t>(count >> 8);
}

// Feeds the lines of a section to `apply` until it reports the end ("##")
// or a failure. A section that the file ends inside, or a line longer than
// a section line may be, fails with a message that says so.
template <typename Apply>
SectionResult ReadSection(common::LineReader& in, std::string_view section, Messages& messages,
                          BoxCaption caption, Apply apply) {
  std::string line;
  for (;;) {
    const common::LineStatus status = in.Next(line, kMaxHwSectionLine);
    if (status == common::LineStatus::kEnd) {
      messages.Show(caption, "The " + std::string(section) +
                                 " section of the hw info file has no closing \"##\"!");
      return SectionResult::kFailed;
    }
    if (status == common::LineStatus::kTooLong) {
      messages.Show(caption, "A line of the " + std::string(section) +
                                 " section of the hw info file is longer than 199 characters!");
      return SectionResult::kFailed;
    }
    if (line.empty())
      continue;
    switch (apply(std::string_view(line))) {
      case Step::kGoOn:
        break;
      case Step::kEnded:
        return SectionResult::kRead;
      case Step::kFailed:
        return SectionResult::kFailed;
    }
  }
}

}  // namespace

std::array<uint8_t, kHwInfoSize> HwInfo::Bytes() const {
  std::array<uint8_t, kHwInfoSize> out{};
  std::copy(panel.bytes.begin(), panel.bytes.end(), out.begin());
  std::copy(led.bytes.begin(), led.bytes.end(), out.begin() + kPanelInfoSize);
  return out;
}

HwLineKind ClassifyHwLine(std::string_view line) {
  const size_t start = line.find_first_not_of(" \t");
  if (start == std::string_view::npos)
    return HwLineKind::kOther;
  line.remove_prefix(start);
  if (StartsWithNoCase(line, "//"))
    return HwLineKind::kComment;
  if (StartsWithNoCase(line, "----"))
    return HwLineKind::kSeparator;
  if (StartsWithNoCase(line, "panel starts"))
    return HwLineKind::kPanelSection;
  if (StartsWithNoCase(line, "led starts"))
    return HwLineKind::kLedSection;
  return HwLineKind::kOther;
}

SectionResult ParsePanelSection(common::LineReader& in, PanelInfo& panel, Messages& messages,
                                BoxCaption caption) {
  size_t stored = 0;
  std::string collected;  // goes on over line ends: every value needs its comma
  return ReadSection(in, "panel", messages, caption, [&](std::string_view line) {
    for (size_t i = 0; i < line.size(); ++i) {
      const char c = line[i];
      if (c == ' ' || c == '\t')
        continue;
      if (SectionEndsAt(line, i)) {
        WriteCount(panel.bytes, stored);
        return Step::kEnded;
      }
      if (c == ',' && !collected.empty()) {
        if (stored == kMaxPanelValues)
          return Step::kFailed;
        panel.bytes[2 + stored++] = HexFromThird(collected);
        collected.clear();
        continue;
      }
      if (collected.size() < 8)
        collected.push_back(c);
    }
    return Step::kGoOn;
  });
}

SectionResult ParseLedSection(common::LineReader& in, LedBitmap& led, Messages& messages,
                              BoxCaption caption) {
  size_t stored = 0;
  std::string collected;
  const auto store = [&](uint8_t byte) {
    if (stored == kMaxLedBytes)
      return false;
    led.bytes[2 + stored++] = byte;
    return true;
  };
  const auto collect = [&](char c) {
    if (collected.size() == 11)
      collected.clear();
    collected.push_back(c);
  };
  return ReadSection(in, "led", messages, caption, [&](std::string_view line) {
    collected.clear();
    for (size_t i = 0; i < line.size(); ++i) {
      const char c = line[i];
      const char next = i + 1 < line.size() ? line[i + 1] : '\0';
      if (c == '\t')
        continue;
      if (c == ' ') {
        if (next == '\'')
          collect(c);
        continue;
      }
      if (c == '\'' && next == ',' && !collected.empty()) {
        if (!store(static_cast<uint8_t>(collected.back())))
          return Step::kFailed;
        collected.clear();
        ++i;  // the comma
        continue;
      }
      if (c == '}' && next == ',' && !collected.empty()) {
        if (!store(HexFromThird(collected)))
          return Step::kFailed;
        collected.clear();
        continue;  // the comma is read as an ordinary character
      }
      if (SectionEndsAt(line, i)) {
        WriteCount(led.bytes, stored / 2);
        return Step::kEnded;
      }
      collect(c);
    }
    return Step::kGoOn;
  });
}

std::optional<HwInfo> ParseHwInfo(common::LineReader& in, Messages& messages, BoxCaption caption) {
  HwInfo info;
  std::string line;
  while (in.Next(line, kMaxHwLine) == common::LineStatus::kLine) {
    switch (ClassifyHwLine(line)) {
      case HwLineKind::kPanelSection:
        if (ParsePanelSection(in, info.panel, messages, caption) != SectionResult::kRead) {
          messages.Show(caption, kPanelError);
          return std::nullopt;
        }
        break;
      case HwLineKind::kLedSection:
        if (ParseLedSection(in, info.led, messages, caption) != SectionResult::kRead) {
          messages.Show(caption, kLedError);
          return std::nullopt;
        }
        break;
      default:
        break;
    }
  }
  return info;
}

}  // namespace nuv::legacy
