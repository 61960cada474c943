#include "image/block_entry.h"

#include <algorithm>

#include "common/bytes.h"

namespace nuv::image {

BlockEntry::BlockEntry(std::span<const uint8_t, kBlockEntrySize> bytes) {
  std::copy(bytes.begin(), bytes.end(), bytes_.begin());
}

std::string BlockEntry::name() const {
  return common::FixedText(std::span(bytes_).subspan(24, 8));
}

std::string BlockEntry::time() const {
  return common::FixedText(std::span(bytes_).subspan(32, 12));
}

uint32_t BlockEntry::Word(size_t pos) const {
  return *common::ReadU32(bytes_, pos);
}

void BlockEntry::SetWord(size_t pos, uint32_t value) {
  common::WriteU32(bytes_, pos, value);
}

}  // namespace nuv::image
