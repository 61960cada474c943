#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "common/line_reader.h"
#include "support/messages.h"

namespace nuv::legacy {

inline constexpr size_t kPanelInfoSize = 40;
inline constexpr size_t kLedBitmapSize = 200;
inline constexpr size_t kHwInfoSize = kPanelInfoSize + kLedBitmapSize;
inline constexpr size_t kMaxPanelValues = 38;
inline constexpr size_t kMaxLedBytes = 198;
// Lines outside sections hold at most 999 characters, lines inside at most 199.
inline constexpr size_t kMaxHwLine = 999;
inline constexpr size_t kMaxHwSectionLine = 199;

// The panel values: a u16 count N (little-endian), N bytes, zeros.
struct PanelInfo {
  std::array<uint8_t, kPanelInfoSize> bytes{};
  uint16_t count() const { return static_cast<uint16_t>(bytes[0] | bytes[1] << 8); }
};

// The LED table: a u16 count P of pairs, P (character, pattern) pairs, zeros.
struct LedBitmap {
  std::array<uint8_t, kLedBitmapSize> bytes{};
  uint16_t count() const { return static_cast<uint16_t>(bytes[0] | bytes[1] << 8); }
};

// The 240 bytes a hardware-info block holds: PanelInfo, then LedBitmap.
struct HwInfo {
  PanelInfo panel;
  LedBitmap led;
  std::array<uint8_t, kHwInfoSize> Bytes() const;
};

enum class HwLineKind { kComment, kSeparator, kPanelSection, kLedSection, kOther };

// Blanks and tabs at the start are skipped; then "//", "----",
// "panel starts" and "led starts" are looked for, ignoring case.
HwLineKind ClassifyHwLine(std::string_view line);

// Read the lines of one section, up to its "##", into the record, over
// what an earlier section of the same name left there; kFailed, after a
// message of their own where the reason is theirs to tell (a file that
// ends inside the section, an over-long line). `caption` is the box the
// messages go to.
enum class SectionResult { kRead, kFailed };
[[nodiscard]] SectionResult ParsePanelSection(common::LineReader& in, PanelInfo& panel,
                                              Messages& messages,
                                              BoxCaption caption = BoxCaption::Error);
[[nodiscard]] SectionResult ParseLedSection(common::LineReader& in, LedBitmap& led,
                                            Messages& messages,
                                            BoxCaption caption = BoxCaption::Error);

// Reads a hardware info file to its end into zero-filled records. Nothing,
// after "error while parsing panel hw info" or "error while parsing led
// bitmap"; the caller adds its own message after that. The legacy flow
// shows the messages in "error" boxes, the workbook import in the
// application's box.
[[nodiscard]] std::optional<HwInfo> ParseHwInfo(common::LineReader& in, Messages& messages,
                                                BoxCaption caption = BoxCaption::Error);

}  // namespace nuv::legacy
