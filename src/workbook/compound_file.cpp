#include "workbook/compound_file.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "common/bytes.h"
#include "platform/errors.h"
#include "workbook/utf16.h"

namespace nuv::workbook {
namespace {

constexpr std::array<std::uint8_t, 8> kSignature = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
constexpr std::uint32_t kFreeSector = 0xFFFFFFFF;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kFatSector = 0xFFFFFFFD;
constexpr std::uint32_t kDifatSector = 0xFFFFFFFC;
constexpr std::uint32_t kNoStream = 0xFFFFFFFF;
constexpr std::uint32_t kMiniSectorSize = 64;
constexpr std::uint32_t kMiniStreamCutoff = 4096;
constexpr std::size_t kDirectoryEntrySize = 128;
constexpr std::size_t kHeaderDifatEntries = 109;
constexpr std::uint8_t kTypeStream = 2;
constexpr std::uint8_t kTypeRoot = 5;

[[noreturn]] void Damaged(const std::string& why) {
  throw AutomationError("the compound file is damaged: " + why);
}

class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> file) : file_(file) {
    if (!IsCompoundFile(file) || file.size() < 512)
      Damaged("it does not start with the compound file signature");
    std::uint16_t major = common::LoadU16(file, 0x1A);
    std::uint16_t shift = common::LoadU16(file, 0x1E);
    if (!((major == 3 && shift == 9) || (major == 4 && shift == 12)))
      Damaged("unsupported version " + std::to_string(major) + " with sector shift " +
              std::to_string(shift));
    if (common::LoadU16(file, 0x20) != 6)
      Damaged("the mini sector size is not 64 bytes");
    sector_size_ = 1u << shift;
    major_ = major;
    if (file.size() < sector_size_)
      Damaged("the file ends inside its header");
    sector_count_ = (file.size() - sector_size_ + sector_size_ - 1) / sector_size_;
    cutoff_ = common::LoadU32(file, 0x38);
    ReadFat();
  }

  std::optional<std::vector<std::uint8_t>> Stream(std::u16string_view name) {
    std::vector<std::uint8_t> directory =
        ReadUnboundedChain(common::LoadU32(file_, 0x30), "directory");
    std::size_t entries = directory.size() / kDirectoryEntrySize;
    if (entries == 0 || directory[0x42] != kTypeRoot)
      Damaged("the directory has no root entry");
    auto entry = [&](std::size_t i) {
      return std::span<const std::uint8_t>(directory).subspan(i * kDirectoryEntrySize,
                                                              kDirectoryEntrySize);
    };
    // Walk the root's children (a binary tree by left and right siblings),
    // visiting each entry at most once whatever the links say.
    std::vector<bool> seen(entries, false);
    std::vector<std::uint32_t> pending = {common::LoadU32(entry(0), 0x4C)};
    while (!pending.empty()) {
      std::uint32_t index = pending.back();
      pending.pop_back();
      if (index == kNoStream)
        continue;
      if (index >= entries || seen[index])
        Damaged("the directory tree refers to entry " + std::to_string(index) +
                " twice or past its end");
      seen[index] = true;
      auto e = entry(index);
      pending.push_back(common::LoadU32(e, 0x44));
      pending.push_back(common::LoadU32(e, 0x48));
      if (e[0x42] != kTypeStream)
        continue;
      std::uint16_t name_bytes = common::LoadU16(e, 0x40);
      if (name_bytes < 2 || name_bytes > 64 || name_bytes % 2 != 0)
        continue;
      std::u16string entry_name;
      for (std::size_t k = 0; k + 2 < name_bytes; k += 2)
        entry_name.push_back(static_cast<char16_t>(common::LoadU16(e, k)));
      if (!SameTextIgnoringCase(entry_name, name))
        continue;
      std::uint64_t size = major_ == 3
                               ? common::LoadU32(e, 0x78)
                               : (static_cast<std::uint64_t>(common::LoadU32(e, 0x7C)) << 32) |
                                     common::LoadU32(e, 0x78);
      std::uint32_t start = common::LoadU32(e, 0x74);
      if (size < cutoff_)
        return ReadMini(entry(0), start, size);
      return ReadChain(
          fat_, start, size, sector_size_, [&](std::uint32_t s) { return SectorBytes(s); },
          "stream");
    }
    return std::nullopt;
  }

 private:
  // The bytes of sector s; the last sector of a file may be short.
  std::span<const std::uint8_t> SectorBytes(std::uint32_t s) const {
    std::size_t at = (static_cast<std::size_t>(s) + 1) * sector_size_;
    if (s >= sector_count_ || at >= file_.size())
      return {};
    return file_.subspan(at, std::min<std::size_t>(sector_size_, file_.size() - at));
  }

  void ReadFat() {
    std::uint32_t fat_sectors = common::LoadU32(file_, 0x2C);
    if (fat_sectors > sector_count_)
      Damaged("it lists " + std::to_string(fat_sectors) + " FAT sectors in a file of " +
              std::to_string(sector_count_) + " sectors");
    std::vector<std::uint32_t> locations;
    for (std::size_t i = 0; i < kHeaderDifatEntries && locations.size() < fat_sectors; ++i)
      locations.push_back(common::LoadU32(file_, 0x4C + 4 * i));
    std::uint32_t difat = common::LoadU32(file_, 0x44);
    std::vector<bool> seen(sector_count_, false);
    const std::size_t per_sector = sector_size_ / 4 - 1;
    while (locations.size() < fat_sectors) {
      if (difat >= sector_count_ || seen[difat])
        Damaged("the chain of DIFAT sectors loops or leaves the file");
      seen[difat] = true;
      auto bytes = SectorBytes(difat);
      if (bytes.size() < sector_size_)
        Damaged("the file ends inside a DIFAT sector");
      for (std::size_t i = 0; i < per_sector && locations.size() < fat_sectors; ++i)
        locations.push_back(common::LoadU32(bytes, 4 * i));
      difat = common::LoadU32(bytes, 4 * per_sector);
    }
    fat_.reserve(locations.size() * (sector_size_ / 4));
    for (std::uint32_t location : locations) {
      if (location >= sector_count_)
        Damaged("a FAT sector lies past the end of the file");
      auto bytes = SectorBytes(location);
      if (bytes.size() < sector_size_)
        Damaged("the file ends inside a FAT sector");
      for (std::size_t i = 0; i < sector_size_; i += 4)
        fat_.push_back(common::LoadU32(bytes, i));
    }
  }

  // Follows a chain of units (sectors or mini sectors) through table and
  // collects size bytes. unit(s) returns the bytes of unit s.
  template <typename Unit>
  std::vector<std::uint8_t> ReadChain(const std::vector<std::uint32_t>& table, std::uint32_t start,
                                      std::uint64_t size, std::uint32_t unit_size, Unit unit,
                                      const char* what) const {
    std::size_t units = table.size();
    std::size_t present = unit_size == sector_size_ ? std::min(units, sector_count_) : units;
    if (size > static_cast<std::uint64_t>(present) * unit_size)
      Damaged(std::string("a ") + what + " of " + std::to_string(size) +
              " bytes cannot fit in the file");
    std::vector<std::uint8_t> out;
    out.reserve(static_cast<std::size_t>(size));
    std::vector<bool> seen(units, false);
    std::uint32_t current = start;
    while (out.size() < size) {
      if (current >= units || seen[current])
        Damaged(std::string("the chain of a ") + what + " loops or ends early");
      seen[current] = true;
      auto bytes = unit(current);
      std::size_t take = std::min<std::uint64_t>(bytes.size(), size - out.size());
      if (take < std::min<std::uint64_t>(unit_size, size - out.size()))
        Damaged(std::string("the file ends inside a ") + what);
      out.insert(out.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(take));
      current = table[current];
    }
    return out;
  }

  // A chain of whole sectors read until its end marker.
  std::vector<std::uint8_t> ReadUnboundedChain(std::uint32_t start, const char* what) const {
    std::vector<std::uint8_t> out;
    std::vector<bool> seen(fat_.size(), false);
    for (std::uint32_t current = start; current != kEndOfChain; current = fat_[current]) {
      if (current >= fat_.size() || current >= sector_count_ || seen[current])
        Damaged(std::string("the chain of the ") + what + " loops or leaves the file");
      seen[current] = true;
      auto bytes = SectorBytes(current);
      if (bytes.size() < sector_size_)
        Damaged(std::string("the file ends inside the ") + what);
      out.insert(out.end(), bytes.begin(), bytes.end());
    }
    return out;
  }

  std::vector<std::uint8_t> ReadMini(std::span<const std::uint8_t> root, std::uint32_t start,
                                     std::uint64_t size) {
    if (size == 0)
      return {};
    if (!mini_loaded_) {
      mini_loaded_ = true;
      std::uint64_t stream_size = common::LoadU32(root, 0x78);
      mini_stream_ = ReadChain(
          fat_, common::LoadU32(root, 0x74), stream_size, sector_size_,
          [&](std::uint32_t s) { return SectorBytes(s); }, "mini stream");
      std::uint32_t mini_fat_start = common::LoadU32(file_, 0x3C);
      std::vector<std::uint8_t> mini_fat_bytes =
          mini_fat_start == kEndOfChain ? std::vector<std::uint8_t>()
                                        : ReadUnboundedChain(mini_fat_start, "mini FAT");
      std::size_t usable =
          std::min<std::size_t>(mini_fat_bytes.size() / 4, mini_stream_.size() / kMiniSectorSize);
      for (std::size_t i = 0; i < usable; ++i)
        mini_fat_.push_back(common::LoadU32(mini_fat_bytes, 4 * i));
    }
    std::span<const std::uint8_t> stream(mini_stream_);
    return ReadChain(
        mini_fat_, start, size, kMiniSectorSize,
        [&](std::uint32_t s) { return stream.subspan(s * kMiniSectorSize, kMiniSectorSize); },
        "small stream");
  }

  std::span<const std::uint8_t> file_;
  std::uint32_t sector_size_ = 512;
  std::uint16_t major_ = 3;
  std::size_t sector_count_ = 0;
  std::uint32_t cutoff_ = kMiniStreamCutoff;
  std::vector<std::uint32_t> fat_;
  bool mini_loaded_ = false;
  std::vector<std::uint8_t> mini_stream_;
  std::vector<std::uint32_t> mini_fat_;
};

// Directory order: shorter names first, then by upper-case code units.
bool DirectoryLess(const std::u16string& a, const std::u16string& b) {
  if (a.size() != b.size())
    return a.size() < b.size();
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto upper = [](char16_t c) {
      return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c;
    };
    if (upper(a[i]) != upper(b[i]))
      return upper(a[i]) < upper(b[i]);
  }
  return false;
}

struct DirectoryEntry {
  std::u16string name;
  std::uint8_t type = 0;
  std::uint32_t left = kNoStream, right = kNoStream, child = kNoStream;
  std::uint32_t start = kEndOfChain;
  std::uint64_t size = 0;
};

// Links entries [first, last) of a sorted list into a balanced tree; returns
// the directory index of its top.
std::uint32_t LinkBalanced(std::vector<DirectoryEntry>& entries, std::size_t first,
                           std::size_t last) {
  if (first >= last)
    return kNoStream;
  std::size_t middle = first + (last - first) / 2;
  entries[middle].left = LinkBalanced(entries, first, middle);
  entries[middle].right = LinkBalanced(entries, middle + 1, last);
  return static_cast<std::uint32_t>(middle);
}

void WriteEntry(common::ByteWriter& out, const DirectoryEntry& e) {
  std::size_t chars = std::min<std::size_t>(e.name.size(), 31);
  for (std::size_t i = 0; i < chars; ++i)
    out.U16(e.name[i]);
  out.Zeros(64 - 2 * chars);
  out.U16(e.type == 0 ? 0 : static_cast<std::uint16_t>(2 * (chars + 1)));
  out.U8(e.type);
  out.U8(1);  // black
  out.U32(e.left);
  out.U32(e.right);
  out.U32(e.child);
  out.Zeros(16 + 4 + 8 + 8);  // class id, state bits, creation and modification times
  out.U32(e.type == 0 ? 0 : e.start);
  out.U64(e.size);
}

}  // namespace

bool IsCompoundFile(std::span<const std::uint8_t> file) {
  return file.size() >= kSignature.size() &&
         std::equal(kSignature.begin(), kSignature.end(), file.begin());
}

std::optional<std::vector<std::uint8_t>> ReadCompoundStream(std::span<const std::uint8_t> file,
                                                            std::u16string_view name) {
  Reader reader(file);
  return reader.Stream(name);
}

std::vector<std::uint8_t> WriteCompoundFile(std::span<const CompoundStream> streams,
                                            int major_version) {
  const std::uint32_t sector_size = major_version == 4 ? 4096 : 512;
  const std::uint32_t per_sector = sector_size / 4;
  auto sectors_for = [&](std::size_t bytes) { return (bytes + sector_size - 1) / sector_size; };

  // Directory: the root, then the streams in directory order.
  std::vector<DirectoryEntry> entries(1);
  entries[0].name = u"Root Entry";
  entries[0].type = kTypeRoot;
  std::vector<const CompoundStream*> sorted;
  for (const CompoundStream& s : streams)
    sorted.push_back(&s);
  std::sort(sorted.begin(), sorted.end(), [](const CompoundStream* a, const CompoundStream* b) {
    return DirectoryLess(a->name, b->name);
  });
  std::vector<std::uint32_t> fat;
  std::vector<std::uint32_t> mini_fat;
  common::ByteWriter big;   // sectors of the large streams
  common::ByteWriter mini;  // the mini stream
  auto chain = [](std::vector<std::uint32_t>& table, std::size_t units) {
    std::uint32_t first = static_cast<std::uint32_t>(table.size());
    for (std::size_t i = 0; i < units; ++i)
      table.push_back(i + 1 == units ? kEndOfChain : static_cast<std::uint32_t>(table.size() + 1));
    return units == 0 ? kEndOfChain : first;
  };
  for (const CompoundStream* s : sorted) {
    DirectoryEntry e;
    e.name = s->name;
    e.type = kTypeStream;
    e.size = s->data.size();
    if (s->data.size() >= kMiniStreamCutoff) {
      e.start = chain(fat, sectors_for(s->data.size()));
      big.Append(s->data);
      big.Zeros(sectors_for(big.size()) * sector_size - big.size());
    } else {
      std::size_t units = (s->data.size() + kMiniSectorSize - 1) / kMiniSectorSize;
      e.start = chain(mini_fat, units);
      mini.Append(s->data);
      mini.Zeros(units * kMiniSectorSize - s->data.size());
    }
    entries.push_back(std::move(e));
  }
  entries[0].child = LinkBalanced(entries, 1, entries.size());

  // The mini stream, the mini FAT and the directory take sectors after the
  // large streams.
  entries[0].size = mini.size();
  entries[0].start = chain(fat, sectors_for(mini.size()));
  common::ByteWriter mini_fat_bytes;
  for (std::uint32_t v : mini_fat)
    mini_fat_bytes.U32(v);
  std::size_t mini_fat_sectors = sectors_for(mini_fat_bytes.size());
  std::uint32_t mini_fat_start = chain(fat, mini_fat_sectors);
  std::size_t entries_per_sector = sector_size / kDirectoryEntrySize;
  std::size_t directory_sectors = (entries.size() + entries_per_sector - 1) / entries_per_sector;
  std::uint32_t directory_start = chain(fat, directory_sectors);

  // FAT and DIFAT sectors describe themselves too: grow them until they fit.
  std::size_t fat_sectors = 0, difat_sectors = 0;
  for (;;) {
    std::size_t total = fat.size() + fat_sectors + difat_sectors;
    std::size_t need_fat = (total + per_sector - 1) / per_sector;
    std::size_t need_difat =
        need_fat > kHeaderDifatEntries
            ? (need_fat - kHeaderDifatEntries + per_sector - 2) / (per_sector - 1)
            : 0;
    if (need_fat == fat_sectors && need_difat == difat_sectors)
      break;
    fat_sectors = need_fat;
    difat_sectors = need_difat;
  }
  std::uint32_t fat_start = static_cast<std::uint32_t>(fat.size());
  fat.insert(fat.end(), fat_sectors, kFatSector);
  std::uint32_t difat_start = static_cast<std::uint32_t>(fat.size());
  fat.insert(fat.end(), difat_sectors, kDifatSector);
  fat.resize(fat_sectors * per_sector, kFreeSector);

  common::ByteWriter out;
  out.Append(kSignature);
  out.Zeros(16);
  out.U16(0x003E);
  out.U16(static_cast<std::uint16_t>(major_version == 4 ? 4 : 3));
  out.U16(0xFFFE);
  out.U16(major_version == 4 ? 12 : 9);
  out.U16(6);
  out.Zeros(6);
  out.U32(major_version == 4 ? static_cast<std::uint32_t>(directory_sectors) : 0);
  out.U32(static_cast<std::uint32_t>(fat_sectors));
  out.U32(directory_start);
  out.U32(0);
  out.U32(kMiniStreamCutoff);
  out.U32(mini_fat_sectors ? mini_fat_start : kEndOfChain);
  out.U32(static_cast<std::uint32_t>(mini_fat_sectors));
  out.U32(difat_sectors ? difat_start : kEndOfChain);
  out.U32(static_cast<std::uint32_t>(difat_sectors));
  for (std::size_t i = 0; i < kHeaderDifatEntries; ++i)
    out.U32(i < fat_sectors ? fat_start + static_cast<std::uint32_t>(i) : kFreeSector);
  out.Zeros(sector_size - out.size());

  auto pad = [&] { out.Zeros((sector_size - out.size() % sector_size) % sector_size); };
  out.Append(big.bytes());
  out.Append(mini.bytes());
  pad();
  out.Append(mini_fat_bytes.bytes());
  pad();
  for (const DirectoryEntry& e : entries)
    WriteEntry(out, e);
  for (std::size_t i = entries.size(); i < directory_sectors * entries_per_sector; ++i)
    WriteEntry(out, DirectoryEntry{});
  for (std::uint32_t v : fat)
    out.U32(v);
  // DIFAT sectors list the FAT sectors beyond the header's 109, each ending
  // with the next DIFAT sector.
  std::size_t listed = kHeaderDifatEntries;
  for (std::size_t d = 0; d < difat_sectors; ++d) {
    for (std::size_t i = 0; i + 1 < per_sector; ++i, ++listed)
      out.U32(listed < fat_sectors ? fat_start + static_cast<std::uint32_t>(listed) : kFreeSector);
    out.U32(d + 1 < difat_sectors ? difat_start + static_cast<std::uint32_t>(d + 1) : kEndOfChain);
  }
  return std::move(out.bytes());
}

}  // namespace nuv::workbook
