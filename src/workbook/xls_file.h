#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "workbook/workbook_data.h"

namespace nuv::workbook {

// Excel 97-2003 workbook files (.xls): the BIFF8 Workbook stream inside a
// compound file.

// The workbook in the bytes of an .xls file. Anything that is not a
// readable Excel 97-2003 workbook raises nuv::AutomationError with a
// sentence that says what is wrong.
WorkbookData ReadXls(std::span<const std::uint8_t> file);
// The same from a file: nuv::FileError when the file cannot be read,
// nuv::AutomationError (naming the file) when it is not a workbook.
WorkbookData ReadXlsFile(const std::filesystem::path& path);

// The bytes of an .xls file holding the workbook.
std::vector<std::uint8_t> WriteXls(const WorkbookData& workbook);
// Writes the workbook as an output file of the tool (see
// platform::WriteFileReplacing), so a failure leaves an existing file as it
// was; nuv::FileError, naming the file and why, when that fails.
void WriteXlsFile(const std::filesystem::path& path, const WorkbookData& workbook);

// The largest .xls file we read.
inline constexpr std::uintmax_t kMaxXlsFileSize = 512u << 20;

}  // namespace nuv::workbook
