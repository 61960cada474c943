#include "platform/mapped_file_guard.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <mutex>

namespace nuv::platform {
namespace {

constexpr char kMessageStart[] = "The file ";
constexpr char kMessageEnd[] =
    " was made shorter by another program while it was being read; nothing was written.\n";

// What the signal handler reads: plain words published with release order,
// so that the handler never takes a lock or touches the heap.
struct WatchedRange {
  std::atomic<uintptr_t> start{0};
  std::atomic<uintptr_t> end{0};
  char path[512] = {};
  size_t path_length = 0;
};

std::array<WatchedRange, 32> g_ranges;
std::mutex g_ranges_lock;  // between threads that watch and forget
std::once_flag g_handler_installed;

void WriteAll(const char* text, size_t length) {
  while (length > 0) {
    const ssize_t written = write(STDERR_FILENO, text, length);
    if (written <= 0)
      return;
    text += written;
    length -= static_cast<size_t>(written);
  }
}

void OnBusError(int signal, siginfo_t* info, void*) {
  // Only a fault carries an address; a bus error sent by a program does not.
  const auto address = info->si_code > 0 ? reinterpret_cast<uintptr_t>(info->si_addr) : 0;
  for (const WatchedRange& range : g_ranges) {
    const uintptr_t start = range.start.load(std::memory_order_acquire);
    if (start == 0 || address < start || address >= range.end.load(std::memory_order_acquire))
      continue;
    WriteAll(kMessageStart, sizeof kMessageStart - 1);
    WriteAll(range.path, range.path_length);
    WriteAll(kMessageEnd, sizeof kMessageEnd - 1);
    _exit(2);
  }
  // Not one of ours: the default action, for a fault and a sent signal
  // alike (the signal raised here waits until the handler returns).
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  sigaction(signal, &fallback, nullptr);
  raise(signal);
}

void InstallHandler() {
  struct sigaction action {};
  action.sa_sigaction = &OnBusError;
  action.sa_flags = SA_SIGINFO;
  sigemptyset(&action.sa_mask);
  sigaction(SIGBUS, &action, nullptr);
}

}  // namespace

void WatchMappedFile(const void* start, size_t length, std::string_view path) {
  std::call_once(g_handler_installed, InstallHandler);
  const std::lock_guard lock(g_ranges_lock);
  for (WatchedRange& range : g_ranges) {
    if (range.start.load(std::memory_order_relaxed) != 0)
      continue;
    range.path_length = std::min(path.size(), sizeof range.path);
    std::memcpy(range.path, path.data(), range.path_length);
    const auto first = reinterpret_cast<uintptr_t>(start);
    range.end.store(first + length, std::memory_order_release);
    range.start.store(first, std::memory_order_release);
    return;
  }
}

void ForgetMappedFile(const void* start) {
  const std::lock_guard lock(g_ranges_lock);
  for (WatchedRange& range : g_ranges)
    if (range.start.load(std::memory_order_relaxed) == reinterpret_cast<uintptr_t>(start))
      range.start.store(0, std::memory_order_release);
}

}  // namespace nuv::platform
