#pragma once

// Processes and threads as the tests of child processes look at them, the
// same questions on every system.
#ifdef _WIN32
#include <windows.h>
//
#include <tlhelp32.h>
#else
#include <signal.h>
#endif

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/paths.h"

namespace nuv::test {

// What the tool says when no program `name` was found with PATH set to
// `path` ("no program named ... was found ..."), without the final stop.
inline std::string ProgramNotFound(std::string_view name, std::string_view path) {
  std::string text = "no program named \"" + std::string(name) + "\" was found ";
#ifdef _WIN32  // where the tool looks first: its own folder
  text += "in " + platform::PathText(platform::ProgramFolder()) + " nor ";
#endif
  return text + "on PATH (" + std::string(path) + ")";
}

// Whether the process `pid` is still there: on POSIX a child that ended and
// was never collected (a zombie) still is.
inline bool ProcessExists(std::int64_t pid) {
#ifdef _WIN32
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
  if (process == nullptr)
    return false;
  const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  CloseHandle(process);
  return running;
#else
  return kill(static_cast<pid_t>(pid), 0) == 0;
#endif
}

// How many threads this program runs.
inline std::size_t ThreadCount() {
#ifdef _WIN32
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 entry{};
  entry.dwSize = sizeof(entry);
  std::size_t count = 0;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
    count += entry.th32OwnerProcessID == GetCurrentProcessId() ? 1 : 0;
  CloseHandle(snapshot);
  return count;
#else
  return static_cast<std::size_t>(
      std::distance(std::filesystem::directory_iterator("/proc/self/task"), {}));
#endif
}

#ifdef _WIN32
// The running child of this program whose file is named `name` ("cmd.exe"),
// or 0: cmd.exe cannot print its own process id as sh does.
inline std::int64_t ChildNamed(std::wstring_view name) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  std::int64_t found = 0;
  for (BOOL more = Process32FirstW(snapshot, &entry); more && found == 0;
       more = Process32NextW(snapshot, &entry))
    if (entry.th32ParentProcessID == GetCurrentProcessId() &&
        CompareStringOrdinal(entry.szExeFile, -1, name.data(), static_cast<int>(name.size()),
                             TRUE) == CSTR_EQUAL)
      found = entry.th32ProcessID;
  CloseHandle(snapshot);
  return found;
}
#endif

}  // namespace nuv::test
