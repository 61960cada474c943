#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "image/block_entry.h"

namespace nuv::verify {

enum class Severity { Error, Warning };

// The names of the checks, as findings and their JSON form carry them.
inline constexpr std::string_view kCheckBounds = "bounds";           // data inside the image
inline constexpr std::string_view kCheckCrc = "crc";                 // CRC-32 of the data
inline constexpr std::string_view kCheckOverlap = "overlap";         // blocks, headers, config area
inline constexpr std::string_view kCheckAlignment = "alignment";     // ids A4 and A8
inline constexpr std::string_view kCheckBankHeader = "bank-header";  // entry counts, SDRAM sizes
inline constexpr std::string_view kCheckConfigArea = "config-area";
inline constexpr std::string_view kCheckTail = "tail";
inline constexpr std::string_view kCheckSoftwareVersion = "software-version";
inline constexpr std::string_view kCheckScript = "script";  // the legacy script parses
inline constexpr std::string_view kCheckScriptField = "script-field";
inline constexpr std::string_view kCheckToolConfig = "toolcfg";
inline constexpr std::string_view kCheckPreset = "preset";

// The block a finding is about: its id and name as the entry (or, for a
// block of the legacy script, the script) gives them.
struct BlockRef {
  uint8_t id = 0;
  std::string name;

  friend bool operator==(const BlockRef&, const BlockRef&) = default;
};

BlockRef RefOf(const image::BlockEntry& entry);

// What a check expected or what it found: nothing, a number or a text.
// Positions, sizes and CRCs are shown in hexadecimal, counts in decimal.
struct FindingValue {
  enum class Kind { None, Number, Text };
  Kind kind = Kind::None;
  uint64_t number = 0;
  bool hex = false;
  std::string text;

  static FindingValue Hex(uint64_t value) { return {Kind::Number, value, true, {}}; }
  static FindingValue Count(uint64_t value) { return {Kind::Number, value, false, {}}; }
  static FindingValue Text(std::string value) { return {Kind::Text, 0, false, std::move(value)}; }

  friend bool operator==(const FindingValue&, const FindingValue&) = default;
};

// One thing a check found wrong (error) or worth knowing (warning).
struct Finding {
  Severity severity = Severity::Error;
  std::string_view check;
  std::optional<BlockRef> block;
  FindingValue expected;
  FindingValue found;
  std::string text;
};

// True when no finding is an error.
bool Sound(std::span<const Finding> findings);

// "0x1F000": how positions, sizes and CRCs appear in the texts.
std::string Hex(uint64_t value);

}  // namespace nuv::verify
