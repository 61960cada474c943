#pragma once

// What several benchmark programs need around the code they measure:
// running a reference program such as `cat` or `cmp` to its end, timing
// iterations, and the processor time spent, which a busy machine does not
// stretch as it stretches the elapsed time.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <string>
#include <vector>

extern char** environ;

namespace nuv::bench {

// Processor seconds (user and system) used so far by this process (all
// its threads, RUSAGE_SELF) or by its ended children (RUSAGE_CHILDREN).
inline double CpuSeconds(int who) {
  rusage usage{};
  getrusage(who, &usage);
  const auto seconds = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
  };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Runs a program found on PATH, no shell involved, with its standard output
// to `out_path`, and waits for it; its exit status, or -1 when it could not
// run or did not exit.
inline int RunProgram(const std::vector<std::string>& args, const char* out_path = "/dev/null") {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out_path, O_WRONLY | O_CREAT | O_TRUNC, 0600);
  std::vector<char*> argv;
  for (const std::string& arg : args)
    argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int error = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  if (error != 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
    return -1;
  return WEXITSTATUS(status);
}

// Elapsed and processor seconds of one iteration, on average.
struct Times {
  double seconds = 0;  // elapsed
  double cpu = 0;      // processor time of this process
};

// Runs `body` once per iteration of `state`, timing each run by itself.
template <typename Body>
Times TimeIterations(benchmark::State& state, Body body) {
  using Clock = std::chrono::steady_clock;
  double total = 0;
  const double cpu_start = CpuSeconds(RUSAGE_SELF);
  for (auto _ : state) {
    const auto start = Clock::now();
    body();
    total += std::chrono::duration<double>(Clock::now() - start).count();
  }
  const auto n = static_cast<double>(state.iterations());
  return {total / n, (CpuSeconds(RUSAGE_SELF) - cpu_start) / n};
}

}  // namespace nuv::bench
