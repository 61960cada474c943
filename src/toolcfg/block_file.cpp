#include "toolcfg/block_file.h"

#include <limits>
#include <new>
#include <vector>

#include "platform/input_file.h"
#include "platform/output_file.h"
#include "platform/paths.h"

namespace nuv::toolcfg {
namespace {

constexpr std::string_view kNotFound = "Save failed! Block name or ID can not find in flash!";
constexpr std::string_view kDone = "The Block have been saved!";
constexpr size_t kNameLength = 8;

// A text as a C comparison sees it: up to its first zero byte, at most
// `length` characters.
std::string_view CText(std::string_view text, size_t length) {
  text = text.substr(0, std::min(length, text.size()));
  return text.substr(0, text.find('\0'));
}

std::filesystem::path FilePath(std::string_view path) {
  const platform::NativePath native = platform::ToNativePath(path);
  return native.ok() ? native.value() : std::filesystem::path();
}

// Reads the whole file; reports its own failures.
std::optional<std::vector<uint8_t>> ReadWholeFile(std::string_view path, Messages& messages) {
  platform::Result<platform::InputFile> opened = platform::InputFile::Open(FilePath(path));
  if (!opened.ok()) {
    messages.Show(BoxCaption::Error, "error to open load block bin  file ");
    return std::nullopt;
  }
  platform::InputFile& in = opened.value();
  if (in.size() == 0) {
    messages.Show(BoxCaption::Error, "The load file is 0 bytes!");
    return std::nullopt;
  }
  // A block's size is a 32-bit number.
  if (in.size() > std::numeric_limits<uint32_t>::max()) {
    messages.Show(BoxCaption::Error, "no memery!");
    return std::nullopt;
  }
  std::vector<uint8_t> bytes;
  try {
    bytes.resize(static_cast<size_t>(in.size()));
  } catch (const std::bad_alloc&) {
    messages.Show(BoxCaption::Error, "no memery!");
    return std::nullopt;
  }
  if (in.ReadInto(bytes) != bytes.size()) {
    messages.Show(BoxCaption::Error, "error to load block bin  file ");
    return std::nullopt;
  }
  return bytes;
}

}  // namespace

std::optional<size_t> FindPickedBlock(const image::BlockTable& snapshot, std::string_view name,
                                      uint8_t id) {
  const std::string_view wanted = CText(name, kNameLength);
  for (size_t k = 0; k < snapshot.records.size(); ++k) {
    const image::BlockEntry& entry = snapshot.records[k].entry;
    if (entry.block_id() == id && CText(entry.name(), kNameLength) == wanted)
      return k;
  }
  return std::nullopt;
}

BlockFileResult SaveBlockFile(const image::FlashImage& image, std::string_view name, uint8_t id,
                              std::string_view path, Messages& messages) {
  if (path.empty()) {
    messages.Show(BoxCaption::Error, "Please select output file!");
    return BlockFileResult::kNoPath;
  }
  const std::optional<size_t> k = FindPickedBlock(image.snapshot, name, id);
  if (!k) {
    messages.Show(BoxCaption::Application, kNotFound);
    return BlockFileResult::kNotFound;
  }
  const image::BlockRecord& record = image.snapshot.records[*k];
  // The block as the loaded file holds it; one reaching past the end of the
  // file is a short write, and the target is not touched.
  const std::span<const uint8_t> loaded = image.bytes();
  const uint64_t start = uint64_t{record.header_offset} + record.entry.offset();
  const uint64_t size = record.entry.size();
  if (start > loaded.size() || size > loaded.size() - start) {
    messages.Show(BoxCaption::Error, "error to write block bin  file ");
    return BlockFileResult::kFileError;
  }
  const platform::WriteResult written =
      platform::WriteFileReplacing(FilePath(path), loaded.subspan(start, size));
  if (!written.ok()) {
    messages.Show(BoxCaption::Error, written.failure().kind == platform::WriteError::kCannotWrite
                                         ? "error to write block bin  file "
                                         : "error to save block bin  file ");
    return BlockFileResult::kFileError;
  }
  messages.Show(BoxCaption::Application, kDone);
  return BlockFileResult::kDone;
}

BlockFileResult LoadBlockFile(image::FlashImage& image, std::string_view name, uint8_t id,
                              std::string_view path, Messages& messages) {
  if (path.empty()) {
    messages.Show(BoxCaption::Error, "Please select load file!");
    return BlockFileResult::kNoPath;
  }
  const std::optional<size_t> k = FindPickedBlock(image.snapshot, name, id);
  if (!k || *k >= image.table.records.size()) {
    messages.Show(BoxCaption::Application, kNotFound);
    return BlockFileResult::kNotFound;
  }
  std::optional<std::vector<uint8_t>> bytes = ReadWholeFile(path, messages);
  if (!bytes)
    return BlockFileResult::kFileError;
  image::BlockRecord& record = image.table.records[*k];
  record.entry.set_size(static_cast<uint32_t>(bytes->size()));
  record.data.Replace(std::move(*bytes));
  messages.Show(BoxCaption::Application, kDone);
  return BlockFileResult::kDone;
}

}  // namespace nuv::toolcfg
