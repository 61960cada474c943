#include <cstdlib>
#include <string>
#include <string_view>

#include "workbook/com/com_client_win32.h"
#include "workbook/standin_application.h"
#include "workbook/system_spreadsheet.h"

namespace nuv::workbook {

// NUV_SPREADSHEET_SERVER=builtin takes the stand-in in process instead, for
// a machine where no spreadsheet application is registered and none may be:
// its questions (replace a file?) are then asked in the tool's own boxes.
ServerFactory SystemSpreadsheetFactory() {
  if (const char* chosen = std::getenv("NUV_SPREADSHEET_SERVER");
      chosen != nullptr && std::string_view(chosen) == "builtin")
    return &CreateStandInApplication;
  return [] { return com::CreateComObject(kExcelProgId); };
}

}  // namespace nuv::workbook
