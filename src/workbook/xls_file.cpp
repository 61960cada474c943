#include "workbook/xls_file.h"

#include <optional>
#include <string>

#include "platform/errors.h"
#include "platform/input_file.h"
#include "platform/output_file.h"
#include "workbook/biff_reader.h"
#include "workbook/biff_writer.h"
#include "workbook/compound_file.h"

namespace nuv::workbook {
namespace {

constexpr std::u16string_view kWorkbookStream = u"Workbook";

}  // namespace

WorkbookData ReadXls(std::span<const std::uint8_t> file) {
  if (!IsCompoundFile(file))
    throw AutomationError("it is not an Excel 97-2003 workbook (no compound file signature)");
  std::optional<std::vector<std::uint8_t>> stream = ReadCompoundStream(file, kWorkbookStream);
  if (!stream) {
    if (ReadCompoundStream(file, u"Book"))
      throw AutomationError("the workbook is in the Excel 5.0/95 format, which is not supported");
    throw AutomationError("the file holds no Workbook stream");
  }
  return ReadBiff8(*stream);
}

WorkbookData ReadXlsFile(const std::filesystem::path& path) {
  platform::Result<platform::InputFile> in = platform::InputFile::Open(path);
  if (!in.ok())
    throw FileError("Cannot open \"" + path.string() + "\": " + in.error() + ".");
  const std::uint64_t size = in.value().size();
  if (size > kMaxXlsFileSize)
    throw AutomationError("\"" + path.string() + "\" is too large for an Excel 97-2003 workbook.");
  const std::optional<std::vector<std::uint8_t>> bytes =
      in.value().ReadAll(static_cast<std::size_t>(size));
  if (!bytes)
    throw FileError("Cannot read \"" + path.string() + "\".");
  if (bytes->size() != size)
    throw FileError("Cannot read \"" + path.string() + "\": it changed while being read.");
  try {
    return ReadXls(*bytes);
  } catch (const AutomationError& e) {
    throw AutomationError("\"" + path.string() +
                          "\" is not a valid Excel 97-2003 workbook: " + e.what() + ".");
  }
}

std::vector<std::uint8_t> WriteXls(const WorkbookData& workbook) {
  std::vector<std::uint8_t> stream = WriteBiff8(workbook);
  // Whole blocks of 4096 bytes keep the stream out of the mini stream, as
  // Excel's own files have it; the padding after the last EOF is ignored.
  stream.resize((stream.size() + 4095) / 4096 * 4096, 0);
  CompoundStream entry{std::u16string(kWorkbookStream), stream};
  return WriteCompoundFile(std::span<const CompoundStream>(&entry, 1));
}

void WriteXlsFile(const std::filesystem::path& path, const WorkbookData& workbook) {
  const platform::WriteResult written = platform::WriteFileReplacing(path, WriteXls(workbook));
  if (!written.ok())
    throw FileError(written.error());
}

}  // namespace nuv::workbook
