#include "platform/process.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace nuv::platform {
namespace {

using namespace std::chrono_literals;
using Args = std::vector<std::string>;

// Everything the pipe gives until its end (or 10 s without a byte).
std::string ReadAll(const FileDescriptor& fd) {
  std::string text;
  char buffer[512];
  for (ReadResult read; (read = ReadAvailable(fd, buffer, 10s)).status == ReadStatus::kData;)
    text.append(buffer, read.count);
  return text;
}

// A process that exists and is not a zombie, looked at for up to 2 s.
bool StillAlive(pid_t pid) {
  for (int i = 0; i < 200; ++i, std::this_thread::sleep_for(10ms)) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    const size_t close = std::getline(stat, line) ? line.rfind(')') : std::string::npos;
    if (close == std::string::npos || close + 2 >= line.size() || line[close + 2] == 'Z')
      return false;
  }
  return true;
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
  Started run = Spawn({"sh", "-c", "cat; printf err >&2; exit 3"});
  ASSERT_TRUE(run.child);
  ASSERT_EQ(write(run.pipes.input.get(), "ping\n", 5), 5);
  run.pipes.input.reset();  // cat sees the end of its input
  EXPECT_EQ(ReadAll(run.pipes.output), "ping\n");
  EXPECT_EQ(ReadAll(run.pipes.error), "err");
  ASSERT_TRUE(run.child->WaitFor(10s));
  EXPECT_FALSE(run.child->IsRunning());
  EXPECT_EQ(run.child->ExitStatus(), 3);
}

TEST(ChildProcess, OnlyProgramsFoundOnPathOrByTheirPathAreStarted) {
  const std::optional<std::filesystem::path> sh = FindProgram("sh");
  ASSERT_TRUE(sh.has_value());
  EXPECT_EQ(sh->filename(), "sh");
  EXPECT_TRUE(FindProgram(sh->string()).has_value());
  EXPECT_FALSE(FindProgram("/etc/passwd").has_value());  // not executable
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
  // The shell closes its own output, so the pipe ends with the pid line.
  Started run = Spawn({"sh", "-c", "sleep 60 >/dev/null & echo $!; exec >&-; wait"});
  ASSERT_TRUE(run.child);
  const pid_t grandchild = std::stoi(ReadAll(run.pipes.output));
  EXPECT_EQ(kill(grandchild, 0), 0);
  EXPECT_TRUE(run.child->IsRunning());
  run.child->Kill();
  ASSERT_TRUE(run.child->WaitFor(10s));
  EXPECT_EQ(run.child->ExitStatus(), 128 + SIGKILL);
  EXPECT_FALSE(StillAlive(grandchild));
  run.child->Kill();  // a second kill of a collected child does nothing
  EXPECT_EQ(run.child->ExitStatus(), 128 + SIGKILL);

  Started dropped = Spawn({"sleep", "60"});
  ASSERT_TRUE(dropped.child);
  const pid_t pid = dropped.child->id();
  EXPECT_EQ(kill(pid, 0), 0);
  dropped.child.reset();
  EXPECT_EQ(kill(pid, 0), -1);  // ended and collected, not left as a zombie
}

TEST(ChildProcess, PipesOfOneChildDoNotLeakIntoTheNext) {
  const Started first = Spawn({"sleep", "60"});
  const Started second = Spawn({"sh", "-c", "ls /proc/self/fd"});
  ASSERT_TRUE(first.child && second.child);
  // Descriptors this test program inherited itself may show up; ours must not.
  std::istringstream listing(ReadAll(second.pipes.output));
  std::vector<int> fds;
  for (int fd = 0; listing >> fd;)
    fds.push_back(fd);
  ASSERT_GE(fds.size(), 3u);
  for (const ChildPipes* pipes : {&first.pipes, &second.pipes}) {
    for (int fd : {pipes->input.get(), pipes->output.get(), pipes->error.get()}) {
      if (fd > 2) {
        EXPECT_EQ(std::count(fds.begin(), fds.end(), fd), 0) << "descriptor " << fd << " leaked";
      }
    }
  }
}

TEST(ReadAvailable, TimesOutWithoutDataAndSeesTheEnd) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  FileDescriptor read_end(fds[0]);
  FileDescriptor write_end(fds[1]);
  char buffer[8];
  EXPECT_EQ(ReadAvailable(read_end, buffer, 10ms).status, ReadStatus::kTimeout);
  ASSERT_EQ(write(write_end.get(), "abcdefghij", 10), 10);
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
