#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "image/block_table.h"
#include "support/command_runner.h"
#include "support/messages.h"
#include "toolcfg/tool_config.h"

namespace nuv::exchange {

// What the new-format flow keeps from OpenNewFormat to SaveNewFlash: the
// New Format dialog holds one for its life, a nuv command one for its run.
struct NewFormatSession {
  toolcfg::ToolConfig model;  // the parsed script, with the values read and imported
  CommandRunner runner;       // runs gzip for the script and lzma for the preset table
};

// What the workbook export, the import and the preset packing work on: a
// model and a runner (the session's, in the flow) over the working block
// table of the loaded image.
struct WorkbookExchange {
  toolcfg::ToolConfig& model;  // the parsed tool-config script, with its values
  image::BlockTable& table;    // the working block table of the loaded image
  CommandRunner& runner;       // runs lzma.exe for the preset table
  Messages& messages;          // where every message goes, with its caption
  // The folder of the lzma working files "npreset" and "npreset.7z". Empty:
  // this process's own working folder (platform::WorkingFolder), so that
  // two hosts or batch runs at once never share them.
  std::filesystem::path work_folder = {};
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

}  // namespace nuv::exchange
