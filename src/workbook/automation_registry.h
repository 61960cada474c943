#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "workbook/dispatch.h"

namespace nuv::workbook {

// The programmatic identifier under which the spreadsheet application is
// started.
inline constexpr std::string_view kExcelProgId = "Excel.Application";

// Makes a new instance of an automation server; returns null when the
// server refuses to start.
using ServerFactory = std::function<DispatchRef()>;

// The registry of automation servers by programmatic identifier, the way the
// operating system's class registry maps "Excel.Application" to a program.
// It starts with the stand-in spreadsheet application registered as
// "Excel.Application". Registering a name again replaces its factory.
void RegisterAutomationServer(std::string prog_id, ServerFactory factory);
// Removes a server; a test does this to see the "cannot start" path.
void UnregisterAutomationServer(std::string_view prog_id);
// A new instance of the server, or null when none is registered or it
// refused to start.
DispatchRef CreateAutomationObject(std::string_view prog_id);

// Puts the stand-in spreadsheet application back under kExcelProgId.
void RegisterStandInSpreadsheet();

}  // namespace nuv::workbook
