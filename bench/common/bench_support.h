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

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
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

// The path of a program built beside the running benchmark program (`nuv`).
inline std::string BuiltProgram(const std::string& name) {
  return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / name).string();
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

// One run of a program with standard output and error to /dev/null: its
// exit status (-1 when it could not run or did not exit), elapsed seconds,
// and processor seconds (user and system) of that child alone.
struct ProgramRun {
  int status = -1;
  double seconds = 0;
  double cpu = 0;
};

inline ProgramRun TimeProgram(const std::vector<std::string>& args) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  std::vector<char*> argv;
  for (const std::string& arg : args)
    argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  ProgramRun run;
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  const int error = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  rusage usage{};
  if (error != 0 || wait4(pid, &status, 0, &usage) != pid)
    return run;
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const auto seconds = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
  };
  run.cpu = seconds(usage.ru_utime) + seconds(usage.ru_stime);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

// The least elapsed and the least processor time that a program took over
// several runs: on a machine that others load, the run that was disturbed
// least is the closest to what the program itself costs.
struct BestRun {
  double seconds = std::numeric_limits<double>::infinity();
  double cpu = std::numeric_limits<double>::infinity();
};

// Runs `reference` and `measured` one after the other, `rounds` times, so
// that a change in the machine's load falls on both alike, and returns the
// best run of each ({reference, measured}). Each run must end with its
// expected exit status; a benchmark whose command fails measures nothing,
// so the program stops.
inline std::pair<BestRun, BestRun> InterleavedBest(const std::vector<std::string>& reference,
                                                   int reference_status,
                                                   const std::vector<std::string>& measured,
                                                   int measured_status, int rounds = 25) {
  std::pair<BestRun, BestRun> best;
  const auto keep = [](BestRun& into, const ProgramRun& run, int expected,
                       const std::vector<std::string>& args) {
    if (run.status != expected) {
      std::fprintf(stderr, "bench: %s exited with %d, not %d\n", args[0].c_str(), run.status,
                   expected);
      std::exit(1);
    }
    into.seconds = std::min(into.seconds, run.seconds);
    into.cpu = std::min(into.cpu, run.cpu);
  };
  for (int round = 0; round < rounds; ++round) {
    keep(best.first, TimeProgram(reference), reference_status, reference);
    keep(best.second, TimeProgram(measured), measured_status, measured);
  }
  return best;
}

// Reports the two best runs of InterleavedBest: the measured one's elapsed
// time as the iteration's, both in milliseconds as NAME_ms and NAME_cpu_ms,
// and the ratios as x_REFERENCE and cpu_x_REFERENCE.
inline void ReportAgainst(benchmark::State& state, const std::string& reference_name,
                          const BestRun& reference, const std::string& measured_name,
                          const BestRun& measured) {
  state.SetIterationTime(measured.seconds);
  state.counters[reference_name + "_ms"] = reference.seconds * 1e3;
  state.counters[reference_name + "_cpu_ms"] = reference.cpu * 1e3;
  state.counters[measured_name + "_ms"] = measured.seconds * 1e3;
  state.counters[measured_name + "_cpu_ms"] = measured.cpu * 1e3;
  state.counters["x_" + reference_name] = measured.seconds / reference.seconds;
  state.counters["cpu_x_" + reference_name] = measured.cpu / reference.cpu;
}

}  // namespace nuv::bench
