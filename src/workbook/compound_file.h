#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace nuv::workbook {

// The compound file (OLE2 structured storage) that holds the streams of an
// Excel 97 workbook. We read and write only what a workbook needs: streams
// directly under the root storage.

// True when the bytes start with the compound file signature.
bool IsCompoundFile(std::span<const std::uint8_t> file);

// The content of the stream called name (matched without regard to case)
// under the root storage, or none when there is no such stream. Handles
// 512- and 4096-byte sectors, the mini stream, and FAT sectors listed
// beyond the header. Every chain, count and size read from the file is
// bounded by the file's size, and a chain that loops or leaves the file
// raises nuv::AutomationError saying what is wrong.
std::optional<std::vector<std::uint8_t>> ReadCompoundStream(std::span<const std::uint8_t> file,
                                                            std::u16string_view name);

struct CompoundStream {
  std::u16string name;
  std::span<const std::uint8_t> data;
};

// A compound file holding the streams under its root: version 3 (512-byte
// sectors) or 4 (4096-byte sectors). Streams below 4096 bytes go to the mini
// stream, larger ones to sectors of their own.
std::vector<std::uint8_t> WriteCompoundFile(std::span<const CompoundStream> streams,
                                            int major_version = 3);

}  // namespace nuv::workbook
