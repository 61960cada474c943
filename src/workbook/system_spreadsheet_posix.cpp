#include "workbook/standin_application.h"
#include "workbook/system_spreadsheet.h"

namespace nuv::workbook {

ServerFactory SystemSpreadsheetFactory() {
  return &CreateStandInApplication;
}

}  // namespace nuv::workbook
