#include "exchange/preset_packing.h"

#include <chrono>
#include <optional>
#include <string>
#include <system_error>
#include <thread>

#include "exchange/preset_table.h"
#include "platform/command_line.h"
#include "platform/input_file.h"
#include "platform/output_file.h"
#include "platform/paths.h"
#include "toolcfg/block_lookup.h"

namespace nuv::exchange {

using workbook::ValueArray;

namespace {

// One run of lzma.exe over the two working files.
struct LzmaRun {
  char command;             // 'e' packs, 'd' unpacks
  std::string_view input;   // the file written from the caller's bytes
  std::string_view output;  // the file lzma writes
};

constexpr LzmaRun kPack{'e', kUnpackedPresetFile, kPackedPresetFile};
constexpr LzmaRun kUnpack{'d', kPackedPresetFile, kUnpackedPresetFile};

// A name in lzma's command line, in double quotes as the tool writes it. A
// folder whose name holds a double quote is quoted so that the command
// line still reads back as that name.
std::string CommandArgument(const std::string& name) {
  if (name.find('"') == std::string::npos)
    return "\"" + name + "\"";
  return platform::QuoteWindowsArgument(name);
}

// Deletes a working file left by an earlier run; false when it is still
// there afterwards.
bool RemoveLeftover(const std::filesystem::path& file) {
  std::error_code error;
  std::filesystem::remove(file, error);
  return !std::filesystem::exists(std::filesystem::symlink_status(file, error));
}

std::optional<std::vector<std::uint8_t>> Run(WorkbookExchange& exchange, const LzmaRun& run,
                                             std::span<const std::uint8_t> input) {
  std::error_code error;
  std::filesystem::path folder = exchange.work_folder;
  if (folder.empty()) {
    const platform::NativePath own = platform::WorkingFolder();
    if (!own.ok()) {
      exchange.messages.Show(BoxCaption::Application, own.error());
      return std::nullopt;
    }
    folder = own.value();
  }
  folder = std::filesystem::absolute(folder, error);
  const std::filesystem::path packed = folder / kPackedPresetFile;
  const std::filesystem::path unpacked = folder / kUnpackedPresetFile;
  const std::filesystem::path out_file = folder / run.output;
  const bool packed_gone = RemoveLeftover(packed);
  const bool unpacked_gone = RemoveLeftover(unpacked);
  if (!(run.output == kPackedPresetFile ? packed_gone : unpacked_gone)) {
    exchange.messages.Show(BoxCaption::Application,
                           "The working file " + out_file.string() +
                               " of an earlier run cannot be removed, so lzma's output could not "
                               "be told from it.");
    return std::nullopt;
  }
  if (!platform::WriteFileReplacing(folder / run.input, input).ok())
    return std::nullopt;

  // The names are the folder followed by "\npreset" and "\npreset.7z"; the
  // runner maps them to native paths.
  const std::string base = folder.string() + "\\";
  const std::string command_line = std::string("lzma.exe ") + run.command + " " +
                                   CommandArgument(base + std::string(run.input)) + " " +
                                   CommandArgument(base + std::string(run.output));
  static_cast<void>(exchange.runner.Start(command_line, false));
  while (exchange.runner.IsRunning())
    std::this_thread::sleep_for(std::chrono::milliseconds(100));

  // lzma writes what it decoded before it met damaged or cut data, and then
  // fails: that output must not pass for the table.
  const bool succeeded = exchange.runner.ExitStatus() == 0;
  platform::Result<platform::InputFile> in =
      succeeded ? platform::InputFile::Open(out_file) : platform::Failure{"lzma failed"};
  if (!in.ok()) {
    exchange.messages.Show(BoxCaption::Application, kNoOutputFile);
    if (!exchange.runner.start_error().empty())
      exchange.messages.Show(BoxCaption::Application, exchange.runner.start_error());
    return std::nullopt;
  }
  const std::uint64_t length = in.value().size();
  if (length > kPresetBufferSize) {
    exchange.messages.Show(BoxCaption::Application,
                           "lzma's output " + out_file.string() + " holds " +
                               std::to_string(length) +
                               " bytes, more than the 2 MiB (2097152 bytes) a preset table may "
                               "take; it was not used.");
    return std::nullopt;
  }
  std::optional<std::vector<std::uint8_t>> bytes =
      in.value().ReadAll(static_cast<std::size_t>(length));
  if (!bytes || bytes->size() != length) {
    exchange.messages.Show(BoxCaption::Application, kNoOutputFile);
    return std::nullopt;
  }
  return bytes;
}

// Whether the sheet still shows what the export put on it for the
// "preset" block as it stands. Its packed bytes are then kept: packing the
// sheet again would give other bytes (lzma's output depends on the coder
// that made it) and, for a table with empty rows or gaps in a row, even
// another table. Nothing is shown here: when the block is missing or is no
// lzma data, the sheet is packed and that reports what goes wrong.
bool SheetShowsCurrentTable(WorkbookExchange& exchange, const ValueArray& values,
                            std::uint32_t rows, std::uint32_t columns) {
  RecordedMessages unseen;
  WorkbookExchange quiet{exchange.model, exchange.table, exchange.runner, unseen,
                         exchange.work_folder};
  const image::BlockRecord* block =
      toolcfg::FindBlockByName(exchange.table, kPresetBlockName, kPresetNameLength, unseen);
  if (!block)
    return false;
  const std::optional<std::vector<std::uint8_t>> stream =
      UnpackPreset(quiet, image::SizedData(*block));
  return stream && SheetShowsPresetTable(values, rows, columns, ReadPresetTable(*stream));
}

}  // namespace

std::optional<std::vector<std::uint8_t>> PackPreset(WorkbookExchange& exchange,
                                                    std::span<const std::uint8_t> input) {
  return Run(exchange, kPack, input);
}

std::optional<std::vector<std::uint8_t>> UnpackPreset(WorkbookExchange& exchange,
                                                      std::span<const std::uint8_t> input) {
  return Run(exchange, kUnpack, input);
}

PresetSheetResult PackPresetSheet(WorkbookExchange& exchange, const ValueArray& values,
                                  std::uint32_t rows, std::uint32_t columns) {
  if (SheetShowsCurrentTable(exchange, values, rows, columns))
    return PresetSheetResult::kStored;
  std::optional<std::vector<std::uint8_t>> table =
      BuildPresetTable(values, rows, columns, exchange.messages);
  if (!table)
    return PresetSheetResult::kNotStored;
  std::optional<std::vector<std::uint8_t>> packed = PackPreset(exchange, *table);
  if (!packed)
    return PresetSheetResult::kNotStored;
  image::BlockRecord* block = toolcfg::FindBlockByName(exchange.table, kPresetBlockName,
                                                       kPresetNameLength, exchange.messages);
  if (!block)
    return PresetSheetResult::kNotStored;
  block->entry.set_size(static_cast<std::uint32_t>(packed->size()));
  block->data.Replace(std::move(*packed));
  return PresetSheetResult::kStored;
}

}  // namespace nuv::exchange
