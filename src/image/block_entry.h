#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace nuv::image {

inline constexpr size_t kBlockEntrySize = 48;
// The crc value "NCRC": the block carries no CRC and writers never set one.
inline constexpr uint32_t kNoCrc = 0x4352434E;

// One 48-byte block entry, the same layout in both kinds of image. It keeps
// all 48 bytes as found, so the bytes nobody interprets are written back
// unchanged when an entry or a header is rewritten.
//
//  0 block_id u8 | 1 tail_flag u8 | 4 offset u32 | 8 size u32 | 12 crc u32
//  16 version u32 | 24 name 8 bytes | 32 time 12 bytes   (little-endian)
class BlockEntry {
 public:
  BlockEntry() = default;
  explicit BlockEntry(std::span<const uint8_t, kBlockEntrySize> bytes);

  uint8_t block_id() const { return bytes_[0]; }
  uint8_t tail_flag() const { return bytes_[1]; }
  uint32_t offset() const { return Word(4); }
  uint32_t size() const { return Word(8); }
  uint32_t crc() const { return Word(12); }
  uint32_t version() const { return Word(16); }
  bool has_no_crc() const { return crc() == kNoCrc; }

  // The name and time as texts: bytes up to the first NUL, at most 8 and 12.
  std::string name() const;
  std::string time() const;
  std::span<const uint8_t, 8> name_bytes() const {
    return std::span<const uint8_t, 8>(bytes_.data() + 24, 8);
  }

  void set_block_id(uint8_t id) { bytes_[0] = id; }
  void set_offset(uint32_t value) { SetWord(4, value); }
  void set_size(uint32_t value) { SetWord(8, value); }
  void set_crc(uint32_t value) { SetWord(12, value); }

  const std::array<uint8_t, kBlockEntrySize>& bytes() const { return bytes_; }

  friend bool operator==(const BlockEntry&, const BlockEntry&) = default;

 private:
  uint32_t Word(size_t pos) const;
  void SetWord(size_t pos, uint32_t value);

  std::array<uint8_t, kBlockEntrySize> bytes_{};
};

// What a Pre-Parse shows for an entry whose data lies beyond the image's
// end: "<wrong_file>, data of block XX beyond the image end!", where
// `wrong_file` is how the header of that kind of image calls a bad file.
std::string DataBeyondImageEndText(std::string_view wrong_file, uint8_t block_id);

}  // namespace nuv::image
