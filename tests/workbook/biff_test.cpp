// The .xls reader and writer on their own: round trips, records as other
// programs write them, and damaged streams.
#include <gtest/gtest.h>

#include "common/bytes.h"
#include "workbook/biff_reader.h"
#include "workbook/biff_records.h"
#include "workbook/biff_writer.h"
#include "workbook/cell_listing.h"
#include "workbook/utf16.h"
#include "workbook/xls_file.h"
#include "workbook_test_support.h"

namespace nuv::workbook {
namespace {

using testing::BookBuilder;

WorkbookData RoundTrip(const WorkbookData& book) {
  return ReadXls(WriteXls(book));
}

TEST(Biff, LongTextsLargeStringTablesAndAHundredThousandCellsRoundTrip) {
  BookBuilder builder;
  builder.Sheet(u"Texts");
  std::u16string cjk(32766, u'字');
  for (std::size_t i = 0; i < cjk.size(); i += 3)
    cjk[i] = static_cast<char16_t>(0x0400 + i % 200);  // Cyrillic among CJK
  builder.Set(1, 1, Variant::Text(cjk)).Set(2, 1, Variant::Text(std::u16string(20000, u'é')));
  builder.Set(3, 1, Variant::Text(cjk.substr(0, 300)), 0, true);  // too long for a formula: a text
  // Many short strings, some wide, so that record ends fall inside strings
  // of both widths and between them.
  for (std::uint32_t i = 0; i < 3000; ++i) {
    std::u16string text = u"s" + Utf8ToUtf16(std::to_string(i * 7919));
    if (i % 3 == 0)
      text += u'Ж';
    text.append(i % 17, u'x');
    builder.Set(4 + i / 10, 1 + i % 10, Variant::Text(text));
  }
  builder.Sheet(u"Big");
  for (std::uint32_t i = 0; i < 100000; ++i) {
    if (i % 2)
      builder.Set(1 + i / 50, 1 + i % 50, Variant::R8(i * 0.25));
    else
      builder.Set(1 + i / 50, 1 + i % 50, Variant::Text(u"cell " + Utf8ToUtf16(std::to_string(i))),
                  i % 7 == 0 ? 4 : 0);
  }
  WorkbookData book = builder.Build();
  WorkbookData read = RoundTrip(book);
  EXPECT_FALSE(read.sheets[0]->cells.Find(3, 1)->formula);
  book.sheets[0]->cells.At(3, 1).formula = false;
  EXPECT_EQ(read.sheets[1]->cells.CountUsed(), 100000u);
  EXPECT_EQ(ListWorkbook(read), ListWorkbook(book));
}

// A Workbook stream assembled record by record, the way other programs
// write them: XF 16 fills with palette entry 13 (colour index 6).
class StreamBuilder {
 public:
  StreamBuilder() {
    Record(biff::kBof, {0x00, 0x06, 0x05, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    for (int i = 0; i < 16; ++i)
      Xf(0);
    Xf(13);
  }
  StreamBuilder& Record(std::uint16_t id, std::vector<std::uint8_t> data) {
    out_.U16(id);
    out_.U16(static_cast<std::uint16_t>(data.size()));
    out_.Append(data);
    return *this;
  }
  StreamBuilder& Sheet(std::vector<std::uint8_t> name_record_tail = {1, 0, 'S'}) {
    sheet_positions_.push_back(out_.size() + 4);
    std::vector<std::uint8_t> data = {0, 0, 0, 0, 0, 0};
    data.insert(data.end(), name_record_tail.begin(), name_record_tail.end());
    return Record(biff::kBoundSheet, data);
  }
  // Ends the globals; the records of the sheets follow.
  StreamBuilder& BeginSheet() {
    if (!globals_done_) {
      Record(biff::kEof, {});
      globals_done_ = true;
    }
    out_.PatchU32(sheet_positions_[sheets_begun_++], static_cast<std::uint32_t>(out_.size()));
    return Record(biff::kBof, {0x00, 0x06, 0x10, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  }
  std::vector<std::uint8_t> Build() { return out_.bytes(); }
  // Where each BOUNDSHEET keeps its sheet's offset.
  const std::vector<std::size_t>& sheet_positions() const { return sheet_positions_; }

 private:
  void Xf(std::uint8_t colour) {
    std::vector<std::uint8_t> xf(20, 0);
    if (colour) {
      xf[17] = 0x04;  // pattern 1 in the top bits of the word at 14
      xf[18] = colour;
    }
    Record(biff::kXf, xf);
  }
  common::ByteWriter out_;
  std::vector<std::size_t> sheet_positions_;
  std::size_t sheets_begun_ = 0;
  bool globals_done_ = false;
};

std::vector<std::uint8_t> Cat(std::initializer_list<std::vector<std::uint8_t>> parts) {
  std::vector<std::uint8_t> out;
  for (const auto& p : parts)
    out.insert(out.end(), p.begin(), p.end());
  return out;
}
std::vector<std::uint8_t> U16(std::uint16_t v) {
  return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)};
}
std::vector<std::uint8_t> U32(std::uint32_t v) {
  return Cat({U16(static_cast<std::uint16_t>(v)), U16(static_cast<std::uint16_t>(v >> 16))});
}
std::vector<std::uint8_t> F64(double v) {
  common::ByteWriter w;
  w.F64(v);
  return w.bytes();
}
// Row, column (from 0) and XF of a cell record.
std::vector<std::uint8_t> At(std::uint16_t row, std::uint16_t column, std::uint16_t xf = 15) {
  return Cat({U16(row), U16(column), U16(xf)});
}

std::string Listing(const std::vector<std::uint8_t>& stream) {
  return ListWorkbook(ReadBiff8(stream));
}

TEST(BiffReader, ReadsTheRecordsOtherProgramsWrite) {
  StreamBuilder b;
  b.Sheet();
  // "ok", then a rich wide string with extended data: 1 run, 3 bytes.
  b.Record(biff::kSst, Cat({U32(2),
                            U32(2),
                            U16(2),
                            {0},
                            {'o', 'k'},
                            U16(1),
                            {0x0D},
                            U16(1),
                            U32(3),
                            U16(0x2603),
                            {1, 0, 2, 0},
                            {9, 9, 9}}));
  b.BeginSheet();
  b.Record(biff::kDimensions, Cat({U32(0), U32(1), U16(0), U16(1), U16(0)}));  // says A1 only
  b.Record(biff::kRk, Cat({At(0, 0), U32((1234u << 2) | 2 | 1)}));             // 12.34
  b.Record(biff::kRk, Cat({At(0, 1), U32(0x3FF00000u)}));                      // 1.0 as a float
  b.Record(biff::kMulRk, Cat({U16(1), U16(2), U16(15), U32((5u << 2) | 2), U16(16),
                              U32((static_cast<std::uint32_t>(-6) << 2) | 2), U16(3)}));
  b.Record(biff::kLabel, Cat({At(2, 0), U16(3), {0}, {'a', 'b', 'c'}}));
  b.Record(biff::kLabel, Cat({At(2, 1), U16(2), {1}, U16(0x41F), U16(0x438)}));
  b.Record(biff::kRString, Cat({At(2, 2), U16(2), {0}, {'r', 's'}, U16(1), U32(0)}));
  b.Record(biff::kLabelSst, Cat({At(3, 0), U32(1)}));
  b.Record(biff::kLabelSst, Cat({At(3, 1, 16), U32(0)}));
  b.Record(biff::kBoolErr, Cat({At(4, 0), {1, 0}}));
  b.Record(biff::kBoolErr, Cat({At(4, 1), {0x24, 1}}));
  b.Record(biff::kBlank, At(4, 2));      // no fill: not a used cell
  b.Record(biff::kBlank, At(4, 3, 16));  // a fill
  b.Record(biff::kMulBlank, Cat({U16(5), U16(0), U16(16), U16(15), U16(16), U16(2)}));
  b.Record(biff::kNumber, Cat({At(200, 7), F64(2.5)}));  // far outside DIMENSIONS
  b.Record(biff::kBof, {0x00, 0x06, 0x20, 0x00});        // an embedded chart...
  b.Record(biff::kNumber, Cat({At(9, 9), F64(99)}));     // ...whose records are not cells
  b.Record(biff::kEof, {});
  b.Record(biff::kEof, {});
  std::string expected =
      "S\t\t\tsheet\t\n"
      "S\t1\t1\tnumber\t12.34\nS\t1\t2\tnumber\t1\n"
      "S\t2\t3\tnumber\t5\nS\t2\t4\tnumber\t-6\nS\t2\t4\tfill\t6\n"
      "S\t3\t1\ttext\tabc\nS\t3\t2\ttext\tПи\nS\t3\t3\ttext\trs\n"
      "S\t4\t1\ttext\t☃\nS\t4\t2\ttext\tok\nS\t4\t2\tfill\t6\n"
      "S\t5\t1\tbool\tTRUE\nS\t5\t2\terror\t#NUM!\nS\t5\t4\tfill\t6\n"
      "S\t6\t1\tfill\t6\nS\t6\t3\tfill\t6\n"
      "S\t201\t8\tnumber\t2.5\n";
  EXPECT_EQ(Listing(b.Build()), expected);
}

// Texts cut by CONTINUE records: shared strings, and the text result of a
// formula, which comes in a STRING record after the formula's own.
TEST(BiffReader, TakesCachedFormulaResultsAndTextsContinuedAcrossRecords) {
  auto formula = [](std::uint16_t column, std::vector<std::uint8_t> result) {
    return Cat({At(1, column), result, U16(0), U32(0), U16(3), {0x1E, 1, 0}});
  };
  auto special = [](std::uint8_t kind, std::uint8_t datum) {
    return std::vector<std::uint8_t>{kind, 0, datum, 0, 0, 0, 0xFF, 0xFF};
  };
  StreamBuilder b;
  b.Sheet();
  // "hello" cut after "he"; the rest is wide. Then a string whose header
  // starts a CONTINUE record of its own, and one cut inside a surrogate
  // pair, as some writers do.
  b.Record(biff::kSst, Cat({U32(3), U32(3), U16(5), {0}, {'h', 'e'}}));
  b.Record(biff::kContinue, Cat({{1}, U16('l'), U16('l'), U16(0x00F6)}));
  b.Record(biff::kContinue, Cat({U16(1), {0}, {'z'}, U16(2), {1}, U16(0xD83D)}));
  b.Record(biff::kContinue, Cat({{1}, U16(0xDCFA)}));
  b.BeginSheet();
  b.Record(biff::kLabelSst, Cat({At(0, 0), U32(0)}));
  b.Record(biff::kLabelSst, Cat({At(0, 1), U32(1)}));
  b.Record(biff::kLabelSst, Cat({At(0, 2), U32(2)}));
  b.Record(biff::kFormula, formula(0, F64(3.5)));
  b.Record(biff::kFormula, formula(1, special(0, 0)));
  b.Record(0x04BC, {0, 0, 0, 0, 0, 0, 0, 0});  // a shared formula between the cell and its text
  // The text result, its characters cut by a CONTINUE that switches to wide.
  b.Record(biff::kString, Cat({U16(4), {0}, {'a', 'b'}}));
  b.Record(biff::kContinue, Cat({{1}, U16(0x3B1), U16(0x3B2)}));
  b.Record(biff::kFormula, formula(2, special(1, 1)));
  b.Record(biff::kFormula, formula(3, special(2, 0x07)));
  b.Record(biff::kFormula, formula(4, special(3, 0)));
  b.Record(biff::kFormula, formula(5, special(0, 0)));  // its STRING never comes
  b.Record(biff::kEof, {});
  EXPECT_EQ(Listing(b.Build()),
            "S\t\t\tsheet\t\nS\t1\t1\ttext\thellö\nS\t1\t2\ttext\tz\nS\t1\t3\ttext\t📺\n"
            "S\t2\t1\tformula-number\t3.5\nS\t2\t2\tformula-text\tabαβ\n"
            "S\t2\t3\tformula-bool\tTRUE\nS\t2\t4\tformula-error\t#DIV/0!\n"
            "S\t2\t5\tformula-text\t\nS\t2\t6\tformula-text\t\n");
}

std::string ReadError(const std::vector<std::uint8_t>& stream) {
  return testing::AutomationErrorOf([&] { ReadBiff8(stream); });
}

// A stream with a record among the globals, before one empty sheet; or
// with a record in its one sheet.
std::vector<std::uint8_t> InGlobals(std::uint16_t id, std::vector<std::uint8_t> data) {
  return StreamBuilder()
      .Record(id, std::move(data))
      .Sheet()
      .BeginSheet()
      .Record(biff::kEof, {})
      .Build();
}
std::vector<std::uint8_t> InSheet(std::uint16_t id, std::vector<std::uint8_t> data) {
  return StreamBuilder()
      .Sheet()
      .BeginSheet()
      .Record(id, std::move(data))
      .Record(biff::kEof, {})
      .Build();
}

TEST(BiffReader, DamagedStreamsSayWhatIsWrong) {
  // Two BOUNDSHEETs that give the same offset.
  StreamBuilder twice;
  twice.Sheet().Sheet().BeginSheet().Record(biff::kEof, {});
  std::vector<std::uint8_t> same_offset = twice.Build();
  std::copy_n(same_offset.begin() + static_cast<std::ptrdiff_t>(twice.sheet_positions()[0]), 4,
              same_offset.begin() + static_cast<std::ptrdiff_t>(twice.sheet_positions()[1]));
  const std::pair<const char*, std::vector<std::uint8_t>> cases[] = {
      {"refers to shared string 3 of 0", InSheet(biff::kLabelSst, Cat({At(0, 0), U32(3)}))},
      {"ends after 1 of the 1000000 strings",
       InGlobals(biff::kSst, Cat({U32(1), U32(1000000), U16(1), {0}, {'a'}}))},
      {"inside a shared string",
       InGlobals(biff::kSst, Cat({U32(1), U32(1), U16(60000), {0}, {'a'}}))},
      // Extended data longer than the table.
      {"inside a shared string",
       InGlobals(biff::kSst, Cat({U32(1), U32(1), U16(1), {4}, U32(0xFFFFFFF0), {'a'}}))},
      {"encrypted", InGlobals(biff::kFilePass, {0, 0})},
      {"has no EOF record", StreamBuilder().Sheet().BeginSheet().Build()},
      {"column 300", InSheet(biff::kNumber, Cat({At(0, 299), F64(1)}))},
      {"unknown error value", InSheet(biff::kBoolErr, Cat({At(0, 0), {0x05, 1}}))},
      {"broken length", InSheet(biff::kMulRk, Cat({U16(0), U16(0), U16(15), U32(2), {1}, U16(0)}))},
      {"is too short", InSheet(biff::kNumber, {1, 2, 3})},
      {"has no worksheet", StreamBuilder().Record(biff::kEof, {}).Build()},
      {"starts past the end",
       StreamBuilder()
           .Record(biff::kBoundSheet, Cat({U32(1u << 30), {0, 0, 1, 0, 'S'}}))
           .Record(biff::kEof, {})
           .Build()},
      {"start at the same offset", same_offset},
      // Other formats are named.
      {"Excel 5.0/95", {0x09, 0x08, 4, 0, 0x00, 0x05, 0x05, 0x00}},
      {"record header", {1, 2, 3}},
  };
  for (const auto& [expected, stream] : cases) {
    const std::string error = ReadError(stream);
    EXPECT_NE(error.find(expected), std::string::npos)
        << "expected \"" << expected << "\", got \"" << error << "\"";
  }
}

TEST(Biff, EveryKindOfCellRoundTripsAndEveryTruncationFailsCleanly) {
  WorkbookData book = BookBuilder()
                          .Sheet(u"Program")
                          .Set(1, 1, Variant::Text(u"*title"), 6)
                          .Set(1, 2, Variant::R8(42))
                          .Set(1, 3, Variant::R8(-0.1))
                          .Set(2, 1, Variant::R8(1e300))
                          .Set(2, 2, Variant::R8(123456.78))  // an RK number divided by 100
                          .Set(2, 3, Variant::R8(536870912))  // just beyond a 30-bit integer
                          .Set(3, 1, Variant::Bool(false))
                          .Set(3, 2, Variant::CellError(kErrorNA))
                          .Set(3, 3, Variant(), 3)  // a fill alone
                          .Set(4, 256, Variant::Text(u""))
                          .Set(4, 255, Variant::Text(u"tab\there\\ \r\n"))
                          .Set(5, 1, Variant::Text(std::u16string(9000, u'ж')))
                          .Sheet(u"Канал 日本")
                          .Set(65536, 1, Variant::R8(7), 0, true)
                          .Set(65536, 2, Variant::Text(u"€uro"), 0, true)
                          .Set(65536, 3, Variant::Bool(true), 0, true)
                          .Set(65536, 4, Variant::CellError(kErrorDiv0), 56, true)
                          .Sheet(u"Empty")
                          .Build();
  book.active = 1;
  WorkbookData read = RoundTrip(book);
  EXPECT_EQ(ListWorkbook(read), ListWorkbook(book));
  EXPECT_EQ(read.active, 1u);
  // The listing of `nuv xls dump` reads back as the same workbook.
  RecordedMessages messages;
  const std::optional<WorkbookData> listed = ParseListing(ListWorkbook(book), messages);
  ASSERT_TRUE(listed);
  EXPECT_EQ(ListWorkbook(*listed), ListWorkbook(book));
  EXPECT_FALSE(
      ParseListing("S\t\t\tsheet\t\nS\t1\t1\tnumber\t1\nS\t1\t300\tnumber\t2\n", messages));
  EXPECT_EQ(messages.texts(),
            std::vector<std::string>{"line 3: the column must be a number from 1 to 256"});
  std::vector<std::uint8_t> stream = WriteBiff8(book);
  for (std::size_t size = 0; size < stream.size(); ++size)
    EXPECT_FALSE(
        ReadError({stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(size)}).empty())
        << size;
}

}  // namespace
}  // namespace nuv::workbook
