#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace nuv::common {

// Every multi-byte integer the tool reads or writes, in flash images and in
// Excel 97 files alike, is little-endian.

// True when [pos, pos + length) lies inside a buffer of `size` bytes,
// without overflowing.
constexpr bool InRange(size_t size, uint64_t pos, uint64_t length) {
  return pos <= size && length <= size - pos;
}

// The `count`-byte integer (1 to 8 bytes) at `pos`, which the caller has
// checked to lie inside `bytes`.
inline uint64_t LoadLittleEndian(std::span<const uint8_t> bytes, size_t pos, size_t count) {
  uint64_t value = 0;
  for (size_t i = 0; i < count; ++i)
    value |= static_cast<uint64_t>(bytes[pos + i]) << (8 * i);
  return value;
}
inline void StoreLittleEndian(std::span<uint8_t> bytes, size_t pos, size_t count, uint64_t value) {
  for (size_t i = 0; i < count; ++i)
    bytes[pos + i] = static_cast<uint8_t>(value >> (8 * i));
}

inline uint16_t LoadU16(std::span<const uint8_t> bytes, size_t pos) {
  return static_cast<uint16_t>(LoadLittleEndian(bytes, pos, 2));
}
inline uint32_t LoadU32(std::span<const uint8_t> bytes, size_t pos) {
  return static_cast<uint32_t>(LoadLittleEndian(bytes, pos, 4));
}

// Checked access: the Read functions return nothing when the value does not
// lie wholly inside `bytes`; the Write functions then write nothing and
// return false.
inline std::optional<uint16_t> ReadU16(std::span<const uint8_t> bytes, size_t pos) {
  if (!InRange(bytes.size(), pos, 2))
    return std::nullopt;
  return LoadU16(bytes, pos);
}
inline std::optional<uint32_t> ReadU32(std::span<const uint8_t> bytes, size_t pos) {
  if (!InRange(bytes.size(), pos, 4))
    return std::nullopt;
  return LoadU32(bytes, pos);
}
// Whether a write into a span was made: kOutside, with nothing written,
// when its bytes do not all lie inside the span.
enum class BoundedWrite { kWritten, kOutside };
[[nodiscard]] inline BoundedWrite WriteU16(std::span<uint8_t> bytes, size_t pos, uint16_t value) {
  if (!InRange(bytes.size(), pos, 2))
    return BoundedWrite::kOutside;
  StoreLittleEndian(bytes, pos, 2, value);
  return BoundedWrite::kWritten;
}
[[nodiscard]] inline BoundedWrite WriteU32(std::span<uint8_t> bytes, size_t pos, uint32_t value) {
  if (!InRange(bytes.size(), pos, 4))
    return BoundedWrite::kOutside;
  StoreLittleEndian(bytes, pos, 4, value);
  return BoundedWrite::kWritten;
}

// A fixed-width text field: its bytes up to the first NUL, at most
// `bytes.size()` characters.
inline std::string FixedText(std::span<const uint8_t> bytes) {
  std::string text;
  for (uint8_t b : bytes) {
    if (b == 0)
      break;
    text.push_back(static_cast<char>(b));
  }
  return text;
}

// Reads one value after the other. Every read is bounds-checked by the
// caller through Has(); the reads themselves never look past the span.
class ByteReader {
 public:
  explicit ByteReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  size_t size() const { return bytes_.size(); }
  size_t pos() const { return pos_; }
  size_t remaining() const { return bytes_.size() - pos_; }
  bool Has(size_t count) const { return count <= remaining(); }
  void Seek(size_t pos) { pos_ = pos <= bytes_.size() ? pos : bytes_.size(); }
  void Skip(size_t count) { pos_ += count <= remaining() ? count : remaining(); }

  // Each returns 0 (or empty) when fewer bytes remain than asked for.
  uint8_t U8() { return Has(1) ? bytes_[pos_++] : 0; }
  uint16_t U16() { return static_cast<uint16_t>(Take(2)); }
  uint32_t U32() { return static_cast<uint32_t>(Take(4)); }
  uint64_t U64() { return Take(8); }
  double F64() {
    const uint64_t bits = U64();
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }
  std::span<const uint8_t> Bytes(size_t count) {
    if (!Has(count))
      count = remaining();
    auto out = bytes_.subspan(pos_, count);
    pos_ += count;
    return out;
  }

 private:
  uint64_t Take(size_t count) {
    if (!Has(count)) {
      pos_ = bytes_.size();
      return 0;
    }
    const uint64_t value = LoadLittleEndian(bytes_, pos_, count);
    pos_ += count;
    return value;
  }

  std::span<const uint8_t> bytes_;
  size_t pos_ = 0;
};

// Appends values to a growing buffer.
class ByteWriter {
 public:
  std::vector<uint8_t>& bytes() { return bytes_; }
  const std::vector<uint8_t>& bytes() const { return bytes_; }
  size_t size() const { return bytes_.size(); }

  void U8(uint8_t value) { bytes_.push_back(value); }
  void U16(uint16_t value) { Put(value, 2); }
  void U32(uint32_t value) { Put(value, 4); }
  void U64(uint64_t value) { Put(value, 8); }
  void F64(double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    U64(bits);
  }
  void Append(std::span<const uint8_t> more) {
    bytes_.insert(bytes_.end(), more.begin(), more.end());
  }
  void Zeros(size_t count) { bytes_.insert(bytes_.end(), count, 0); }
  // Overwrites a value written earlier, once its content is known.
  void PatchU16(size_t at, uint16_t value) { StoreLittleEndian(bytes_, at, 2, value); }
  void PatchU32(size_t at, uint32_t value) { StoreLittleEndian(bytes_, at, 4, value); }

 private:
  void Put(uint64_t value, size_t count) {
    bytes_.resize(bytes_.size() + count);
    StoreLittleEndian(bytes_, bytes_.size() - count, count, value);
  }

  std::vector<uint8_t> bytes_;
};

}  // namespace nuv::common
