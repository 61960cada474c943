// Generate of a 16 MiB legacy image with 31 file rows, each of which resizes
// its block, against one memcpy of the image in the same run. Each row moves
// the rest of the image at most once, so the whole Generate must stay below
// (rows + 2) copies' worth of time; run with 1, 8 and 31 rows to see that
// the cost grows with the rows and not with their square.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "common/bytes.h"
#include "image/block_entry.h"
#include "image/crc32.h"
#include "image/flash_image.h"
#include "image/image_buffer.h"
#include "legacy/generate.h"
#include "platform/output_file.h"

namespace {

using nuv::image::BlockEntry;

constexpr size_t kImageSize = 16 * 1024 * 1024;
constexpr uint32_t kDmhOffset = 0x1000;
constexpr uint32_t kConfigOffset = 0x2000;
constexpr uint32_t kFirstBlock = 0x100000;
constexpr uint32_t kBlockSize = 0x40000;  // 256 KiB
constexpr uint32_t kTailStart = 0xF00000;
constexpr size_t kMaxRows = 31;

class NullMessages final : public nuv::Messages {
 public:
  void Show(nuv::BoxCaption, std::string_view text) override { last = text; }
  std::string last;
};

BlockEntry MakeEntry(uint8_t id, uint32_t offset, uint32_t size, uint8_t tail) {
  std::array<uint8_t, nuv::image::kBlockEntrySize> bytes{};
  bytes[0] = id;
  bytes[1] = tail;
  BlockEntry entry{std::span<const uint8_t, nuv::image::kBlockEntrySize>(bytes)};
  entry.set_offset(offset);
  entry.set_size(size);
  return entry;
}

// The image, its block list and the row files, made once.
struct Setup {
  std::filesystem::path folder;
  std::vector<uint8_t> original;
  std::vector<BlockEntry> entries;
  nuv::legacy::LegacyBlockList list;
  std::vector<std::string> files;

  Setup() {
    folder =
        std::filesystem::temp_directory_path() / ("nuv-legacy-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    original.resize(kImageSize);
    for (size_t i = 0; i < original.size(); ++i)
      original[i] = static_cast<uint8_t>(i * 131 + (i >> 12));
    std::vector<nuv::legacy::ScriptBlock> blocks;
    for (size_t r = 0; r < kMaxRows; ++r) {
      const auto id = static_cast<uint8_t>(r + 1);
      entries.push_back(
          MakeEntry(id, kFirstBlock + static_cast<uint32_t>(r) * kBlockSize, kBlockSize, 0));
      nuv::legacy::ScriptBlock block;
      block.block_id = id;
      block.em = nuv::legacy::kFileBlock;
      block.name = "blk" + std::to_string(r);
      blocks.push_back(block);
      // Alternately 4 KiB shorter and longer than the block it replaces.
      const size_t size = r % 2 ? kBlockSize + 0x1000 : kBlockSize - 0x1000;
      std::vector<char> data(size, static_cast<char>(r));
      const auto path = folder / ("row" + std::to_string(r) + ".bin");
      std::ofstream(path, std::ios::binary)
          .write(data.data(), static_cast<std::streamsize>(data.size()));
      files.push_back(path.string());
    }
    entries.push_back(MakeEntry(0xF0, kTailStart, kImageSize - kTailStart, 1));
    list.Assign(std::move(blocks));
    static_cast<void>(nuv::common::WriteU32(original, 8, kDmhOffset));
    static_cast<void>(nuv::common::WriteU32(original, 28, kConfigOffset));
    static_cast<void>(nuv::common::WriteU32(original, 32, 0x400));
  }
  ~Setup() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }

  void Reset(nuv::image::FlashImage& image) const {
    std::memcpy(image.image->bytes().data(), original.data(), original.size());
    image.legacy_entries = entries;
  }
};

Setup& TheSetup() {
  static Setup setup;
  return setup;
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void BM_MemcpyImage(benchmark::State& state) {
  std::vector<uint8_t> from(kImageSize, 1), to(kImageSize, 2);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), kImageSize);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(kImageSize));
}
BENCHMARK(BM_MemcpyImage)->Unit(benchmark::kMillisecond)->UseRealTime();

// Each iteration first restores the image with one memcpy of it, timed on
// its own: the "copies" counter is Generate's time over that memcpy's, both
// taken in the same iterations, so a busy machine slows both alike.
void BM_Generate(benchmark::State& state) {
  Setup& setup = TheSetup();
  const auto rows = static_cast<size_t>(state.range(0));
  nuv::image::FlashImage image;
  image.image = nuv::image::ImageBuffer::Allocate(kImageSize);
  image.flash_size = static_cast<uint32_t>(kImageSize);
  image.dmh_offset = kDmhOffset;
  image.config_length = 0x400;
  nuv::legacy::GenerateRequest request;
  request.output_path = (setup.folder / "out.bin").string();
  for (size_t r = 0; r < rows; ++r)
    request.rows.push_back({setup.list.Handle(r), setup.files[r]});
  NullMessages messages;
  double generate = 0;
  double copy = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const auto reset = std::chrono::steady_clock::now();
    setup.Reset(image);
    copy += Seconds(reset);
    state.ResumeTiming();
    const auto start = std::chrono::steady_clock::now();
    const auto outcome = nuv::legacy::Generate(image, setup.list, request, messages);
    generate += Seconds(start);
    if (outcome.result != nuv::legacy::GenerateResult::kWritten)
      state.SkipWithError(("Generate failed: " + messages.last).c_str());
  }
  state.counters["copies"] = generate / copy;
  state.counters["budget"] = static_cast<double>(rows + 2);
}
BENCHMARK(BM_Generate)->Arg(1)->Arg(8)->Arg(31)->Unit(benchmark::kMillisecond)->UseRealTime();

// The output file alone: a new 16 MiB file renamed over the previous one.
void BM_WriteOutput(benchmark::State& state) {
  std::vector<uint8_t> data(kImageSize, 0x5A), to(kImageSize);
  const auto path = TheSetup().folder / "plain.bin";
  double write = 0;
  double copy = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    std::memcpy(to.data(), data.data(), kImageSize);
    benchmark::ClobberMemory();
    copy += Seconds(start);
    const auto written = std::chrono::steady_clock::now();
    const nuv::platform::WriteResult result = nuv::platform::WriteFileReplacing(path, data);
    write += Seconds(written);
    if (!result.ok())
      state.SkipWithError(result.error().c_str());
  }
  state.counters["copies"] = write / copy;
}
BENCHMARK(BM_WriteOutput)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CrcOfOneRow(benchmark::State& state) {
  std::vector<uint8_t> data(kBlockSize, 0x5A);
  for (auto _ : state)
    benchmark::DoNotOptimize(nuv::image::UpdateCrc(nuv::image::kCrcStart, data));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kBlockSize);
}
BENCHMARK(BM_CrcOfOneRow)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
