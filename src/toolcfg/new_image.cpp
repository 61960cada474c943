#include "toolcfg/new_image.h"

#include <algorithm>

#include "image/crc32.h"
#include "image/dm_header.h"
#include "platform/output_file.h"
#include "platform/paths.h"

namespace nuv::toolcfg {
namespace {

// Copies `from` to out + pos, as far as `out` reaches.
void CopyInto(std::span<uint8_t> out, uint64_t pos, std::span<const uint8_t> from) {
  if (pos >= out.size())
    return;
  const size_t room = out.size() - static_cast<size_t>(pos);
  const size_t length = std::min(room, from.size());
  std::copy_n(from.begin(), length, out.begin() + static_cast<std::ptrdiff_t>(pos));
}

}  // namespace

uint32_t NextBankOffset(const image::BlockTable& table, size_t k) {
  if (k >= table.records.size())
    return 0;
  const uint32_t own = table.records[k].header_offset;
  for (size_t i = k + 1; i < table.records.size(); ++i) {
    if (table.records[i].header_offset != own)
      return table.records[i].header_offset;
  }
  return 0;
}

void RebuildBankHeader(std::span<uint8_t> out, std::span<const uint8_t> loaded,
                       const image::BlockTable& table, size_t k, uint32_t head_from) {
  if (k >= table.records.size())
    return;
  const image::BlockRecord& own = table.records[k];
  const uint64_t h = own.header_offset;
  if (head_from < loaded.size()) {
    const size_t available = std::min(image::kDmHeaderFixedSize, loaded.size() - head_from);
    CopyInto(out, h, loaded.subspan(head_from, available));
  }
  uint64_t n = 0;
  for (const image::BlockRecord& record : table.records) {
    if (record.bank != own.bank)
      continue;
    CopyInto(out, h + image::kDmEntriesOffset + image::kBlockEntrySize * n, record.entry.bytes());
    ++n;
  }
}

std::optional<std::vector<uint8_t>> LayOutNewImage(image::BlockTable& table,
                                                   std::span<const uint8_t> loaded,
                                                   uint32_t image_length, Messages& messages) {
  std::vector<uint8_t> out(image_length);
  std::copy_n(loaded.begin(), std::min<size_t>(loaded.size(), image_length), out.begin());

  // Where each bank's header was before anything moved: a moved header
  // takes its head bytes from there.
  std::vector<uint32_t> head_from;
  head_from.reserve(table.records.size());
  for (const image::BlockRecord& record : table.records)
    head_from.push_back(record.header_offset);

  auto& records = table.records;
  uint32_t bank = 0;      // c: the bank being laid out, counted from 1
  uint64_t end = 0;       // e: where the last placed block of the bank ends
  uint64_t previous = 0;  // p: where the bank before ended
  for (size_t i = 0; i < records.size(); ++i) {
    image::BlockRecord& record = records[i];
    if (!record.entry.has_no_crc())
      record.entry.set_crc(image::UpdateCrc(image::kCrcStart, image::SizedData(record)));
    const uint8_t id = record.entry.block_id();
    if (IsAlignedBlock(id) && record.entry.offset() % kBlockAlignment != 0) {
      const uint64_t aligned =
          (uint64_t{record.entry.offset()} / kBlockAlignment + 1) * kBlockAlignment;
      record.entry.set_offset(static_cast<uint32_t>(aligned));
    }
    if (record.bank != bank) {
      ++bank;
      if (bank == 2) {
        const uint32_t boot_room = NextBankOffset(table, 0) - records[0].header_offset;
        if (end > boot_room) {
          messages.Show(BoxCaption::Application, kBootloaderOutOfRange);
          return std::nullopt;
        }
      }
      if (i > 0) {
        previous = end;
        RebuildBankHeader(out, loaded, table, i - 1, head_from[i - 1]);
      }
      end = 0;
    }
    if (previous > record.header_offset)
      record.header_offset = static_cast<uint32_t>(previous);
    const uint64_t start = uint64_t{record.header_offset} + record.entry.offset();
    end = start + record.entry.size();
    if (i + 1 < records.size()) {
      image::BlockRecord& next = records[i + 1];
      if (end > uint64_t{next.header_offset} + next.entry.offset())
        next.entry.set_offset(static_cast<uint32_t>(end - next.header_offset));
    }
    if (end > image_length) {
      messages.Show(BoxCaption::Application, kOutOfRange);
      return std::nullopt;
    }
    CopyInto(out, start, image::SizedData(record));
  }
  if (!records.empty())
    RebuildBankHeader(out, loaded, table, records.size() - 1, head_from.back());
  return out;
}

NewImageResult WriteNewImage(image::FlashImage& image, std::string_view path, Messages& messages) {
  const std::optional<std::vector<uint8_t>> out =
      LayOutNewImage(image.table, image.bytes(), image.image_length, messages);
  if (!out)
    return NewImageResult::kNotLaidOut;
  const platform::NativePath target = platform::ToNativePath(path);
  if (path.empty() || !target.ok() || !platform::WriteFileReplacing(target.value(), *out).ok()) {
    messages.Show(BoxCaption::Application, "Error: Generate new flash failed");
    return NewImageResult::kNotWritten;
  }
  messages.Show(BoxCaption::Application, "The New Flash File Created Successful!");
  return NewImageResult::kWritten;
}

}  // namespace nuv::toolcfg
