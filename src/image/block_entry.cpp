#include "image/block_entry.h"

#include <algorithm>

#include "image/bytes.h"

namespace nuv::image {

BlockEntry::BlockEntry(std::span<const uint8_t, kBlockEntrySize> bytes) {
  std::copy(bytes.begin(), bytes.end(), bytes_.begin());
}

std::string BlockEntry::name() const {
  return FixedText(std::span(bytes_).subspan(24, 8));
}

std::string BlockEntry::time() const {
  return FixedText(std::span(bytes_).subspan(32, 12));
}

uint32_t BlockEntry::Word(size_t pos) const {
  return *ReadU32(bytes_, pos);
}

void BlockEntry::SetWord(size_t pos, uint32_t value) {
  WriteU32(bytes_, pos, value);
}

}  // namespace nuv::image
