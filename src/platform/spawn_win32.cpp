#include <windows.h>

#include "platform/command_line.h"
#include "platform/launch_win32.h"
#include "platform/process.h"
#include "platform/program_search.h"
#include "platform/spawn.h"
#include "platform/wide_text.h"

namespace nuv::platform {
namespace {

// The started process's handle, or why there is none.
Result<HANDLE> Start(std::span<const std::string> argv) {
  const Result<std::filesystem::path> program = ProgramToStart(argv);
  if (!program.ok())
    return program.failure();
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION started{};
  if (Result<void> launched = Launch(program.value(), argv, startup, 0, started); !launched.ok())
    return launched.failure();
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

Result<void> Launch(const std::filesystem::path& program, std::span<const std::string> argv,
                    STARTUPINFOW& startup, DWORD flags, PROCESS_INFORMATION& started) {
  const BOOL inherit = (startup.dwFlags & STARTF_USESTDHANDLES) != 0;
  // ERROR_INTERNAL_ERROR says that the new process ended while the system
  // was still setting it up, before any of the program ran, so starting it
  // again cannot run it twice. Wine gives it now and then, on a busy
  // machine, for a program that starts every other time.
  constexpr int kAttempts = 4;
  DWORD error = ERROR_SUCCESS;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    // CreateProcessW may write into the command line, so each try gets it anew.
    std::wstring line = WindowsCommandLine(program, argv);
    if (CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, inherit,
                       CREATE_NO_WINDOW | CREATE_UNICODE_ENVIRONMENT | flags, nullptr, nullptr,
                       &startup, &started))
      return {};
    error = GetLastError();
    if (error != ERROR_INTERNAL_ERROR)
      break;
  }
  return Failure{"cannot start \"" + argv[0] + "\": " + SystemMessage(error)};
}

Result<void> SpawnDetached(std::span<const std::string> argv) {
  const Result<HANDLE> process = Start(argv);
  if (!process.ok())
    return process.failure();
  CloseHandle(process.value());
  return {};
}

Result<void> RunToEnd(std::span<const std::string> argv) {
  const Result<HANDLE> process = Start(argv);
  if (!process.ok())
    return process.failure();
  WaitForSingleObject(process.value(), INFINITE);
  DWORD code = 0;
  const bool known = GetExitCodeProcess(process.value(), &code) != 0;
  CloseHandle(process.value());
  if (!known)
    return Failure{"cannot wait for \"" + argv[0] + "\": " + SystemMessage(GetLastError())};
  if (code != 0)
    return Failure{"exit status " + std::to_string(code)};
  return {};
}

}  // namespace nuv::platform
