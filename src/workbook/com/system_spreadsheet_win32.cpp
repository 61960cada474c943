#include "workbook/system_spreadsheet.h"

#include <string>

#include "workbook/com/com_client_win32.h"

namespace nuv::workbook {

ServerFactory SystemSpreadsheetFactory() {
  return [] { return com::CreateComObject(kExcelProgId); };
}

}  // namespace nuv::workbook
