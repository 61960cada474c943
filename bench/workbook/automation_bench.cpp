// Writes 200,000 cells cell by cell through the automation layer and saves
// them, then opens the file and reads it with one Value2 call, as the
// export and the import do. Target: at most one second each way.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/messages.h"
#include "workbook/excel_operations.h"

namespace nuv::workbook {
namespace {

constexpr std::uint32_t kRows = 1000;
constexpr std::uint32_t kColumns = 200;  // 200,000 cells

std::filesystem::path BenchFile() {
  return std::filesystem::temp_directory_path() /
         ("nuv_workbook_bench_" + std::to_string(::getpid()) + ".xls");
}

// Half numbers, half texts, with a highlighted block row every 50 rows.
void WriteWorkbook(const std::filesystem::path& path) {
  RecordedMessages messages;
  ExcelApplication app;
  if (StartExcel(app, messages) != StartResult::kStarted)
    std::abort();
  ExcelWorkbooks books(app.GetWorkbooks());
  ExcelWorkbook book(books.Add(MissingArgument()));
  ExcelWorksheets sheets(book.GetWorksheets());
  ExcelWorksheet sheet(sheets.GetItem(Variant::I2(1)));
  ExcelRange cells(sheet.GetCells());
  for (std::uint32_t r = 1; r <= kRows; ++r) {
    for (std::uint32_t c = 1; c <= kColumns; ++c) {
      Variant value = (r + c) % 2
                          ? Variant::UI8(std::uint64_t{r} * c)
                          : Variant::Text("item_" + std::to_string(r) + "_" + std::to_string(c));
      cells.SetItem(Variant::I4(static_cast<std::int32_t>(r)),
                    Variant::I4(static_cast<std::int32_t>(c)), value);
    }
    if (r % 50 == 1) {
      const std::string first = FormatCellName(1, r).value_or("");
      const std::string last = FormatCellName(kColumns, r).value_or("");
      ExcelRange row(sheet.GetRange(Variant::Text(first), Variant::Text(last)));
      ExcelInterior(row.GetInterior()).SetColorIndex(Variant::I2(6));
    }
  }
  Variant m = MissingArgument();
  book.SaveAs(Variant::Text(path.string()), m, m, m, m, m, 0, m, m, m, m);
  app.Quit();
}

void BM_WriteAndSave200kCells(benchmark::State& state) {
  ::setenv("NUV_SPREADSHEET_APP", "", 1);
  std::filesystem::path path = BenchFile();
  for (auto _ : state) {
    // The spreadsheet asks before it replaces a workbook; a new one is timed.
    state.PauseTiming();
    std::filesystem::remove(path);
    state.ResumeTiming();
    WriteWorkbook(path);
  }
  state.counters["cells"] = kRows * kColumns;
  state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(path));
  std::filesystem::remove(path);
}
BENCHMARK(BM_WriteAndSave200kCells)->Unit(benchmark::kMillisecond)->MinTime(3);

void BM_OpenAndRead200kCells(benchmark::State& state) {
  ::setenv("NUV_SPREADSHEET_APP", "", 1);
  std::filesystem::path path = BenchFile();
  WriteWorkbook(path);
  for (auto _ : state) {
    RecordedMessages messages;
    ExcelApplication app;
    if (StartExcel(app, messages) != StartResult::kStarted)
      std::abort();
    ExcelWorkbooks books(app.GetWorkbooks());
    Variant m = MissingArgument();
    ExcelWorkbook book(books.Open(path.string(), m, m, m, m, m, m, m, m, m, m, m, m, m, m));
    ExcelWorksheets sheets(book.GetWorksheets());
    ExcelWorksheet sheet;
    FindSheetByName(sheets, "Sheet1", 1, sheet);
    UsedExtent extent = GetUsedExtent(sheet);
    ValueArray values = ReadSheetValues(sheet, extent.rows, extent.columns);
    // Every element taken out once, as the readers of the sheets do.
    std::size_t texts = 0;
    for (std::uint32_t r = 1; r <= values.rows(); ++r)
      for (std::uint32_t c = 1; c <= values.columns(); ++c)
        texts += values.GetElement(r, c).type() == VT_BSTR;
    benchmark::DoNotOptimize(texts);
    CloseAndQuit(book, app);
  }
  state.counters["cells"] = kRows * kColumns;
  std::filesystem::remove(path);
}
BENCHMARK(BM_OpenAndRead200kCells)->Unit(benchmark::kMillisecond)->MinTime(3);

}  // namespace
}  // namespace nuv::workbook

BENCHMARK_MAIN();
