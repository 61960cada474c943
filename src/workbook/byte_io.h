#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

namespace nuv::workbook {

// Little-endian reads from a byte span. Every read is bounds-checked by the
// caller through Has(); the reads themselves never look past the span.
class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::size_t size() const { return bytes_.size(); }
  std::size_t pos() const { return pos_; }
  std::size_t remaining() const { return bytes_.size() - pos_; }
  bool Has(std::size_t count) const { return count <= remaining(); }
  void Seek(std::size_t pos) { pos_ = pos <= bytes_.size() ? pos : bytes_.size(); }
  void Skip(std::size_t count) { pos_ += count <= remaining() ? count : remaining(); }

  // Each returns 0 (or empty) when fewer bytes remain than asked for.
  std::uint8_t U8() { return Has(1) ? bytes_[pos_++] : 0; }
  std::uint16_t U16() { return static_cast<std::uint16_t>(Take(2)); }
  std::uint32_t U32() { return static_cast<std::uint32_t>(Take(4)); }
  std::uint64_t U64() { return Take(8); }
  double F64() {
    std::uint64_t bits = U64();
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }
  std::span<const std::uint8_t> Bytes(std::size_t count) {
    if (!Has(count))
      count = remaining();
    auto out = bytes_.subspan(pos_, count);
    pos_ += count;
    return out;
  }

 private:
  std::uint64_t Take(std::size_t count) {
    if (!Has(count)) {
      pos_ = bytes_.size();
      return 0;
    }
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < count; ++i)
      value |= static_cast<std::uint64_t>(bytes_[pos_ + i]) << (8 * i);
    pos_ += count;
    return value;
  }

  std::span<const std::uint8_t> bytes_;
  std::size_t pos_ = 0;
};

// Reads a little-endian value at an offset the caller has checked.
inline std::uint16_t LoadU16(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}
inline std::uint32_t LoadU32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) | (static_cast<std::uint32_t>(bytes[at + 1]) << 8) |
         (static_cast<std::uint32_t>(bytes[at + 2]) << 16) |
         (static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}

// Appends little-endian values to a growing buffer.
class ByteWriter {
 public:
  std::vector<std::uint8_t>& bytes() { return bytes_; }
  const std::vector<std::uint8_t>& bytes() const { return bytes_; }
  std::size_t size() const { return bytes_.size(); }

  void U8(std::uint8_t value) { bytes_.push_back(value); }
  void U16(std::uint16_t value) { Put(value, 2); }
  void U32(std::uint32_t value) { Put(value, 4); }
  void U64(std::uint64_t value) { Put(value, 8); }
  void F64(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    U64(bits);
  }
  void Append(std::span<const std::uint8_t> more) {
    bytes_.insert(bytes_.end(), more.begin(), more.end());
  }
  void Zeros(std::size_t count) { bytes_.insert(bytes_.end(), count, 0); }
  // Overwrites a value written earlier, once its content is known.
  void PatchU16(std::size_t at, std::uint16_t value) {
    bytes_[at] = static_cast<std::uint8_t>(value);
    bytes_[at + 1] = static_cast<std::uint8_t>(value >> 8);
  }
  void PatchU32(std::size_t at, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i)
      bytes_[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
  }

 private:
  void Put(std::uint64_t value, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
      bytes_.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  }

  std::vector<std::uint8_t> bytes_;
};

}  // namespace nuv::workbook
