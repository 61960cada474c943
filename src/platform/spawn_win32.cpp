#include <windows.h>

#include "platform/command_line.h"
#include "platform/launch_win32.h"
#include "platform/process.h"
#include "platform/spawn.h"
#include "platform/wide_text.h"

namespace nuv::platform {
namespace {

// The started process's handle, or null with the sentence that says why.
HANDLE Start(std::span<const std::string> argv, std::string& error) {
  if (argv.empty() || argv[0].empty()) {
    error = "no program was given";
    return nullptr;
  }
  const std::optional<std::filesystem::path> program = FindProgram(argv[0]);
  if (!program) {
    error = "cannot start \"" + argv[0] + "\": it cannot be found";
    return nullptr;
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION started{};
  if (!Launch(*program, argv, startup, 0, started, error))
    return nullptr;
  CloseHandle(started.hThread);
  return started.hProcess;
}

}  // namespace

std::wstring WindowsCommandLine(const std::filesystem::path& program,
                                std::span<const std::string> argv) {
  std::string line = QuoteWindowsArgument(Utf8FromPath(program));
  for (size_t i = 1; i < argv.size(); ++i)
    line += " " + QuoteWindowsArgument(argv[i]);
  return ToWide(line);
}

bool Launch(const std::filesystem::path& program, std::span<const std::string> argv,
            STARTUPINFOW& startup, DWORD flags, PROCESS_INFORMATION& started, std::string& error) {
  std::wstring line = WindowsCommandLine(program, argv);
  const BOOL inherit = (startup.dwFlags & STARTF_USESTDHANDLES) != 0;
  if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, inherit,
                      CREATE_NO_WINDOW | CREATE_UNICODE_ENVIRONMENT | flags, nullptr, nullptr,
                      &startup, &started)) {
    error = "cannot start \"" + argv[0] + "\": " + SystemMessage(GetLastError());
    return false;
  }
  return true;
}

std::string SpawnDetached(std::span<const std::string> argv) {
  std::string error;
  HANDLE process = Start(argv, error);
  if (process == nullptr)
    return error;
  CloseHandle(process);
  return {};
}

std::string RunToEnd(std::span<const std::string> argv) {
  std::string error;
  HANDLE process = Start(argv, error);
  if (process == nullptr)
    return error;
  WaitForSingleObject(process, INFINITE);
  DWORD code = 0;
  const bool known = GetExitCodeProcess(process, &code) != 0;
  CloseHandle(process);
  if (!known)
    return "cannot wait for \"" + argv[0] + "\": " + SystemMessage(GetLastError());
  if (code != 0)
    return "exit status " + std::to_string(code);
  return {};
}

}  // namespace nuv::platform
