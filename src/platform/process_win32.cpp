#include <windows.h>

#include <algorithm>
#include <thread>
#include <vector>

#include "platform/command_line.h"
#include "platform/launch_win32.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/program_search.h"
#include "platform/wide_text.h"

namespace nuv::platform {
namespace {

HANDLE Native(const FileDescriptor& handle) {
  return reinterpret_cast<HANDLE>(handle.get());
}

FileDescriptor Own(HANDLE handle) {
  return FileDescriptor(handle == nullptr || handle == INVALID_HANDLE_VALUE
                            ? -1
                            : reinterpret_cast<NativeHandle>(handle));
}

bool IsFile(const std::filesystem::path& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// A pipe whose `child` end the child inherits and whose other end, ours,
// no child does.
bool MakePipe(FileDescriptor& read_end, FileDescriptor& write_end, bool child_reads) {
  SECURITY_ATTRIBUTES inheritable{sizeof(inheritable), nullptr, TRUE};
  HANDLE read = nullptr;
  HANDLE write = nullptr;
  if (!CreatePipe(&read, &write, &inheritable, 0))
    return false;
  read_end = Own(read);
  write_end = Own(write);
  return SetHandleInformation(child_reads ? write : read, HANDLE_FLAG_INHERIT, 0) != 0;
}

}  // namespace

ReadResult ReadAvailable(const FileDescriptor& fd, std::span<char> buffer,
                         std::chrono::milliseconds timeout) {
  ReadResult result;
  if (!fd || buffer.empty())
    return result;
  // Anonymous pipes cannot be waited on; they are looked at until bytes
  // arrive or the time is up.
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    DWORD available = 0;
    if (!PeekNamedPipe(Native(fd), nullptr, 0, nullptr, &available, nullptr)) {
      if (GetLastError() == ERROR_BROKEN_PIPE)
        result.status = ReadStatus::kEnd;
      return result;
    }
    if (available > 0) {
      DWORD got = 0;
      const DWORD want = static_cast<DWORD>(std::min<size_t>(available, buffer.size()));
      if (!ReadFile(Native(fd), buffer.data(), want, &got, nullptr)) {
        if (GetLastError() == ERROR_BROKEN_PIPE)
          result.status = ReadStatus::kEnd;
        return result;
      }
      result.status = ReadStatus::kData;
      result.count = got;
      return result;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      result.status = ReadStatus::kTimeout;
      return result;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

// `name` in `folder`, and with ".exe" added when it has no extension.
std::optional<std::filesystem::path> ProgramIn(const std::filesystem::path& folder,
                                               std::string_view name) {
  const std::filesystem::path program = PathFromUtf8(name);
  std::filesystem::path candidate = folder / program;
  if (IsFile(candidate))
    return candidate;
  if (!program.has_extension()) {
    candidate += L".exe";
    if (IsFile(candidate))
      return candidate;
  }
  return std::nullopt;
}

namespace {

std::string ProgramSearchPath() {
  return FromWide(EnvironmentVariable(L"PATH"));
}

}  // namespace

// The program's own folder first, then the folders of PATH: a program
// beside the tool wins over one installed elsewhere.
std::vector<std::filesystem::path> ProgramFolders() {
  std::vector<std::filesystem::path> folders{ProgramFolder()};
  const std::wstring search = ToWide(ProgramSearchPath());
  size_t start = 0;
  while (start <= search.size()) {
    const size_t end = std::min(search.find(L';', start), search.size());
    if (end > start)
      folders.emplace_back(search.substr(start, end - start));
    start = end + 1;
  }
  return folders;
}

std::string ProgramSearchPlaces() {
  return "in " + PathText(ProgramFolder()) + " nor on PATH (" + ProgramSearchPath() + ")";
}

Result<void> ChildProcess::MakePipes(ChildPipes& mine, ChildPipes& child_ends) {
  if (!MakePipe(child_ends.input, mine.input, true) ||
      !MakePipe(mine.output, child_ends.output, false) ||
      !MakePipe(mine.error, child_ends.error, false))
    return Failure{"Cannot create the pipes of a child process: " + SystemMessage(GetLastError())};
  return {};
}

Result<std::unique_ptr<ChildProcess>> ChildProcess::Start(const std::filesystem::path& program,
                                                          std::span<const std::string> argv,
                                                          const ChildPipes& child_ends) {
  // The job ends the child's own children with it.
  FileDescriptor job = Own(CreateJobObjectW(nullptr, nullptr));
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (!job || !SetInformationJobObject(Native(job), JobObjectExtendedLimitInformation, &limits,
                                       sizeof(limits)))
    return Failure{"Cannot create the job of a child process: " + SystemMessage(GetLastError())};
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  startup.hStdInput = Native(child_ends.input);
  startup.hStdOutput = Native(child_ends.output);
  startup.hStdError = Native(child_ends.error);
  PROCESS_INFORMATION started{};
  if (Result<void> launched = Launch(program, argv, startup, CREATE_SUSPENDED, started);
      !launched.ok())
    return launched.failure();
  FileDescriptor thread = Own(started.hThread);
  FileDescriptor process = Own(started.hProcess);
  // Wine starts a program of its host system without a handle to watch it
  // by, nor our pipes: such a program cannot be run as a child here.
  if (!process)
    return Failure{"Cannot start " + argv[0] + ": it is not a Windows program."};
  // A process that cannot join the job (one already in a job that allows
  // no other) is ended by itself instead.
  if (!AssignProcessToJobObject(Native(job), started.hProcess))
    job.reset();
  ResumeThread(started.hThread);
  std::unique_ptr<ChildProcess> child(new ChildProcess(started.dwProcessId));
  child->process_ = std::move(process);
  child->job_ = std::move(job);
  return child;
}

bool ChildProcess::PollLocked() {
  if (status_)
    return false;
  if (WaitForSingleObject(Native(process_), 0) == WAIT_TIMEOUT)
    return true;
  DWORD code = 0;
  status_ = GetExitCodeProcess(Native(process_), &code) ? static_cast<int>(code) : -1;
  return false;
}

void ChildProcess::Kill() {
  std::lock_guard lock(mutex_);
  if (!PollLocked())
    return;
  if (job_)
    TerminateJobObject(Native(job_), 1);
  else
    TerminateProcess(Native(process_), 1);
}

}  // namespace nuv::platform
