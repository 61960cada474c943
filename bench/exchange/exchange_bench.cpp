// Export, then import, of the largest workbook the formats allow: a preset
// table of nearly 2 MiB unpacked and 64 configuration blocks of 100 items
// (with descriptions), through the stand-in spreadsheet application and
// the real lzma_alone. Target: at most 2 seconds each.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "common/bench_support.h"
#include "exchange/export_workbook.h"
#include "exchange/import_workbook.h"
#include "exchange/preset_packing.h"
#include "heap_peak.h"
#include "image/block_table.h"
#include "sample_preset.h"
#include "support/command_runner.h"
#include "support/messages.h"
#include "toolcfg/tool_config.h"
#include "workbook/xls_file.h"

namespace nuv::exchange {
namespace {

using namespace workbook;
using bench::CpuSeconds;

constexpr std::size_t kBlocks = 64;
constexpr std::size_t kItems = 100;
constexpr std::size_t kBlockSize = 400;
constexpr std::size_t kTableTarget = 2'090'000;  // bytes, just under 2 MiB
constexpr std::uint32_t kTableColumns = 8;

// A channel list: numbers, names in several scripts, frequencies, flags.
std::vector<std::uint8_t> LargeTable() {
  std::vector<samples::PresetSampleCell> cells;
  std::size_t bytes = 14;
  std::uint32_t row = 0;
  const std::array<std::u16string, 4> names = {u"Канал ", u"チャンネル ", u"Channel ", u"Ωmega "};
  while (bytes < kTableTarget - 400) {
    ++row;
    for (std::uint32_t column = 1; column <= kTableColumns; ++column) {
      std::u16string text;
      const std::string number = std::to_string(row * 7 + column * 13);
      if (column == 1 && row % 50 == 1)
        text = u"*Group " + std::u16string(number.begin(), number.end());
      else if (column == 2)
        text = names[row % names.size()] + std::u16string(number.begin(), number.end());
      else
        text = std::u16string(number.begin(), number.end());
      bytes += 1 + 2 * text.size() + 2;
      cells.push_back({row, column, std::move(text)});
    }
  }
  return samples::PresetTableBytes(static_cast<std::uint16_t>(row), kTableColumns, cells);
}

// 64 blocks of 100 items, half on "IR_FP_Key" and half on "Sys_Config".
void BuildModel(toolcfg::ToolConfig& model, image::BlockTable& table) {
  table.records.push_back(
      samples::OwnBlockRecord(0x3F, "preset", samples::LzmaAloneCompress(LargeTable())));
  model.sheet2.columns = {{"Key"}, {"Value"}, {"Min"}, {"Max"}, {"Description"}};
  model.sheet3.columns = model.sheet2.columns;
  for (std::size_t b = 0; b < kBlocks; ++b) {
    toolcfg::ConfigBlock block;
    block.name = "blk" + std::to_string(b);
    block.block_id = static_cast<std::uint8_t>(0x40 + b);
    block.em = 1;
    for (std::size_t i = 0; i < kItems; ++i) {
      toolcfg::ConfigItem item;
      item.name = "item_" + std::to_string(b) + "_" + std::to_string(i);
      item.description = "What item " + std::to_string(i) + " of block " + block.name + " does";
      if (i % 10 == 9) {
        item.type = toolcfg::ItemType::Text;
        item.bit_offset = static_cast<std::int32_t>(8 * (240 + 16 * (i / 10)));
        item.bit_length = 128;
        item.text_value = "text " + std::to_string(i);
      } else {
        item.type = i % 10 == 5 ? toolcfg::ItemType::Range : toolcfg::ItemType::Number;
        item.bit_offset = static_cast<std::int32_t>(16 * i);
        item.bit_length = 16;
        item.max = 65535;
        item.number_value = (b * 131 + i * 17) % 65536;
      }
      block.items.push_back(std::move(item));
    }
    table.records.push_back(
        samples::OwnBlockRecord(block.block_id, block.name, std::vector<std::uint8_t>(kBlockSize)));
    (b < kBlocks / 2 ? model.sheet2 : model.sheet3).blocks.push_back(std::move(block));
  }
}

// Adds the CPU time per iteration of the process and of lzma as counters.
class CpuCounters {
 public:
  CpuCounters() : self_(CpuSeconds(RUSAGE_SELF)), children_(CpuSeconds(RUSAGE_CHILDREN)) {}
  void Report(benchmark::State& state) const {
    const double n = static_cast<double>(state.iterations());
    state.counters["tool_cpu_s"] = (CpuSeconds(RUSAGE_SELF) - self_) / n;
    state.counters["lzma_cpu_s"] = (CpuSeconds(RUSAGE_CHILDREN) - children_) / n;
  }

 private:
  double self_;
  double children_;
};

struct Setup {
  // The largest model, or none at all (the import then applies no item).
  explicit Setup(bool largest_model = true) {
    ::setenv("NUV_SPREADSHEET_APP", "", 1);
    folder = std::filesystem::temp_directory_path() /
             ("nuv_exchange_bench_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    if (largest_model)
      BuildModel(model, table);
    path = (folder / "preset.xls").string();
  }
  ~Setup() { std::filesystem::remove_all(folder); }

  WorkbookExchange Exchange(image::BlockTable& blocks) {
    return WorkbookExchange{model, blocks, runner, messages, folder};
  }

  std::filesystem::path folder;
  toolcfg::ToolConfig model;
  image::BlockTable table;
  CommandRunner runner;
  RecordedMessages messages;
  std::string path;
};

void BM_ExportLargestWorkbook(benchmark::State& state) {
  Setup setup;
  const CpuCounters cpu;
  for (auto _ : state) {
    // The spreadsheet asks before it replaces a workbook; a new one is timed.
    state.PauseTiming();
    std::filesystem::remove(setup.path);
    state.ResumeTiming();
    WorkbookExchange exchange = setup.Exchange(setup.table);
    if (ExportWorkbook(exchange, {setup.path, false}).result != ExportResult::kSaved)
      state.SkipWithError("export failed");
  }
  cpu.Report(state);
  state.counters["workbook_bytes"] = static_cast<double>(std::filesystem::file_size(setup.path));
  state.counters["packed_table_bytes"] = static_cast<double>(setup.table.records[0].data.size());
}
BENCHMARK(BM_ExportLargestWorkbook)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ImportLargestWorkbook(benchmark::State& state) {
  Setup setup;
  {
    WorkbookExchange exchange = setup.Exchange(setup.table);
    if (ExportWorkbook(exchange, {setup.path, false}).result != ExportResult::kSaved)
      state.SkipWithError("export failed");
  }
  const CpuCounters cpu;
  for (auto _ : state) {
    state.PauseTiming();
    image::BlockTable blocks = setup.table;
    state.ResumeTiming();
    WorkbookExchange exchange = setup.Exchange(blocks);
    if (ImportWorkbook(exchange, setup.path) != ImportResult::kImported)
      state.SkipWithError("import failed");
  }
  cpu.Report(state);
}
BENCHMARK(BM_ImportLargestWorkbook)->Unit(benchmark::kMillisecond)->Iterations(3);

// A channel list of 1,000 rows on "Program" and one stray cell at IV65535,
// as a slip of the keyboard leaves it. The import reads the sheet from A1
// to IV65535 (16.7 million cells, 8,000 of them used), refuses it (column
// 256 lies beyond the table's 128) and goes on with the other sheets. Time
// and heap should follow the cells used, not the rectangle.
void BM_ImportStrayCell(benchmark::State& state) {
  Setup setup(false);
  setup.table.records.push_back(samples::OwnBlockRecord(0x3F, "preset", {1, 2, 3}));
  constexpr std::uint32_t kListRows = 1000;
  WorkbookData book;
  for (const std::u16string_view name : {u"Program", u"IR_FP_Key", u"Sys_Config", u"File_Path"}) {
    book.sheets.push_back(std::make_shared<SheetData>());
    book.sheets.back()->name = name;
    book.sheets.back()->cells.At(1, 1).value = Variant::Text(u"Block");
    book.sheets.back()->cells.At(1, 2).value = Variant::Text(u"Value");
  }
  CellGrid& program = book.sheets[0]->cells;
  for (std::uint32_t row = 1; row <= kListRows; ++row)
    for (std::uint32_t column = 1; column <= kTableColumns; ++column)
      program.At(row, column).value = column == 2 ? Variant::Text("Канал " + std::to_string(row))
                                                  : Variant::R8(row * 7 + column);
  program.At(65535, 256).value = Variant::Text(u"x");
  WriteXlsFile(setup.path, book);

  double peak = 0;
  for (auto _ : state) {
    state.PauseTiming();
    image::BlockTable blocks = setup.table;
    setup.messages.clear();
    const std::size_t before = bench::HeapLive();
    bench::ResetHeapPeak();
    state.ResumeTiming();
    WorkbookExchange exchange = setup.Exchange(blocks);
    if (ImportWorkbook(exchange, setup.path) != ImportResult::kImported ||
        setup.messages.texts().size() != 1 ||
        setup.messages.texts()[0].find("IV65535") == std::string::npos)
      state.SkipWithError("the stray cell was not refused");
    peak = std::max(peak, static_cast<double>(bench::HeapPeak() - before));
  }
  state.counters["peak_heap_MiB"] = peak / (1024 * 1024);
  state.counters["used_cells"] = static_cast<double>(program.CountUsed());
}
BENCHMARK(BM_ImportStrayCell)->Unit(benchmark::kMillisecond)->Iterations(3);

// The lzma_alone runs alone, to show how much of the two above they take.
void BM_PackTableWithLzma(benchmark::State& state) {
  Setup setup;
  const std::vector<std::uint8_t> table = LargeTable();
  WorkbookExchange exchange = setup.Exchange(setup.table);
  for (auto _ : state) {
    if (!PackPreset(exchange, table))
      state.SkipWithError("lzma failed");
  }
  state.counters["table_bytes"] = static_cast<double>(table.size());
}
BENCHMARK(BM_PackTableWithLzma)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_UnpackTableWithLzma(benchmark::State& state) {
  Setup setup;
  WorkbookExchange exchange = setup.Exchange(setup.table);
  for (auto _ : state) {
    if (!UnpackPreset(exchange, setup.table.records[0].data.bytes()))
      state.SkipWithError("lzma failed");
  }
}
BENCHMARK(BM_UnpackTableWithLzma)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace nuv::exchange

BENCHMARK_MAIN();
