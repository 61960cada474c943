#pragma once

#include "workbook/automation_registry.h"

namespace nuv::workbook {

// What "Excel.Application" starts until something else is registered under
// that name: on Windows the class the system registry names for it, through
// COM (the user's spreadsheet application, or our stand-in registered in
// its place); elsewhere the stand-in, in process.
ServerFactory SystemSpreadsheetFactory();

}  // namespace nuv::workbook
