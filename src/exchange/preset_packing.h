#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "exchange/exchange.h"
#include "workbook/variant.h"

namespace nuv::exchange {

// The working files of lzma.exe in the exchange's work folder F (by default
// this process's working folder): F\npreset holds the unpacked table,
// F\npreset.7z the packed one. Each pack or unpack deletes both before it
// starts and leaves both behind.
inline constexpr std::string_view kUnpackedPresetFile = "npreset";
inline constexpr std::string_view kPackedPresetFile = "npreset.7z";
inline constexpr std::string_view kNoOutputFile = "error to open output file!";

// Packs `input` with "lzma.exe e "F\npreset" "F\npreset.7z"", run through
// the exchange's runner and waited for (polling every 100 ms, without a
// time limit), and reads the packed file back. Unpacks the same way with
// "lzma.exe d "F\npreset.7z" "F\npreset"".
//
// The bytes, when lzma ended with exit code 0 and its output file could be
// read back. Nothing when the input file cannot be written (no message); when
// lzma could not be started, failed (the input not its format, or cut
// short) or left no output file: "error to open output file!", followed,
// when lzma could not be started at all, by a box that says why
// (CommandRunner::start_error); and, with a message of their own, when the
// work folder cannot be had, when a leftover output file cannot be removed
// before the run (it could pass for the new one) or the output is larger
// than the 2 MiB that a table may take. What a failed run wrote is never
// read.
[[nodiscard]] std::optional<std::vector<std::uint8_t>> PackPreset(
    WorkbookExchange& exchange, std::span<const std::uint8_t> input);
[[nodiscard]] std::optional<std::vector<std::uint8_t>> UnpackPreset(
    WorkbookExchange& exchange, std::span<const std::uint8_t> input);

// Makes the "Program" sheet's values (rows x columns from A1) into a
// preset table (BuildPresetTable), packs it, and makes the packed bytes the
// data of the "preset" block, its size their number. A sheet that still
// shows exactly what the export shows for the block (SheetShowsPresetTable
// of the block unpacked) leaves the block as it is, unpacked and packed
// alike. kStored when the block holds the sheet's table, kept or replaced;
// kNotStored when the sheet does not fit the table, packing fails, or the
// image has no "preset" block ("ERROR!! can not find block[preset]in
// dmh!"): the block keeps its content, and the message has been shown.
enum class PresetSheetResult { kStored, kNotStored };
[[nodiscard]] PresetSheetResult PackPresetSheet(WorkbookExchange& exchange,
                                                const workbook::ValueArray& values,
                                                std::uint32_t rows, std::uint32_t columns);

}  // namespace nuv::exchange
