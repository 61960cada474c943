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
// It starts with "Excel.Application" naming the system's spreadsheet
// application: on Windows whatever the system registry names, through COM;
// elsewhere the stand-in, in process. Registering a name again replaces its
// factory.
void RegisterAutomationServer(std::string prog_id, ServerFactory factory);
// Removes a server; a test does this to see the "cannot start" path.
void UnregisterAutomationServer(std::string_view prog_id);
// A new instance of the server, or null when none is registered or it
// refused to start.
DispatchRef CreateAutomationObject(std::string_view prog_id);

// Puts the stand-in spreadsheet application, in process, under
// kExcelProgId (on Windows too, where tests of the stand-in use it so).
void RegisterStandInSpreadsheet();

// How an automation server asks the user a question of its own, as the
// spreadsheet application asks before SaveAs replaces a file: the host's
// box with Yes and No, captioned with the host application's title. True
// for Yes. The host sets it: the plug-in asks in its framework's box, the
// command line answers by its options.
using ServerQuestion = std::function<bool(std::string_view text)>;
// Replaces who answers; an empty one leaves no one to ask.
void SetServerQuestion(ServerQuestion ask);
// Asks the user; with no one to ask the answer is No, so nothing is done
// that the user was not asked about.
bool AskServerQuestion(std::string_view text);

}  // namespace nuv::workbook
