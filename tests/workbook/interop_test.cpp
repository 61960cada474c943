// Checks against independent programs, run as real processes: xlrd reads
// what we write, we read what xlwt and LibreOffice write, LibreOffice opens
// what we write.
#include <gtest/gtest.h>

#include <regex>

#include "workbook/cell_listing.h"
#include "workbook/xls_file.h"
#include "workbook_test_support.h"

namespace nuv::workbook {
namespace {

using testing::BookBuilder;
using testing::Quote;

constexpr const char* kPython = "/usr/bin/python3";
constexpr const char* kOffice = "/usr/bin/soffice";
// Skips the test when an independent program is not installed.
#define NUV_SKIP_WITHOUT(program)        \
  if (!std::filesystem::exists(program)) \
  GTEST_SKIP() << (program) << " is not installed (scripts/setup installs it)"

class Interop : public testing::WorkbookTest {
 protected:
  // Runs one of our Python scripts, which take xlrd and xlwt, on `args`.
  void Python(const std::string& script, const std::string& args) {
    EXPECT_EQ(
        testing::Shell(std::string(kPython) + " " +
                       Quote(std::filesystem::path(NUV_WORKBOOK_SCRIPTS) / script) + " " + args),
        0);
  }
  // What xlrd lists for an .xls file, in the line format of `nuv xls dump`.
  std::string XlrdListing(const std::filesystem::path& file) {
    Python("xlrd_dump.py", Quote(file) + " > " + Quote(Path("xlrd.txt")));
    return testing::ReadText(Path("xlrd.txt"));
  }
  // The path of `file` converted to .xls by LibreOffice, which takes a
  // private profile here so that parallel runs do not meet.
  std::filesystem::path OfficeToXls(const std::filesystem::path& file) {
    EXPECT_EQ(testing::Shell(std::string(kOffice) + " -env:UserInstallation=file://" +
                             Path("profile").string() + " --headless --convert-to xls --outdir " +
                             Quote(Path("office")) + " " + Quote(file) + " > /dev/null 2>&1"),
              0);
    return Path("office") / (file.stem().string() + ".xls");
  }
};

// Compares two listings line by line and reports the first difference,
// cut short: the texts can be tens of thousands of characters long.
void ExpectSameListing(const std::string& actual, const std::string& expected) {
  std::size_t a = 0, e = 0;
  for (int line = 1;; ++line) {
    std::size_t a_end = actual.find('\n', a), e_end = expected.find('\n', e);
    std::string a_line = actual.substr(a, a_end - a), e_line = expected.substr(e, e_end - e);
    if (a_line != e_line) {
      ADD_FAILURE() << "line " << line << " differs:\n  got      " << a_line.substr(0, 120)
                    << "\n  expected " << e_line.substr(0, 120);
      return;
    }
    if (a_end == std::string::npos || e_end == std::string::npos)
      return;
    a = a_end + 1, e = e_end + 1;
  }
}

// xlrd cannot tell a formula from a value: compare results only.
std::string WithoutFormulas(std::string listing) {
  return std::regex_replace(listing, std::regex("\tformula-"), "\t");
}

WorkbookData SampleBook() {
  std::u16string long_text(32766, u'л');
  for (std::size_t i = 0; i < long_text.size(); i += 5)
    long_text[i] = u'漢';
  // Surrogate pairs over several records: one record's end falls after an
  // odd number of code units, which would cut a pair.
  std::u16string pairs;
  for (int i = 0; i < 5000; ++i)
    pairs += u"\U0001F4FA";
  return BookBuilder()
      .Sheet(u"Program")
      .Set(1, 1, Variant::Text(u"*Block"), 6)
      .Set(1, 2, Variant(), 6)
      .Set(2, 1, Variant::Text(u"tab\there"))
      .Set(2, 2, Variant::R8(255))
      .Set(2, 3, Variant::R8(-1.5e-7))
      .Set(2, 4, Variant::R8(18446744073709551615.0))
      .Set(3, 1, Variant::Bool(true))
      .Set(3, 2, Variant::CellError(kErrorValue), 4)
      .Set(3, 3, Variant::R8(3), 0, true)
      .Sheet(u"Sys_Config Ωμέγα")
      .Set(1, 1, Variant::Text(long_text))
      .Set(2, 1, Variant::Text(pairs))
      .Set(200, 256, Variant::Text(u"far"))
      .Sheet(u"File_Path")
      .Build();
}

TEST_F(Interop, XlrdAndLibreOfficeReadWhatWeWrite) {
  NUV_SKIP_WITHOUT(kPython);
  NUV_SKIP_WITHOUT(kOffice);
  WorkbookData book = SampleBook();
  WriteXlsFile(Path("ours.xls"), book);
  ExpectSameListing(XlrdListing(Path("ours.xls")), WithoutFormulas(ListWorkbook(book)));
  WorkbookData back = ReadXlsFile(OfficeToXls(Path("ours.xls")));
  // LibreOffice keeps booleans and error values as formulas of themselves.
  ExpectSameListing(WithoutFormulas(ListWorkbook(back)), WithoutFormulas(ListWorkbook(book)));
}

TEST_F(Interop, WeReadWhatXlwtAndLibreOfficeWrite) {
  NUV_SKIP_WITHOUT(kPython);
  NUV_SKIP_WITHOUT(kOffice);
  Python("xlwt_make.py", Quote(Path("xlwt.xls")));
  WorkbookData book = ReadXlsFile(Path("xlwt.xls"));
  ExpectSameListing(WithoutFormulas(ListWorkbook(book)), XlrdListing(Path("xlwt.xls")));
  // xlwt stores no results for its formulas: they read as empty texts.
  const Cell* formula = book.sheets[0]->cells.Find(4, 1);
  ASSERT_NE(formula, nullptr);
  EXPECT_TRUE(formula->formula);
  EXPECT_EQ(formula->value, Variant::Text(u""));
  EXPECT_EQ(book.sheets[1]->cells.Find(1, 2)->value.AsText(), std::u16string(4000, u'Ω'));

  const std::filesystem::path xls =
      OfficeToXls(std::filesystem::path(NUV_WORKBOOK_SCRIPTS) / "libreoffice_sample.fods");
  const std::string listing = ListWorkbook(ReadXlsFile(xls));
  ExpectSameListing(WithoutFormulas(listing), XlrdListing(xls));
  for (const char* line :
       {"Calc\t1\t1\ttext\tКанал 日本\n", "Calc\t1\t3\tformula-number\t42\n",
        "Calc\t2\t1\tformula-error\t#DIV/0!\n", "Calc\t2\t2\tformula-bool\tTRUE\n",
        "Calc\t2\t4\tfill\t6\n", "Calc\t2\t5\tnumber\t-0.125\n", "Second\t1\t2\ttext\tb1\n"})
    EXPECT_NE(listing.find(line), std::string::npos) << line;
}

}  // namespace
}  // namespace nuv::workbook
