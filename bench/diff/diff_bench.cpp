// `nuv diff` of two 256 MiB new-format images that differ in a few blocks,
// measured against `cmp -s` of the same two cached files. The blocks that
// differ lie in the second bank, at 200 MiB, so cmp, which stops at the
// first difference, reads most of both files.
//
// Two pairs: one whose images carry their tool-config script, so that the
// items are compared too (gzip runs twice through the command runner), and
// the same images without a "toolcfg" block. Both commands run as programs,
// turn about, 25 times each; the figures are the best run of each (elapsed
// and processor time apart) and their ratios, x_cmp and cpu_x_cmp.
#include <benchmark/benchmark.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/bench_support.h"
#include "image_builder.h"
#include "sample_toolcfg.h"

namespace {

using nuv::bench::RunProgram;
using nuv::samples::BlockPlan;

constexpr size_t kImageSize = 256u << 20;

struct Pair {
  std::string old_path;
  std::string new_path;
  bool with_script;
};
const Pair kScripted{"/tmp/nuv-diff-bench-old-v1.bin", "/tmp/nuv-diff-bench-new-v1.bin", true};
const Pair kPlain{"/tmp/nuv-diff-bench-old-plain-v1.bin", "/tmp/nuv-diff-bench-new-plain-v1.bin",
                  false};

BlockPlan Big(uint8_t id, const char* name, size_t size, uint32_t seed) {
  BlockPlan block{.id = id, .name = name, .data = nuv::samples::PatternBytes(size, seed)};
  block.align = 0x10000;
  block.time = "201405121030";
  return block;
}

// Boot, kernel and root file system in the first bank; an application and
// the configuration blocks of the samples in the second, at 200 MiB. The
// new image has three patches of 4 KiB in the application, another volume
// in "sysconf" and a logo 4 KiB longer, which moves the blocks behind it.
nuv::samples::NewFormatPlan Plan(bool changed, bool with_script) {
  nuv::samples::NewFormatPlan plan{.length = kImageSize};
  nuv::samples::BankPlan first{.header_offset = 0, .sdram_size = 0x10000000};
  first.blocks = {Big(0x01, "boot", 1u << 20, 1), Big(0xA4, "kernel", 60u << 20, 2),
                  Big(0xA8, "rootfs", 130u << 20, 3)};
  nuv::samples::BankPlan second{.header_offset = 200u << 20, .sdram_size = 0x10000000};
  second.blocks = {Big(0x20, "app", 50u << 20, 4)};
  for (BlockPlan& block : nuv::samples::ToolConfigSampleBlocks())
    if (with_script || block.name != "toolcfg")
      second.blocks.push_back(std::move(block));
  if (changed) {
    std::vector<uint8_t>& app = second.blocks[0].data;
    for (size_t at : {app.size() - (9u << 20), app.size() - (5u << 20), app.size() - 4096})
      for (size_t k = 0; k < 4096; ++k)
        app[at + k] = static_cast<uint8_t>(~app[at + k]);
    for (BlockPlan& block : second.blocks) {
      if (block.name == "sysconf")
        block.data[4] ^= 0x02;  // Volume: 7 bits from bit 1 of byte 4
      if (block.name == "logo")
        block.data.resize(block.data.size() + 4096, 0x5A);
    }
  }
  plan.banks = {first, second};
  return plan;
}

void WriteIfMissing(const std::string& path, const nuv::samples::NewFormatPlan& plan) {
  struct stat info {};
  if (stat(path.c_str(), &info) == 0 && static_cast<size_t>(info.st_size) == kImageSize)
    return;
  const std::string temporary = path + ".part";
  if (!nuv::samples::WriteBytesFile(temporary, nuv::samples::BuildNewFormatImage(plan).bytes) ||
      std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::fprintf(stderr, "bench: cannot write %s\n", path.c_str());
    std::exit(1);
  }
}

void MakePairs() {
  for (const Pair* pair : {&kScripted, &kPlain}) {
    WriteIfMissing(pair->old_path, Plan(false, pair->with_script));
    WriteIfMissing(pair->new_path, Plan(true, pair->with_script));
    for (const std::string& path : {pair->old_path, pair->new_path})
      RunProgram({"cat", path});  // into the page cache
  }
}

// `nuv diff OLD NEW` against `cmp -s OLD NEW`, both run as programs, turn
// about, with both files in the page cache. The ratio of the best runs is
// what a loaded machine changes least.
void Diff(benchmark::State& state, const Pair& pair) {
  MakePairs();
  const std::string nuv = nuv::bench::BuiltProgram("nuv");
  for (auto _ : state) {
    const auto [cmp, diff] =
        nuv::bench::InterleavedBest({"cmp", "-s", pair.old_path, pair.new_path}, 1,
                                    {nuv, "diff", pair.old_path, pair.new_path}, 1);
    nuv::bench::ReportAgainst(state, "cmp", cmp, "diff", diff);
  }
}

void BM_DiffWithScripts(benchmark::State& state) {
  Diff(state, kScripted);
}
void BM_DiffWithoutScripts(benchmark::State& state) {
  Diff(state, kPlain);
}

BENCHMARK(BM_DiffWithScripts)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);
BENCHMARK(BM_DiffWithoutScripts)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
