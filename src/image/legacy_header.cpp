#include "image/legacy_header.h"

#include <string>

#include "common/bytes.h"

namespace nuv::image {
namespace {

constexpr std::string_view kWrongBinFile = "Wrong bin file!";

uint32_t SplitSize(std::span<const uint8_t> header, size_t low, size_t high) {
  return uint32_t{header[high]} * 65536 + header[low];
}

std::optional<LegacyHeader> Refuse(Messages& messages, std::string_view text) {
  messages.Show(BoxCaption::Error, text);
  return std::nullopt;
}

}  // namespace

std::optional<LegacyHeader> ReadLegacyHeader(std::span<const uint8_t> image, Messages& messages) {
  const std::optional<uint32_t> dmh_offset = common::ReadU32(image, kLegacyDmhOffsetPos);
  const std::optional<uint32_t> config_length = common::ReadU32(image, kLegacyConfigLengthPos);
  if (!dmh_offset || !config_length || *dmh_offset > image.size() || *config_length > image.size())
    return Refuse(messages, kWrongBinFile);
  if (!common::InRange(image.size(), *dmh_offset, kLegacyEntriesPos))
    return Refuse(messages, "Wrong bin file, header beyond the image end!");
  const std::span<const uint8_t> header = image.subspan(*dmh_offset);

  LegacyHeader result;
  result.dmh_offset = *dmh_offset;
  result.config_length = *config_length;
  result.sdram_size = SplitSize(header, kLegacySdramLowPos, kLegacySdramHighPos);
  result.flash_size = SplitSize(header, kLegacyFlashLowPos, kLegacyFlashHighPos);
  if (result.flash_size != image.size())
    return Refuse(messages, kWrongBinFile);
  const size_t count = header[kLegacyCountPos];
  if (count > kLegacyMaxEntries)
    return Refuse(messages, "Too many blocks!");
  if (!common::InRange(header.size(), kLegacyEntriesPos, count * kBlockEntrySize))
    return Refuse(messages, "Wrong bin file, block entries beyond the image end!");

  result.entries.reserve(count);
  for (size_t k = 0; k < count; ++k) {
    const BlockEntry entry(
        header.subspan(kLegacyEntriesPos + k * kBlockEntrySize).first<kBlockEntrySize>());
    if (entry.size() != 0 && !common::InRange(image.size(), entry.offset(), entry.size())) {
      return Refuse(messages, DataBeyondImageEndText("Wrong bin file", entry.block_id()));
    }
    result.entries.push_back(entry);
  }
  return result;
}

std::optional<std::span<const uint8_t>> LegacyConfigRegion(std::span<const uint8_t> image,
                                                           uint32_t config_length) {
  const std::optional<uint32_t> config_offset = common::ReadU32(image, kLegacyConfigOffsetPos);
  if (!config_offset || !common::InRange(image.size(), *config_offset, config_length))
    return std::nullopt;
  return image.subspan(*config_offset, config_length);
}

}  // namespace nuv::image
