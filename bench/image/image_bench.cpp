// Pre-Parse and `nuv verify` of a large image measured against what the
// machine can do at best: `cat IMAGE >/dev/null` (a child process that
// copies the cached file through a small buffer) and a plain read into a
// fresh buffer. Also the header scan and the block CRC alone over data in
// memory (the CRC beside the table-driven definition it replaced), and the
// peak memory of a whole Pre-Parse in a fresh process.
//
//   nuv_image_bench [benchmark options]     the benchmarks
//   nuv_image_bench --peak-child IMAGE      (internal) one Pre-Parse, prints
//                                           VmHWM before and after in KiB
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "common/bench_support.h"
#include "crc_reference.h"
#include "image/block_entry.h"
#include "image/crc32.h"
#include "image/dm_header.h"
#include "image/flash_image.h"
#include "image/image_file.h"
#include "image/pre_parse.h"
#include "image_builder.h"
#include "support/messages.h"

namespace {

using nuv::bench::CpuSeconds;
using nuv::bench::RunProgram;
using nuv::bench::TimeIterations;
using nuv::bench::Times;

constexpr size_t kImageSize = 256u << 20;
const char* const kImagePath = "/tmp/nuv-image-bench-256m-v1.bin";

// Seconds per iteration of the `cat` benchmark, for the ratios of the others:
// elapsed, and processor time of the child (which a loaded machine does not
// stretch, so its ratio holds when other work competes for the processors).
double cat_seconds = 0;
double cat_cpu_seconds = 0;

class NullMessages final : public nuv::Messages {
 public:
  void Show(nuv::BoxCaption, std::string_view text) override {
    std::fprintf(stderr, "bench: %.*s\n", static_cast<int>(text.size()), text.data());
  }
};

std::vector<uint8_t> RandomBytes(size_t count, uint64_t seed) {
  std::vector<uint8_t> bytes(count);
  uint64_t state = seed * 0x9E3779B97F4A7C15ull + 1;
  for (size_t i = 0; i + 8 <= count; i += 8) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    std::memcpy(bytes.data() + i, &state, 8);
  }
  return bytes;
}

// A new-format image of random block data in two banks, as large images are.
void MakeImageIfMissing() {
  struct stat info {};
  if (stat(kImagePath, &info) == 0 && static_cast<size_t>(info.st_size) == kImageSize)
    return;
  using nuv::samples::BlockPlan;
  auto block = [](uint8_t id, const char* name, size_t size, uint64_t seed) {
    BlockPlan plan;
    plan.id = id;
    plan.name = name;
    plan.data = RandomBytes(size, seed);
    plan.align = 0x10000;
    plan.time = "201405121030";
    return plan;
  };
  nuv::samples::NewFormatPlan plan;
  plan.length = kImageSize;
  nuv::samples::BankPlan first{.header_offset = 0, .sdram_size = 0x10000000};
  first.blocks = {block(0x01, "boot", 1u << 20, 1), block(0x02, "ssdata", 16, 2),
                  block(0xA4, "kernel", 60u << 20, 3), block(0xA8, "rootfs", 130u << 20, 4)};
  std::memcpy(first.blocks[1].data.data(), "BENCH-1.0", 10);
  nuv::samples::BankPlan second{.header_offset = 200u << 20, .sdram_size = 0x10000000};
  second.blocks = {block(0x20, "app", 50u << 20, 5), block(0x05, "toolcfg", 4096, 6)};
  plan.banks = {first, second};
  const std::string temporary = std::string(kImagePath) + ".part";
  if (!nuv::samples::WriteBytesFile(temporary, nuv::samples::BuildNewFormatImage(plan).bytes) ||
      std::rename(temporary.c_str(), kImagePath) != 0) {
    std::fprintf(stderr, "bench: cannot write %s\n", kImagePath);
    std::exit(1);
  }
}

void Report(benchmark::State& state, const Times& times) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kImageSize));
  state.counters["GB/s"] = static_cast<double>(kImageSize) / times.seconds / 1e9;
  if (cat_seconds > 0)
    state.counters["x_cat"] = times.seconds / cat_seconds;
  if (cat_cpu_seconds > 0 && times.cpu > 0)
    state.counters["cpu_x_cat"] = times.cpu / cat_cpu_seconds;
}

void BM_Cat(benchmark::State& state) {
  MakeImageIfMissing();
  RunProgram({"cat", kImagePath}, "/dev/null");  // into the page cache
  const double children_start = CpuSeconds(RUSAGE_CHILDREN);
  cat_seconds = TimeIterations(state, [] {
                  if (RunProgram({"cat", kImagePath}, "/dev/null") != 0)
                    std::abort();
                }).seconds;
  cat_cpu_seconds =
      (CpuSeconds(RUSAGE_CHILDREN) - children_start) / static_cast<double>(state.iterations());
  Report(state, {cat_seconds, cat_cpu_seconds});
}

size_t ReadInto(uint8_t* data, size_t size) {
  const int fd = open(kImagePath, O_RDONLY | O_CLOEXEC);
  size_t done = 0;
  while (fd >= 0 && done < size) {
    const ssize_t got = read(fd, data + done, size - done);
    if (got <= 0)
      break;
    done += static_cast<size_t>(got);
  }
  if (fd >= 0)
    close(fd);
  return done;
}

void BM_ReadIntoVector(benchmark::State& state) {
  Report(state, TimeIterations(state, [] {
           std::vector<uint8_t> buffer(kImageSize);
           benchmark::DoNotOptimize(ReadInto(buffer.data(), buffer.size()));
         }));
}

void BM_ReadIntoMalloc(benchmark::State& state) {
  Report(state, TimeIterations(state, [] {
           std::unique_ptr<uint8_t, decltype(&std::free)> buffer(
               static_cast<uint8_t*>(std::malloc(kImageSize)), &std::free);
           benchmark::DoNotOptimize(ReadInto(buffer.get(), kImageSize));
         }));
}

void BM_PreParse(benchmark::State& state) {
  NullMessages messages;
  Report(state, TimeIterations(state, [&] {
           nuv::image::FlashImage flash;
           const nuv::image::PreParseOutcome outcome =
               nuv::image::PreParse(flash, {.source_path = kImagePath}, messages);
           if (outcome.result != nuv::image::PreParseResult::kParsed || outcome.rows.size() != 6)
             std::abort();
         }));
}

// `nuv verify IMAGE` against `cat IMAGE`, both run as programs, turn about,
// with the image in the page cache: Pre-Parse, the CRC of every block, the
// layout checks, and the "toolcfg" block through gzip (whose random bytes it
// refuses, so the image is not sound; the bench image has no "preset"
// block). The figures are the best run of each of 25 (elapsed and processor
// time apart) and their ratios, which a loaded machine changes least.
void BM_Verify(benchmark::State& state) {
  MakeImageIfMissing();
  RunProgram({"cat", kImagePath}, "/dev/null");  // into the page cache
  const std::string nuv = nuv::bench::BuiltProgram("nuv");
  for (auto _ : state) {
    const auto [cat, verify] =
        nuv::bench::InterleavedBest({"cat", kImagePath}, 0, {nuv, "verify", kImagePath}, 1);
    nuv::bench::ReportAgainst(state, "cat", cat, "verify", verify);
  }
}

// Pre-Parse's read alone: the file into a fresh huge-page buffer.
void BM_LoadImageFile(benchmark::State& state) {
  NullMessages messages;
  Report(state, TimeIterations(state, [&] {
           nuv::image::FlashImage flash;
           if (nuv::image::LoadImageFile(flash, kImagePath, messages) !=
               nuv::image::LoadResult::kLoaded)
             std::abort();
         }));
}

// The scan alone over data in memory.
void Scan(benchmark::State& state, const std::vector<uint8_t>& data) {
  const Times times =
      TimeIterations(state, [&] { benchmark::DoNotOptimize(nuv::image::FindDmHeaders(data)); });
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.size()));
  state.counters["GB/s"] = static_cast<double>(data.size()) / times.seconds / 1e9;
  state.counters["cpu_GB/s"] = static_cast<double>(data.size()) / times.cpu / 1e9;
}

void BM_ScanRandom(benchmark::State& state) {
  static const std::vector<uint8_t> data = RandomBytes(kImageSize, 7);
  Scan(state, data);
}

void BM_ScanAllStars(benchmark::State& state) {
  static const std::vector<uint8_t> data(kImageSize, '*');
  Scan(state, data);
}

// Half the bytes '*' and the magic's 'D' and ')' often enough that many
// positions pass part of the first check.
void BM_ScanDenseMix(benchmark::State& state) {
  static const std::vector<uint8_t> data = [] {
    std::vector<uint8_t> bytes = RandomBytes(kImageSize, 8);
    const char pick[] = {'*', '*', 'D', ')'};
    for (uint8_t& b : bytes)
      b = (b & 0x80) ? static_cast<uint8_t>(pick[b & 3]) : b;
    return bytes;
  }();
  Scan(state, data);
}

// The magic over and over without a marker: every 16 positions hold one that
// passes the quick check and needs the whole comparison.
void BM_ScanRepeatedMagic(benchmark::State& state) {
  static const std::vector<uint8_t> data = [] {
    std::vector<uint8_t> bytes(kImageSize);
    for (size_t i = 0; i < bytes.size(); ++i)
      bytes[i] = nuv::image::kDmMagic[i % nuv::image::kDmMagic.size()];
    return bytes;
  }();
  Scan(state, data);
}

// One position in four passes the three probe bytes ('*' at p, 'D' at p + 5,
// ')' at p + 11) but is no magic.
void BM_ScanProbePattern(benchmark::State& state) {
  static const std::vector<uint8_t> data = [] {
    std::vector<uint8_t> bytes(kImageSize);
    const char period[] = {'*', 'D', '^', ')'};
    for (size_t i = 0; i < bytes.size(); ++i)
      bytes[i] = static_cast<uint8_t>(period[i % 4]);
    return bytes;
  }();
  Scan(state, data);
}

// The block CRC over data in memory, in processor time of one core.
void Crc(benchmark::State& state, uint32_t (*crc)(uint32_t, std::span<const uint8_t>)) {
  static const std::vector<uint8_t> data = RandomBytes(64u << 20, 9);
  const Times times =
      TimeIterations(state, [&] { benchmark::DoNotOptimize(crc(nuv::image::kCrcStart, data)); });
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.size()));
  state.counters["GB/s"] = static_cast<double>(data.size()) / times.seconds / 1e9;
  state.counters["cpu_GB/s"] = static_cast<double>(data.size()) / times.cpu / 1e9;
}

void BM_Crc(benchmark::State& state) {
  Crc(state, &nuv::image::UpdateCrc);
}

void BM_CrcTableDriven(benchmark::State& state) {
  Crc(state, &nuv::image::test::ReferenceCrc);
}

long HighWaterKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0)
      return std::strtol(line.c_str() + 6, nullptr, 10);
  return -1;
}

int PeakChild(const char* image) {
  const long before = HighWaterKiB();
  NullMessages messages;
  nuv::image::FlashImage flash;
  if (nuv::image::PreParse(flash, {.source_path = image}, messages).result !=
      nuv::image::PreParseResult::kParsed)
    return 1;
  std::printf("%ld %ld\n", before, HighWaterKiB());
  return 0;
}

// Peak resident memory of a fresh process that does one Pre-Parse.
void BM_PreParsePeakMemory(benchmark::State& state) {
  const std::string self = "/proc/self/exe";
  const std::string out = "/tmp/nuv-image-bench-peak.txt";
  long before = 0, after = 0;
  for (auto _ : state) {
    if (RunProgram({self, "--peak-child", kImagePath}, out.c_str()) != 0)
      std::abort();
    std::ifstream in(out);
    in >> before >> after;
  }
  std::remove(out.c_str());
  const double image_kib = static_cast<double>(kImageSize) / 1024;
  state.counters["peak_MiB"] = static_cast<double>(after) / 1024;
  state.counters["peak_x_image"] = static_cast<double>(after) / image_kib;
  state.counters["added_x_image"] = static_cast<double>(after - before) / image_kib;
}

BENCHMARK(BM_Cat)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_ReadIntoVector)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_ReadIntoMalloc)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_LoadImageFile)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_PreParse)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_Verify)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);
BENCHMARK(BM_Crc)->Unit(benchmark::kMillisecond)->MinTime(1);
BENCHMARK(BM_CrcTableDriven)->Unit(benchmark::kMillisecond)->MinTime(1);
BENCHMARK(BM_ScanRandom)->Unit(benchmark::kMillisecond)->MinTime(1);
BENCHMARK(BM_ScanAllStars)->Unit(benchmark::kMillisecond)->MinTime(1);
BENCHMARK(BM_ScanDenseMix)->Unit(benchmark::kMillisecond)->MinTime(1);
BENCHMARK(BM_ScanRepeatedMagic)->Unit(benchmark::kMillisecond)->MinTime(1);
BENCHMARK(BM_ScanProbePattern)->Unit(benchmark::kMillisecond)->MinTime(1);
BENCHMARK(BM_PreParsePeakMemory)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--peak-child") == 0)
    return PeakChild(argv[2]);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
