#include "platform/process.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace nuv::platform {
namespace {

using namespace std::chrono_literals;
using Args = std::vector<std::string>;

// Everything the pipe gives until its end, waiting at most `limit` in all.
std::string ReadAll(const FileDescriptor& fd, std::chrono::milliseconds limit = 10s) {
  std::string text;
  char buffer[512];
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < deadline) {
    ReadResult read = ReadAvailable(fd, buffer, 100ms);
    if (read.status == ReadStatus::kData)
      text.append(buffer, read.count);
    else if (read.status != ReadStatus::kTimeout)
      break;
  }
  return text;
}

// A line of the pipe (without its end), waiting at most 10 s.
std::string ReadLine(const FileDescriptor& fd) {
  std::string text;
  char c = 0;
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (std::chrono::steady_clock::now() < deadline) {
    ReadResult read = ReadAvailable(fd, std::span<char>(&c, 1), 100ms);
    if (read.status == ReadStatus::kData) {
      if (c == '\n')
        break;
      text += c;
    } else if (read.status != ReadStatus::kTimeout) {
      break;
    }
  }
  return text;
}

// A process that exists and is not a zombie.
bool Alive(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(stat, line))
    return false;
  const size_t close = line.rfind(')');
  return close != std::string::npos && close + 2 < line.size() && line[close + 2] != 'Z';
}

bool EventuallyGone(pid_t pid) {
  for (int i = 0; i < 200 && Alive(pid); ++i)
    std::this_thread::sleep_for(10ms);
  return !Alive(pid);
}

TEST(FindProgram, SearchesPathAndTakesPathsAsTheyAre) {
  std::optional<std::filesystem::path> sh = FindProgram("sh");
  ASSERT_TRUE(sh.has_value());
  EXPECT_EQ(sh->filename(), "sh");
  EXPECT_TRUE(FindProgram(sh->string()).has_value());
  EXPECT_FALSE(FindProgram("no-such-program-h4").has_value());
  EXPECT_FALSE(FindProgram("/etc/passwd").has_value());  // not executable
  EXPECT_FALSE(FindProgram("").has_value());
}

TEST(ChildProcess, OutputErrorAndExitCodeAreSeparate) {
  ChildPipes pipes;
  std::string error;
  const Args argv = {"sh", "-c", "printf out; printf err >&2; exit 3"};
  auto child = ChildProcess::Spawn(argv, pipes, error);
  ASSERT_TRUE(child) << error;
  EXPECT_EQ(ReadAll(pipes.output), "out");
  EXPECT_EQ(ReadAll(pipes.error), "err");
  ASSERT_TRUE(child->WaitFor(10s));
  EXPECT_FALSE(child->IsRunning());
  EXPECT_EQ(child->ExitStatus(), 3);
}

TEST(ChildProcess, StandardInputIsOurPipe) {
  ChildPipes pipes;
  std::string error;
  auto child = ChildProcess::Spawn(Args{"cat"}, pipes, error);
  ASSERT_TRUE(child) << error;
  ASSERT_EQ(write(pipes.input.get(), "ping\n", 5), 5);
  EXPECT_EQ(ReadLine(pipes.output), "ping");
  EXPECT_TRUE(child->IsRunning());
  pipes.input.reset();  // cat sees the end of its input and ends
  ASSERT_TRUE(child->WaitFor(10s));
  EXPECT_EQ(child->ExitStatus(), 0);
}

TEST(ChildProcess, AMissingProgramIsNotStarted) {
  ChildPipes pipes;
  std::string error;
  EXPECT_FALSE(ChildProcess::Spawn(Args{"no-such-program-h4", "-x"}, pipes, error));
  EXPECT_NE(error.find("no-such-program-h4"), std::string::npos);
  EXPECT_FALSE(pipes.output);
  error.clear();
  EXPECT_FALSE(ChildProcess::Spawn(Args{}, pipes, error));
  EXPECT_FALSE(error.empty());
}

TEST(ChildProcess, KillEndsTheChildAndWhatItStarted) {
  ChildPipes pipes;
  std::string error;
  const Args argv = {"sh", "-c", "sleep 60 & echo $!; wait"};
  auto child = ChildProcess::Spawn(argv, pipes, error);
  ASSERT_TRUE(child) << error;
  const pid_t grandchild = std::stoi(ReadLine(pipes.output));
  EXPECT_TRUE(Alive(grandchild));
  EXPECT_TRUE(child->IsRunning());
  child->Kill();
  ASSERT_TRUE(child->WaitFor(10s));
  EXPECT_EQ(child->ExitStatus(), 128 + SIGKILL);
  EXPECT_TRUE(EventuallyGone(grandchild));
  child->Kill();  // a second kill of a collected child does nothing
  EXPECT_EQ(child->ExitStatus(), 128 + SIGKILL);
}

TEST(ChildProcess, DroppingARunningChildEndsIt) {
  ChildPipes pipes;
  std::string error;
  auto child = ChildProcess::Spawn(Args{"sleep", "60"}, pipes, error);
  ASSERT_TRUE(child) << error;
  const pid_t pid = child->id();
  EXPECT_TRUE(Alive(pid));
  child.reset();
  EXPECT_FALSE(Alive(pid));
  EXPECT_EQ(kill(pid, 0), -1);  // collected, not left as a zombie
}

TEST(ChildProcess, PipesOfOneChildDoNotLeakIntoTheNext) {
  ChildPipes first_pipes;
  std::string error;
  auto first = ChildProcess::Spawn(Args{"sleep", "60"}, first_pipes, error);
  ASSERT_TRUE(first) << error;
  ChildPipes pipes;
  const Args argv = {"sh", "-c", "ls /proc/self/fd"};
  auto second = ChildProcess::Spawn(argv, pipes, error);
  ASSERT_TRUE(second) << error;
  // Descriptors this test program inherited itself may show up; ours must not.
  std::string listing = ReadAll(pipes.output);
  std::vector<int> fds;
  for (size_t pos = 0; pos < listing.size();) {
    size_t end = listing.find('\n', pos);
    if (end == std::string::npos)
      end = listing.size();
    if (end > pos)
      fds.push_back(std::stoi(listing.substr(pos, end - pos)));
    pos = end + 1;
  }
  ASSERT_GE(fds.size(), 3u) << listing;
  for (int fd : {first_pipes.input.get(), first_pipes.output.get(), first_pipes.error.get(),
                 pipes.input.get(), pipes.output.get(), pipes.error.get()}) {
    if (fd > 2) {
      EXPECT_EQ(std::count(fds.begin(), fds.end(), fd), 0) << "descriptor " << fd << " leaked";
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
  ReadResult first = ReadAvailable(read_end, buffer, 10ms);
  EXPECT_EQ(first.status, ReadStatus::kData);
  EXPECT_EQ(first.count, 8u);  // never more than the buffer holds
  EXPECT_EQ(ReadAvailable(read_end, buffer, 10ms).count, 2u);
  write_end.reset();
  EXPECT_EQ(ReadAvailable(read_end, buffer, 10ms).status, ReadStatus::kEnd);
  EXPECT_EQ(ReadAvailable(FileDescriptor(), buffer, 10ms).status, ReadStatus::kError);
}

}  // namespace
}  // namespace nuv::platform
