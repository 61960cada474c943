#include "platform/process.h"

#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <unistd.h>
#endif

#include <chrono>
#include <string>
#include <vector>

#include "test_files.h"
#include "test_processes.h"

namespace nuv::platform {
namespace {

using namespace std::chrono_literals;
using Args = std::vector<std::string>;

// The children the tests start: sh's commands on POSIX, cmd.exe's on
// Windows, where `more` copies its input as cat does and a caret passes
// the "&" on to the inner cmd.exe.
#ifdef _WIN32
const Args kCopiesInputThenFails = {"cmd.exe", "/c", "more& echo err>&2& exit 3"};
const std::string kErrorText = "err\r\n";
// Waits for the end of its input.
const Args kWaits = {"cmd.exe", "/c", "more"};
// Its child says so once it runs, then waits, holding the output open.
const Args kStartsAChildThatWaits = {"cmd.exe", "/c", "cmd.exe /c echo started^& more"};
const Args kShell = {"cmd"};
const int kKilledStatus = 1;  // the job's exit code
#else
const Args kCopiesInputThenFails = {"sh", "-c", "cat; printf err >&2; exit 3"};
const std::string kErrorText = "err";
const Args kWaits = {"sleep", "60"};
const Args kStartsAChildThatWaits = {"sh", "-c", "sleep 60 & echo started; wait"};
const Args kShell = {"sh"};
const int kKilledStatus = 128 + SIGKILL;
#endif

// Everything the pipe gives until its end (or 10 s without a byte).
std::string ReadAll(const FileDescriptor& fd) {
  std::string text;
  char buffer[512];
  for (ReadResult read; (read = ReadAvailable(fd, buffer, 10s)).status == ReadStatus::kData;)
    text.append(buffer, read.count);
  return text;
}

// True when every writer of the pipe closes its end within 10 s, whatever
// comes before.
bool Ends(const FileDescriptor& fd) {
  char buffer[512];
  ReadStatus status;
  while ((status = ReadAvailable(fd, buffer, 10s).status) == ReadStatus::kData) {
  }
  return status == ReadStatus::kEnd;
}

// A pipe of this program's own: its read end and its write end.
std::pair<FileDescriptor, FileDescriptor> MakePipe() {
#ifdef _WIN32
  HANDLE read = nullptr;
  HANDLE write = nullptr;
  EXPECT_TRUE(CreatePipe(&read, &write, nullptr, 0));
  return {FileDescriptor(reinterpret_cast<NativeHandle>(read)),
          FileDescriptor(reinterpret_cast<NativeHandle>(write))};
#else
  int fds[2];
  EXPECT_EQ(pipe(fds), 0);
  return {FileDescriptor(fds[0]), FileDescriptor(fds[1])};
#endif
}

bool Write(const FileDescriptor& fd, std::string_view bytes) {
#ifdef _WIN32
  DWORD written = 0;
  return WriteFile(reinterpret_cast<HANDLE>(fd.get()), bytes.data(),
                   static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
#else
  return write(fd.get(), bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
#endif
}

struct Started {
  ChildPipes pipes;
  std::unique_ptr<ChildProcess> child;
};

Started Spawn(const Args& argv) {
  Started started;
  Result<std::unique_ptr<ChildProcess>> spawned = ChildProcess::Spawn(argv, started.pipes);
  EXPECT_TRUE(spawned.ok()) << spawned.error();
  if (spawned.ok())
    started.child = std::move(spawned.value());
  return started;
}

TEST(ChildProcess, InputOutputErrorAndExitCodeAreSeparate) {
  Started run = Spawn(kCopiesInputThenFails);
  ASSERT_TRUE(run.child);
  ASSERT_TRUE(Write(run.pipes.input, "ping\n"));
  run.pipes.input.reset();  // the child sees the end of its input
  EXPECT_EQ(ReadAll(run.pipes.output), "ping\n");
  EXPECT_EQ(ReadAll(run.pipes.error), kErrorText);
  ASSERT_TRUE(run.child->WaitFor(10s));
  EXPECT_FALSE(run.child->IsRunning());
  EXPECT_EQ(run.child->ExitStatus(), 3);
}

TEST(ChildProcess, OnlyProgramsFoundOnPathOrByTheirPathAreStarted) {
  const std::optional<std::filesystem::path> shell = FindProgram(kShell[0]);
  ASSERT_TRUE(shell.has_value());
  EXPECT_EQ(shell->stem(), kShell[0]);
  EXPECT_TRUE(FindProgram(shell->string()).has_value());
  const test::TempFolder folder;
  EXPECT_FALSE(FindProgram(folder.path().string()).has_value());
#ifndef _WIN32  // Windows files have no executable bit
  EXPECT_FALSE(FindProgram("/etc/passwd").has_value());
#endif
  EXPECT_FALSE(FindProgram("").has_value());
  ChildPipes pipes;
  const auto missing = ChildProcess::Spawn(Args{"no-such-program-h4", "-x"}, pipes);
  ASSERT_FALSE(missing.ok());
  EXPECT_NE(missing.error().find("no-such-program-h4"), std::string::npos);
  EXPECT_FALSE(pipes.output);
  const auto unnamed = ChildProcess::Spawn(Args{}, pipes);
  ASSERT_FALSE(unnamed.ok());
  EXPECT_EQ(unnamed.error(), "no program was named");
}

TEST(ChildProcess, KillOrDroppingEndsTheChildAndWhatItStarted) {
  // The child's own child holds the output pipe open: the pipe ends only
  // when both have ended.
  Started run = Spawn(kStartsAChildThatWaits);
  ASSERT_TRUE(run.child);
  std::string said;
  char buffer[64];
  for (ReadResult read;
       said.find("started") == std::string::npos &&
       (read = ReadAvailable(run.pipes.output, buffer, 10s)).status == ReadStatus::kData;)
    said.append(buffer, read.count);
  ASSERT_NE(said.find("started"), std::string::npos);
  EXPECT_TRUE(run.child->IsRunning());
  run.child->Kill();
  ASSERT_TRUE(run.child->WaitFor(10s));
  EXPECT_EQ(run.child->ExitStatus(), kKilledStatus);
  EXPECT_TRUE(Ends(run.pipes.output));
  run.child->Kill();  // a second kill of a collected child does nothing
  EXPECT_EQ(run.child->ExitStatus(), kKilledStatus);

  Started dropped = Spawn(kWaits);
  ASSERT_TRUE(dropped.child);
  const ProcessId pid = dropped.child->id();
  EXPECT_TRUE(test::ProcessExists(pid));
  dropped.child.reset();
  EXPECT_FALSE(test::ProcessExists(pid));  // ended and collected, not left as a zombie
}

// Were this side of the first child's input inherited by the second, the
// first would never see the end of its input.
TEST(ChildProcess, PipesOfOneChildDoNotLeakIntoTheNext) {
  Started first = Spawn(kCopiesInputThenFails);
  const Started second = Spawn(kWaits);
  ASSERT_TRUE(first.child && second.child);
  first.pipes.input.reset();
  EXPECT_TRUE(first.child->WaitFor(10s));
  EXPECT_TRUE(Ends(first.pipes.output));
  EXPECT_TRUE(second.child->IsRunning());
}

TEST(ReadAvailable, TimesOutWithoutDataAndSeesTheEnd) {
  auto [read_end, write_end] = MakePipe();
  char buffer[8];
  EXPECT_EQ(ReadAvailable(read_end, buffer, 10ms).status, ReadStatus::kTimeout);
  ASSERT_TRUE(Write(write_end, "abcdefghij"));
  const ReadResult first = ReadAvailable(read_end, buffer, 10ms);
  EXPECT_EQ(first.status, ReadStatus::kData);
  EXPECT_EQ(first.count, 8u);  // never more than the buffer holds
  EXPECT_EQ(ReadAvailable(read_end, buffer, 10ms).count, 2u);
  write_end.reset();
  EXPECT_EQ(ReadAvailable(read_end, buffer, 10ms).status, ReadStatus::kEnd);
  EXPECT_EQ(ReadAvailable(FileDescriptor(), buffer, 10ms).status, ReadStatus::kError);
}

}  // namespace
}  // namespace nuv::platform
