#include "image/block_entry.h"

#include <algorithm>
#include <cstdio>

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
  // The words of an entry lie inside its 48 bytes.
  static_cast<void>(common::WriteU32(bytes_, pos, value));
}

std::string DataBeyondImageEndText(std::string_view wrong_file, uint8_t block_id) {
  char id[3];
  std::snprintf(id, sizeof id, "%02X", block_id);
  return std::string(wrong_file) + ", data of block " + id + " beyond the image end!";
}

}  // namespace nuv::image
