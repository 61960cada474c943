#include "common/bytes.h"
#include "image/crc32.h"
#include "verify/checks.h"

namespace nuv::verify {

void CheckBlockData(std::span<const uint8_t> image, const image::ImageLayout& layout,
                    std::vector<Finding>& out) {
  for (const image::PlacedBlock& block : layout.blocks) {
    const image::BlockEntry& entry = block.entry;
    if (!common::InRange(image.size(), block.start, entry.size())) {
      out.push_back({Severity::Error, kCheckBounds, RefOf(entry), FindingValue::Hex(image.size()),
                     FindingValue::Hex(block.end()),
                     "its data (" + Hex(block.start) + " to " + Hex(block.end()) +
                         ") runs past the image end at " + Hex(image.size())});
      continue;
    }
    if (entry.has_no_crc()) {
      out.push_back({Severity::Warning, kCheckCrc, RefOf(entry), FindingValue(),
                     FindingValue::Text("NCRC"),
                     "not checked: its entry carries no CRC (\"NCRC\")"});
      continue;
    }
    const uint32_t crc = image::UpdateCrc(image::kCrcStart, block.data);
    if (crc != entry.crc())
      out.push_back(
          {Severity::Error, kCheckCrc, RefOf(entry), FindingValue::Hex(entry.crc()),
           FindingValue::Hex(crc),
           "the CRC-32 of its data is " + Hex(crc) + ", its entry holds " + Hex(entry.crc())});
  }
}

}  // namespace nuv::verify
