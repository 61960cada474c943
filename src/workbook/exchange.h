#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "image/block_table.h"
#include "platform/paths.h"
#include "support/command_runner.h"
#include "support/messages.h"
#include "toolcfg/tool_config.h"

namespace nuv::workbook {

// What the workbook export and import work on: the state that the New
// Format dialog holds for its flow. The dialog fills one of these and calls
// ExportWorkbook, ImportWorkbook and the preset operations with it; the
// command line and the tests do the same without a window.
struct WorkbookExchange {
  toolcfg::ToolConfig& model;  // the parsed tool-config script, with its values
  image::BlockTable& table;    // the working block table of the loaded image
  CommandRunner& runner;       // runs lzma.exe for the preset table
  Messages& messages;          // where every message goes, with its caption
  // The folder of the lzma working files "npreset" and "npreset.7z": the
  // host executable's folder. A batch run that may run beside others gives
  // each run its own folder.
  std::filesystem::path work_folder = platform::ProgramFolder();
};

// A work folder of its own for a batch run, so that runs side by side do
// not share lzma's working files: made fresh under the system's temporary
// folder and removed with everything in it. Its path is empty when it
// could not be made.
class BatchWorkFolder {
 public:
  explicit BatchWorkFolder(std::string_view prefix = "nuv-exchange");
  ~BatchWorkFolder();
  BatchWorkFolder(const BatchWorkFolder&) = delete;
  BatchWorkFolder& operator=(const BatchWorkFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Names of the four sheets, in workbook order.
inline constexpr std::string_view kProgramSheet = "Program";
inline constexpr std::string_view kKeySheet = "IR_FP_Key";
inline constexpr std::string_view kSystemSheet = "Sys_Config";
inline constexpr std::string_view kFilePathSheet = "File_Path";

// The block that carries the packed preset table, and how much of its name
// the lookups compare.
inline constexpr std::string_view kPresetBlockName = "preset";
inline constexpr std::uint8_t kPresetNameLength = 6;

// The workbook the export writes and the import reads: "preset.xls" in the
// current directory, as the spreadsheet application is given it.
std::string DefaultWorkbookPath();

// The file behind a workbook path or a path the user wrote in a cell: a
// native path as it stands, whatever characters its names hold.
std::filesystem::path NativeFilePath(std::string_view path);

}  // namespace nuv::workbook
