#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "workbook/exchange.h"
#include "workbook/variant.h"

namespace nuv::workbook {

// The working files of lzma.exe in the exchange's work folder F: F\npreset
// holds the unpacked table, F\npreset.7z the packed one. Each pack or
// unpack deletes both before it starts and leaves both behind.
inline constexpr std::string_view kUnpackedPresetFile = "npreset";
inline constexpr std::string_view kPackedPresetFile = "npreset.7z";
inline constexpr std::string_view kNoOutputFile = "error to open output file!";

// Packs `input` with "lzma.exe e "F\npreset" "F\npreset.7z"", run through
// the exchange's runner and waited for (polling every 100 ms, without a
// time limit), and reads the packed file into `output`. Unpacks the same
// way with "lzma.exe d "F\npreset.7z" "F\npreset"".
//
// True when lzma's output file could be read back. False when the input
// file cannot be written (no message), when lzma left no output file
// (lzma missing, failing, or the input not its format: "error to open
// output file!"), and, with a message of their own, when a leftover output
// file cannot be removed before the run (it could pass for the new one) or
// the output is larger than the 2 MiB that a table may take. lzma's exit
// code is not looked at: its output file's existence is the success.
bool PackPreset(WorkbookExchange& exchange, std::vector<std::uint8_t>& output,
                std::span<const std::uint8_t> input);
bool UnpackPreset(WorkbookExchange& exchange, std::vector<std::uint8_t>& output,
                  std::span<const std::uint8_t> input);

// Makes the "Program" sheet's values (rows x columns from A1) into a
// preset table (BuildPresetTable), packs it, and makes the packed bytes the
// data of the "preset" block, its size their number. When the sheet does
// not fit the table, packing fails, or the image has no "preset" block
// ("ERROR!! can not find block[preset]in dmh!"), the block keeps its
// content; the message has been shown. True when the block was replaced.
bool PackPresetSheet(WorkbookExchange& exchange, const ValueArray& values, std::uint32_t rows,
                     std::uint32_t columns);

}  // namespace nuv::workbook
