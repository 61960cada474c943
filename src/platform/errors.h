#pragma once

#include <stdexcept>
#include <string>

namespace nuv {

// The only exceptions that cross a command handler: an error raised by the
// spreadsheet application through automation, and a file that cannot be
// opened, read or written where the original tool let the framework report
// it. The framework's command dispatcher catches them, shows their text in
// an application message box and abandons the command.
class CommandError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class AutomationError : public CommandError {
 public:
  using CommandError::CommandError;
};

class FileError : public CommandError {
 public:
  using CommandError::CommandError;
};

}  // namespace nuv
