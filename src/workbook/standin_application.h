#pragma once

#include "workbook/dispatch.h"

namespace nuv::workbook {

// A new instance of the stand-in spreadsheet application: an in-process
// automation server that answers the object-model members the tool calls,
// with their member ids, argument orders and results, keeps its workbooks
// in memory and saves and opens them as Excel 97-2003 (.xls) files. It is
// what "Excel.Application" starts here (see automation_registry.h).
DispatchRef CreateStandInApplication();

}  // namespace nuv::workbook
