// The stand-in spreadsheet application, driven as the tool drives Excel,
// and the automation layer over it: starting it, the handles, the helper
// operations, and how failures surface. (Reading a sheet's used cells from
// A1, and closing, are seen through the import.)
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <limits>
#include <optional>

#include "workbook/xls_file.h"
#include "workbook_test_support.h"

namespace nuv::workbook {
namespace {

#define EXPECT_ERROR_CONTAINS(call, text)                                            \
  EXPECT_NE(testing::AutomationErrorOf([&] { call; }).find(text), std::string::npos) \
      << testing::AutomationErrorOf([&] { call; })

// A started stand-in application with a new workbook of three sheets.
class StandIn : public testing::WorkbookTest {
 protected:
  void SetUp() override {
    WorkbookTest::SetUp();
    ASSERT_EQ(StartExcel(app_, messages_), StartResult::kStarted);
    books_.AttachDispatch(app_.GetWorkbooks());
    NewBook();
  }
  void NewBook() {
    book_.AttachDispatch(books_.Add(MissingArgument()));
    sheets_.AttachDispatch(book_.GetWorksheets());
  }
  std::vector<std::string> SheetNames() {
    std::vector<std::string> names;
    auto count =
        static_cast<int>(sheets_.InvokeHelper(0x76, InvokeKind::PropertyGet, VT_I4).AsInt());
    for (int i = 1; i <= count; ++i)
      names.push_back(
          ExcelWorksheet(sheets_.GetItem(Variant::I2(static_cast<std::int16_t>(i)))).GetName());
    return names;
  }
  ExcelWorksheet Sheet(int position) {
    return ExcelWorksheet(sheets_.GetItem(Variant::I2(static_cast<std::int16_t>(position))));
  }
  void SaveAs(const std::filesystem::path& path) {
    Variant m = MissingArgument();
    book_.SaveAs(Variant::Text(path.string()), m, m, m, m, m, 0, m, m, m, m);
  }
  ExcelWorkbook Open(const std::string& path) {
    Variant m = MissingArgument();
    return ExcelWorkbook(books_.Open(path, m, m, m, m, m, m, m, m, m, m, m, m, m, m));
  }

  RecordedMessages messages_;
  ExcelApplication app_;
  ExcelWorkbooks books_;
  ExcelWorkbook book_;
  ExcelWorksheets sheets_;
};

// Names are found and taken without regard to case; the tool's own lookup
// compares them exactly. (The order of the positions it probes is seen
// through the import.)
TEST_F(StandIn, SheetsAreAddedBeforeTheActiveOneAndFoundByNameInAnyCase) {
  EXPECT_EQ(ExcelWorksheet(sheets_.GetItem(Variant::Text("sheet2"))).GetName(), "Sheet2");
  EXPECT_EQ(ExcelWorksheet(sheets_.GetItem(Variant::Text("SHEET3"))).GetName(), "Sheet3");
  ExcelWorksheet sheet = Sheet(3);
  sheet.SetName("file_path");
  sheet.SetName("File_Path");  // its own name in other letters is fine
  EXPECT_EQ(SheetNames(), (std::vector<std::string>{"Sheet1", "Sheet2", "File_Path"}));
  EXPECT_EQ(testing::AutomationErrorOf([&] { FindSheetByName(sheets_, "file_path", 3, sheet); }),
            "The workbook has no sheet named \"file_path\".");

  Variant m = MissingArgument();
  ExcelWorksheet added(sheets_.Add(m, m, m, m));
  EXPECT_EQ(added.GetName(), "Sheet4");
  EXPECT_EQ(SheetNames(), (std::vector<std::string>{"Sheet4", "Sheet1", "Sheet2", "File_Path"}));
  // The added sheet is now the active one, so the next goes before it.
  ExcelWorksheet second(sheets_.Add(m, m, m, m));
  EXPECT_EQ(SheetNames(),
            (std::vector<std::string>{"Sheet5", "Sheet4", "Sheet1", "Sheet2", "File_Path"}));
  ExcelWorksheet after(sheets_.Add(m, Variant::Object(Sheet(5).object()), m, m));
  EXPECT_EQ(SheetNames().back(), "Sheet6");
}

TEST_F(StandIn, EveryRefusalSaysWhyAndChangesNothing) {
  ExcelWorksheet sheet = Sheet(1);
  EXPECT_ERROR_CONTAINS(sheets_.GetItem(Variant::Text("Sheet9")), "no sheet named \"Sheet9\"");
  EXPECT_ERROR_CONTAINS(sheets_.GetItem(Variant::I2(4)),
                        "no sheet at position 4 (the workbook has 3 sheets)");
  EXPECT_ERROR_CONTAINS(sheets_.GetItem(Variant::I2(0)), "no sheet at position 0");
  EXPECT_ERROR_CONTAINS(Sheet(2).SetName("sheet1"), "already taken");
  EXPECT_ERROR_CONTAINS(sheet.SetName("a/b"), "invalid name");
  EXPECT_ERROR_CONTAINS(sheet.SetName(""), "invalid name");
  EXPECT_ERROR_CONTAINS(sheet.SetName(std::string(32, 'x')), "at most 31");
  EXPECT_EQ(sheet.GetName(), "Sheet1");

  ExcelRange cells(sheet.GetCells());
  EXPECT_ERROR_CONTAINS(cells.SetItem(Variant::I4(65537), Variant::I4(1), Variant::R8(1)),
                        "outside the sheet");
  EXPECT_ERROR_CONTAINS(cells.SetItem(Variant::I4(1), Variant::I4(257), Variant::R8(1)),
                        "outside the sheet");
  EXPECT_ERROR_CONTAINS(cells.SetItem(Variant::I4(1), Variant::I4(1),
                                      Variant::R8(std::numeric_limits<double>::quiet_NaN())),
                        "Type mismatch");
  EXPECT_ERROR_CONTAINS(
      cells.SetItem(Variant::I4(1), Variant::I4(1), Variant::Text(std::u16string(32768, u'x'))),
      "32767");
  EXPECT_ERROR_CONTAINS(cells.SetItem(Variant::Text("one"), Variant::I4(1), Variant::R8(1)),
                        "Type mismatch");
  EXPECT_ERROR_CONTAINS(cells.InvokeHelper(dispid::kRangeItem, InvokeKind::PropertyPut, VT_EMPTY,
                                           {Variant::I4(1), Variant::I4(1)}),
                        "Invalid number of parameters.");
  EXPECT_ERROR_CONTAINS(app_.InvokeHelper(0x999, InvokeKind::PropertyGet, VT_VARIANT),
                        "Member not found");
  EXPECT_ERROR_CONTAINS(sheet.InvokeHelper(dispid::kWorksheetCells, InvokeKind::PropertyPut,
                                           VT_EMPTY, {Variant::R8(1)}),
                        "Member not found");
  EXPECT_ERROR_CONTAINS(sheets_.InvokeHelper(dispid::kWorksheetsItem, InvokeKind::PropertyGet,
                                             VT_DISPATCH, {Variant::I2(1), Variant::I2(2)}),
                        "Invalid number of parameters.");

  for (const char* bad : {"A0", "IW1", "A65537", "1A", "A1:", "", "A1B"})
    EXPECT_ERROR_CONTAINS(sheet.GetRange(Variant::Text(bad), MissingArgument()),
                          "is not a cell address");
  EXPECT_ERROR_CONTAINS(sheet.GetRange(Variant::R8(1), MissingArgument()), "Type mismatch");
  ExcelInterior fill(
      ExcelRange(sheet.GetRange(Variant::Text("A1"), MissingArgument())).GetInterior());
  EXPECT_ERROR_CONTAINS(fill.SetColorIndex(Variant::I4(57)), "not a colour index");
  EXPECT_ERROR_CONTAINS(fill.SetColorIndex(Variant::I4(0)), "not a colour index");
  EXPECT_ERROR_CONTAINS(ExcelInterior(cells.GetInterior()).SetColorIndex(Variant::I4(6)),
                        "at most");
  EXPECT_EQ(ExcelRange(sheet.GetUsedRange()).GetCount(), 1);  // no value and no fill was set

  Variant m = MissingArgument();
  EXPECT_ERROR_CONTAINS(SaveAs(Path("missing") / "book.xls"), "Cannot write");
  EXPECT_ERROR_CONTAINS(book_.SaveAs(Variant::Text(Path("a.xlsx").string()), Variant::I4(51), m, m,
                                     m, m, 0, m, m, m, m),
                        "only the Excel 97-2003 format");
  EXPECT_ERROR_CONTAINS(book_.SaveAs(Variant::Text(Path("a.xls").string()), m, Variant::Text("pw"),
                                     m, m, m, 0, m, m, m, m),
                        "passwords");
  EXPECT_FALSE(std::filesystem::exists(Path("a.xls")));
  EXPECT_ERROR_CONTAINS(Open(Path("none.xls").string()), "Sorry, we couldn't find");
  testing::WriteFile(Path("text.xls"), "hello");
  EXPECT_ERROR_CONTAINS(Open(Path("text.xls").string()), "is not a valid Excel 97-2003 workbook");
#ifndef _WIN32  // Windows makes no named pipes in folders
  ASSERT_EQ(mkfifo(Path("pipe.xls").c_str(), 0600), 0);
  EXPECT_ERROR_CONTAINS(Open(Path("pipe.xls").string()), "it is not a regular file");
#endif
}

TEST_F(StandIn, CellsTakeValuesThroughEveryAddressAndTheUsedRangeSpansValuesAndFills) {
  ExcelRange cells(Sheet(1).GetCells());
  cells.SetItem(Variant::I4(1), Variant::I4(1), Variant::UI8(0x8000000000000000ull));
  cells.SetItem(Variant::I2(1), Variant::R8(2), Variant::Text(u"Канал"));
  cells.SetItem(Variant::I4(2), Variant::I4(1), Variant::Bool(true));
  cells.SetItem(Variant::I4(2), Variant::I4(2), Variant::CellError(kErrorRef));
  cells.SetItem(Variant::I4(3), Variant::I4(1), Variant::UI4(4000000000u));

  ExcelRange range(Sheet(1).GetRange(Variant::Text("A1"), Variant::Text("B3")));
  Variant value = range.GetValue2();
  ASSERT_EQ(value.type(), VT_VARIANT_ARRAY);
  const ValueArray& a = value.AsArray();
  EXPECT_EQ(a.GetElement(1, 1), Variant::R8(9223372036854775808.0));  // a large positive number
  EXPECT_EQ(a.GetElement(1, 2), Variant::Text(u"Канал"));
  EXPECT_EQ(a.GetElement(2, 1), Variant::Bool(true));
  EXPECT_EQ(a.GetElement(2, 2), Variant::CellError(kErrorRef));
  EXPECT_EQ(a.GetElement(3, 1), Variant::R8(4e9));
  EXPECT_TRUE(a.GetElement(3, 2).IsEmpty());
  // The array holds the used cells only: the whole sheet's 16.7 million
  // elements take five, and a range away from A1 counts from its corner.
  const Variant all = ExcelRange(Sheet(1).GetCells()).GetValue2();
  EXPECT_EQ(all.AsArray().rows(), kMaxRows);
  EXPECT_EQ(all.AsArray().columns(), kMaxColumns);
  EXPECT_EQ(all.AsArray().stored().size(), 5u);
  EXPECT_EQ(all.AsArray().GetElement(3, 1), Variant::R8(4e9));
  const Variant inner =
      ExcelRange(Sheet(1).GetRange(Variant::Text("B2"), Variant::Text("C3"))).GetValue2();
  EXPECT_EQ(inner.AsArray().stored().size(), 1u);
  EXPECT_EQ(inner.AsArray().GetElement(1, 1), Variant::CellError(kErrorRef));

  ExcelRange single(Sheet(1).GetRange(Variant::Text("$B$1"), MissingArgument()));
  EXPECT_EQ(single.GetValue2(), Variant::Text(u"Канал"));
  cells.SetItem(Variant::I4(1), Variant::I4(2), Variant());
  EXPECT_TRUE(single.GetValue2().IsEmpty());
  // Item counts from a range's corner.
  ExcelRange corner(Sheet(1).GetRange(Variant::Text("C3:D4"), MissingArgument()));
  corner.SetItem(Variant::I4(2), Variant::I4(1), Variant::R8(7));
  ExcelRange c4(Sheet(1).GetRange(Variant::Text("c4"), MissingArgument()));
  EXPECT_EQ(c4.GetValue2(), Variant::R8(7));
  ExcelRange both(Sheet(1).GetRange(Variant::Text("D5"), Variant::Text("B2")));
  EXPECT_EQ(both.GetCount(), 12);

  // The used range spans values and fills.
  ExcelWorksheet sheet = Sheet(2);
  ExcelRange(sheet.GetCells()).SetItem(Variant::I4(2), Variant::I4(2), Variant::R8(1));
  ExcelInterior fill(
      ExcelRange(sheet.GetRange(Variant::Text("A5"), Variant::Text("D5"))).GetInterior());
  fill.SetColorIndex(Variant::I4(6));
  ExcelRange used(sheet.GetUsedRange());
  EXPECT_EQ(used.GetCount(), 16);  // A2:D5
  EXPECT_EQ(ExcelRange(used.GetRows()).GetCount(), 4);
  EXPECT_EQ(ExcelRange(ExcelRange(used.GetRows()).GetColumns()).GetCount(), 4);
  fill.SetColorIndex(Variant::I4(-4142));  // no fill: the row is no longer used
  EXPECT_EQ(ExcelRange(sheet.GetUsedRange()).GetCount(), 1);
}

// (Windows paths in SaveAs and Open are seen through the export and the
// import, closing without saving through the import.)
TEST_F(StandIn, SavingOverAnotherFileAsksFirstAndCloseSavesItsOwnFileWhenAsked) {
  const std::filesystem::path mine = Path("preset.xls");
  const std::string kQuestion =
      "A file named 'preset.xls' already exists in this location. Do you want to replace it?";
  const std::string kRefused = "the file 'preset.xls' already exists and was not replaced.";
  std::vector<std::string> asked;
  const struct Case {
    const char* what;
    std::optional<bool> answer;  // none: no one to ask
    bool close;                  // Close with SaveChanges and the name, else SaveAs
  } cases[] = {
      {"nobody to ask", std::nullopt, false},
      {"no", false, false},
      {"no on close", false, true},
      {"yes", true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testing::WriteFile(mine, "the user's own bytes");
    asked.clear();
    if (c.answer)
      SetServerQuestion([&, yes = *c.answer](std::string_view text) {
        asked.emplace_back(text);
        return yes;
      });
    NewBook();
    const std::string error = testing::AutomationErrorOf([&] {
      if (c.close)
        book_.Close(Variant::Bool(true), Variant::Text(mine.string()), MissingArgument());
      else
        SaveAs(mine);
    });
    SetServerQuestion({});
    EXPECT_EQ(asked, c.answer ? std::vector<std::string>{kQuestion} : std::vector<std::string>{});
    if (c.answer == true) {
      EXPECT_EQ(error, "");
      EXPECT_EQ(ReadXlsFile(mine).sheets.size(), 3u);
    } else {
      EXPECT_EQ(error, (c.close ? "Workbook.Close: " : "Workbook.SaveAs: ") + kRefused);
      EXPECT_EQ(testing::ReadText(mine), "the user's own bytes");
    }
  }
  // The file saved last is the workbook's own now: closing saves to it.
  ExcelWorkbook again = Open(mine.string());
  ExcelRange(
      ExcelWorksheet(ExcelWorksheets(again.GetWorksheets()).GetItem(Variant::I2(1))).GetCells())
      .SetItem(Variant::I4(1), Variant::I4(1), Variant::R8(5));
  again.Close(Variant::Bool(true), MissingArgument(), MissingArgument());
  EXPECT_EQ(ReadXlsFile(mine).sheets[0]->cells.Find(1, 1)->value, Variant::R8(5));
  EXPECT_ERROR_CONTAINS(again.GetWorksheets(), "disconnected");
}

TEST(FormatCellName, NamesColumnsUpToZZAndNothingBeyond) {
  struct Case {
    std::uint32_t column, row;
    const char* name;
  } cases[] = {{1, 1, "A1"},    {25, 7, "Y7"},          {26, 3, "Z3"},  {27, 3, "AA3"},
               {51, 4, "AY4"},  {52, 10, "AZ10"},       {53, 2, "BA2"}, {78, 2, "BZ2"},
               {702, 1, "ZZ1"}, {256, 65536, "IV65536"}};
  for (const Case& c : cases)
    EXPECT_EQ(FormatCellName(c.column, c.row), c.name) << c.column;
  EXPECT_EQ(FormatCellName(0, 5), std::nullopt);
  EXPECT_EQ(FormatCellName(5, 0), std::nullopt);
  EXPECT_EQ(FormatCellName(703, 1), std::nullopt);
}

TEST_F(StandIn, HandlesReleaseWhatTheyHold) {
  std::weak_ptr<Dispatch> sheet_object;
  {
    ExcelWorksheet sheet(sheets_.GetItem(Variant::I2(1)));
    sheet_object = sheet.object();
    EXPECT_FALSE(sheet_object.expired());
    // Refilling the handle releases the first sheet object.
    sheet.AttachDispatch(sheets_.GetItem(Variant::I2(2)));
    EXPECT_TRUE(sheet_object.expired());
    sheet_object = sheet.object();
  }
  EXPECT_TRUE(sheet_object.expired());
  std::weak_ptr<Dispatch> app_object = app_.object();
  sheets_.ReleaseDispatch();
  book_.ReleaseDispatch();
  books_.ReleaseDispatch();
  app_.ReleaseDispatch();
  EXPECT_TRUE(app_object.expired());
  EXPECT_THROW(app_.GetWorkbooks(), AutomationError);  // an empty handle
}

// (No server registered at all is seen through the export.)
TEST(StartExcel, EachStartIsANewInstanceAndAServerThatRefusesCountsAsNotStarted) {
  RegisterStandInSpreadsheet();
  RecordedMessages messages;
  ExcelApplication first, second;
  ASSERT_EQ(StartExcel(first, messages), StartResult::kStarted);
  ASSERT_EQ(StartExcel(second, messages), StartResult::kStarted);
  EXPECT_NE(first.object(), second.object());
  first.Quit();
  ExcelWorkbooks books(second.GetWorkbooks());  // the second one still answers
  EXPECT_FALSE(books.empty());

  RegisterAutomationServer(std::string(kExcelProgId), [] { return DispatchRef(); });
  ExcelApplication refused;
  EXPECT_EQ(StartExcel(refused, messages), StartResult::kNotStarted);
  EXPECT_TRUE(refused.empty());
  EXPECT_EQ(messages.texts(), std::vector<std::string>{std::string(kCannotStartExcel)});
  RegisterStandInSpreadsheet();
}

}  // namespace
}  // namespace nuv::workbook
