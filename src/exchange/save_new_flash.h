#pragma once

#include <functional>
#include <string>

#include "exchange/exchange.h"
#include "image/flash_image.h"
#include "support/messages.h"

namespace nuv::exchange {

struct SaveNewFlashRequest {
  std::string output_path;    // the new image
  std::string workbook_path;  // the edited workbook
  // The New Format dialog's workbook goes after its one attempt; nuv build
  // leaves the user's file where it is.
  bool remove_workbook = true;
  // Called once the output path and the workbook are there, before the
  // workbook is read: from here on the attempt counts, also when it fails
  // or an exception ends it.
  std::function<void()> on_attempt = {};
};

enum class SaveNewFlashResult {
  kWritten,       // "The New Flash File Created Successful!"
  kNoOutputPath,  // "Please select output file!"
  kNoWorkbook,    // "error open excel  file "
  kNotImported,   // "xls file error,can not create new flash"
  kNotLaidOut,    // the blocks do not fit the image (the layout's message)
  kNotWritten,    // "Error: Generate new flash failed"
};

// Save New Flash: the edited workbook goes into the blocks of the image,
// and a new image is made of them:
//  1. no output path: "Please select output file!";
//  2. a workbook that is no regular file that can be read: "error open
//     excel  file ";
//  3. the attempt begins (on_attempt);
//  4. the workbook is imported into the working table (ImportWorkbook)
//     and then, when asked, removed, whatever the import gave; a failed
//     import: "xls file error,can not create new flash";
//  5. the blocks are laid out and the new image written (WriteNewImage).
// Its messages are application boxes. What the import and the layout
// changed stays in the working table and the model, also after a failure.
// A workbook that cannot be removed raises nuv::FileError; a failing
// automation call raises nuv::AutomationError before the workbook is
// removed. Either ends the command.
[[nodiscard]] SaveNewFlashResult SaveNewFlash(image::FlashImage& image, NewFormatSession& session,
                                              const SaveNewFlashRequest& request,
                                              Messages& messages);

}  // namespace nuv::exchange
