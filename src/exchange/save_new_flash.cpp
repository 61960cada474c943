#include "exchange/save_new_flash.h"

#include <filesystem>
#include <system_error>

#include "exchange/import_workbook.h"
#include "platform/errors.h"
#include "platform/input_file.h"
#include "toolcfg/new_image.h"

namespace nuv::exchange {

SaveNewFlashResult SaveNewFlash(image::FlashImage& image, NewFormatSession& session,
                                const SaveNewFlashRequest& request, Messages& messages) {
  if (request.output_path.empty()) {
    messages.Show(BoxCaption::Application, "Please select output file!");
    return SaveNewFlashResult::kNoOutputPath;
  }
  // Opened as a file of its own, never waited on: a folder or a pipe in
  // its place is no workbook.
  const std::filesystem::path workbook = NativeFilePath(request.workbook_path);
  if (workbook.empty() || !platform::InputFile::Open(workbook).ok()) {
    messages.Show(BoxCaption::Application, "error open excel  file ");
    return SaveNewFlashResult::kNoWorkbook;
  }
  if (request.on_attempt)
    request.on_attempt();

  WorkbookExchange work{session.model, image.table, session.runner, messages};
  const ImportResult imported = ImportWorkbook(work, request.workbook_path);
  std::error_code error;
  if (request.remove_workbook && !std::filesystem::remove(workbook, error))
    throw FileError(request.workbook_path + " cannot be removed: " +
                    (error ? error.message() : std::string("it does not exist")));
  if (imported != ImportResult::kImported) {
    messages.Show(BoxCaption::Application, "xls file error,can not create new flash");
    return SaveNewFlashResult::kNotImported;
  }
  switch (toolcfg::WriteNewImage(image, request.output_path, messages)) {
    case toolcfg::NewImageResult::kWritten:
      return SaveNewFlashResult::kWritten;
    case toolcfg::NewImageResult::kNotLaidOut:
      return SaveNewFlashResult::kNotLaidOut;
    case toolcfg::NewImageResult::kNotWritten:
      break;
  }
  return SaveNewFlashResult::kNotWritten;
}

}  // namespace nuv::exchange
