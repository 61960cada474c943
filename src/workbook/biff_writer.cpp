#include "workbook/biff_writer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>

#include "common/bytes.h"
#include "workbook/biff_records.h"

namespace nuv::workbook {
namespace {

using namespace biff;

// Default cell format, and the first of the formats that add a fill.
constexpr std::uint16_t kDefaultCellXf = 15;
constexpr std::uint16_t kFirstFillXf = 16;
constexpr std::size_t kMaxFormulaText = 255;

bool NeedsHighBytes(std::u16string_view text) {
  return std::any_of(text.begin(), text.end(), [](char16_t c) { return c > 0xFF; });
}

void AppendChars(common::ByteWriter& out, std::u16string_view text, bool high) {
  for (char16_t c : text) {
    if (high)
      out.U16(c);
    else
      out.U8(static_cast<std::uint8_t>(c));
  }
}

bool IsLeadSurrogate(char16_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}

// The code units of the character that starts at `at`: two for a surrogate
// pair.
std::size_t CharacterUnits(std::u16string_view text, std::size_t at) {
  return at + 1 < text.size() && IsLeadSurrogate(text[at]) ? 2 : 1;
}

// How many code units of `text` from `at` go into a record with room for
// `room` of them. A surrogate pair is never cut: readers such as xlrd decode
// each record's characters on their own, and half a pair fails there.
std::size_t PieceLength(std::u16string_view text, std::size_t at, std::size_t room) {
  std::size_t piece = std::min(room, text.size() - at);
  if (piece > 1 && at + piece < text.size() && IsLeadSurrogate(text[at + piece - 1]))
    --piece;
  return piece;
}

// The stream under construction: records and their CONTINUE records.
class Stream {
 public:
  common::ByteWriter& out() { return out_; }
  std::size_t pos() const { return out_.size(); }

  void Record(std::uint16_t id, std::span<const std::uint8_t> data) {
    std::size_t first = std::min(data.size(), kMaxRecordData);
    Header(id, first);
    out_.Append(data.first(first));
    for (std::size_t at = first; at < data.size(); at += kMaxRecordData) {
      std::size_t piece = std::min(data.size() - at, kMaxRecordData);
      Header(kContinue, piece);
      out_.Append(data.subspan(at, piece));
    }
  }
  void Record(std::uint16_t id, const common::ByteWriter& data) { Record(id, data.bytes()); }
  void U16Record(std::uint16_t id, std::uint16_t value) {
    common::ByteWriter data;
    data.U16(value);
    Record(id, data);
  }
  // Records that hold one 16-bit setting each, in order.
  struct Setting {
    std::uint16_t id, value;
  };
  void Settings(std::initializer_list<Setting> settings) {
    for (const Setting& s : settings)
      U16Record(s.id, s.value);
  }
  void Header(std::uint16_t id, std::size_t size) {
    out_.U16(id);
    out_.U16(static_cast<std::uint16_t>(size));
  }

 private:
  common::ByteWriter out_;
};

// A text as XLUnicodeString (16-bit length) split over records: the first
// piece goes into a record of its own kind, each further piece into a
// CONTINUE record that starts again with the option byte.
void WriteContinuedString(Stream& stream, std::uint16_t id, std::u16string_view text) {
  bool high = NeedsHighBytes(text);
  std::size_t width = high ? 2 : 1;
  common::ByteWriter first;
  first.U16(static_cast<std::uint16_t>(text.size()));
  first.U8(high ? 1 : 0);
  std::size_t fit = PieceLength(text, 0, (kMaxRecordData - first.size()) / width);
  AppendChars(first, text.substr(0, fit), high);
  stream.Record(id, first);
  for (std::size_t at = fit; at < text.size();) {
    std::size_t piece = PieceLength(text, at, (kMaxRecordData - 1) / width);
    common::ByteWriter more;
    more.U8(high ? 1 : 0);
    AppendChars(more, text.substr(at, piece), high);
    stream.Record(kContinue, more);
    at += piece;
  }
}

// The shared string table: unique texts in order of first use.
class SharedStrings {
 public:
  std::uint32_t Add(const std::u16string& text) {
    ++references_;
    auto [it, added] = index_.try_emplace(text, static_cast<std::uint32_t>(texts_.size()));
    if (added)
      texts_.push_back(&it->first);
    return it->second;
  }
  std::uint32_t IndexOf(const std::u16string& text) const { return index_.at(text); }

  // SST and its CONTINUE records, then EXTSST with the position of every
  // dsst-th string, so the spreadsheet can find strings quickly.
  void Write(Stream& stream) const {
    const std::size_t count = texts_.size();
    const std::size_t per_bucket = std::max<std::size_t>(8, (count + 127) / 128);
    struct Bucket {
      std::size_t record, offset;
    };
    std::vector<common::ByteWriter> records(1);
    std::vector<Bucket> buckets;
    records[0].U32(references_);
    records[0].U32(static_cast<std::uint32_t>(count));
    for (std::size_t i = 0; i < count; ++i) {
      std::u16string_view text = *texts_[i];
      bool high = NeedsHighBytes(text);
      std::size_t width = high ? 2 : 1;
      // The header and the first character (both halves of a surrogate
      // pair) stay together in one record.
      if (records.back().size() + 3 + CharacterUnits(text, 0) * width > kMaxRecordData)
        records.emplace_back();
      if (i % per_bucket == 0)
        buckets.push_back({records.size() - 1, records.back().size()});
      common::ByteWriter* current = &records.back();
      current->U16(static_cast<std::uint16_t>(text.size()));
      current->U8(high ? 1 : 0);
      std::size_t at = 0;
      for (;;) {
        std::size_t piece = PieceLength(text, at, (kMaxRecordData - current->size()) / width);
        AppendChars(*current, text.substr(at, piece), high);
        at += piece;
        if (at == text.size())
          break;
        records.emplace_back();
        current = &records.back();
        current->U8(high ? 1 : 0);
      }
    }
    std::vector<std::size_t> starts;
    for (std::size_t r = 0; r < records.size(); ++r) {
      starts.push_back(stream.pos());
      stream.Record(r == 0 ? kSst : kContinue, records[r]);
    }
    common::ByteWriter ext;
    ext.U16(static_cast<std::uint16_t>(per_bucket));
    for (const Bucket& b : buckets) {
      ext.U32(static_cast<std::uint32_t>(starts[b.record] + 4 + b.offset));
      ext.U16(static_cast<std::uint16_t>(4 + b.offset));
      ext.U16(0);
    }
    stream.Record(kExtSst, ext);
  }

 private:
  std::unordered_map<std::u16string, std::uint32_t> index_;
  std::vector<const std::u16string*> texts_;
  std::uint32_t references_ = 0;
};

bool FormulaTextFits(const Cell& cell) {
  return cell.value.type() != VT_BSTR || cell.value.AsText().size() <= kMaxFormulaText;
}

// RK form of a number when it is exact: a 30-bit integer, or a double whose
// low 34 bits are zero.
std::optional<std::uint32_t> ToRk(double value) {
  if (std::nearbyint(value) == value && value >= -536870912.0 && value < 536870912.0 &&
      !(value == 0 && std::signbit(value))) {
    auto i = static_cast<std::int32_t>(value);
    return (static_cast<std::uint32_t>(i) << 2) | 2u;
  }
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  if ((bits & 0x3FFFFFFFFull) == 0)
    return static_cast<std::uint32_t>(bits >> 32);
  return std::nullopt;
}

class WorkbookWriter {
 public:
  explicit WorkbookWriter(const WorkbookData& workbook) : workbook_(workbook) {
    for (const auto& sheet : workbook.sheets) {
      sheet->cells.ForEachUsed([&](std::uint32_t, std::uint32_t, const Cell& cell) {
        if (cell.fill != 0 && fill_xf_[cell.fill] == 0)
          fill_xf_[cell.fill] = static_cast<std::uint16_t>(kFirstFillXf + fills_.size()),
          fills_.push_back(cell.fill);
        if (cell.value.type() == VT_BSTR && !(cell.formula && FormulaTextFits(cell)))
          strings_.Add(cell.value.AsText());
      });
    }
  }

  std::vector<std::uint8_t> Write() {
    WriteGlobals();
    for (std::size_t i = 0; i < workbook_.sheets.size(); ++i) {
      stream_.out().PatchU32(sheet_offsets_[i], static_cast<std::uint32_t>(stream_.pos()));
      WriteSheet(*workbook_.sheets[i], i == workbook_.active);
    }
    return std::move(stream_.out().bytes());
  }

 private:
  void Bof(std::uint16_t kind) {
    common::ByteWriter b;
    b.U16(kBiff8Version);
    b.U16(kind);
    b.U16(0x0DBB);  // build
    b.U16(0x07CC);  // year
    b.U32(0);       // file history
    b.U32(6);       // lowest version that reads every record: Excel 97
    stream_.Record(kBof, b);
  }

  void Xf(std::uint16_t flags, std::uint8_t used, std::uint32_t pattern, std::uint16_t colours) {
    common::ByteWriter x;
    x.U16(0);      // font
    x.U16(0);      // number format: General
    x.U16(flags);  // locked; a style format has its own flag and no parent
    x.U8(0x20);    // aligned to the bottom
    x.U8(0);       // rotation
    x.U8(0);       // indent
    x.U8(used);    // attributes that differ from the parent style
    x.U32(0);      // no borders
    x.U32(pattern << 26);
    x.U16(colours);  // fill foreground and background colours
    stream_.Record(kXf, x);
  }

  void WriteGlobals() {
    Bof(kBofGlobals);
    stream_.U16Record(kInterfaceHdr, 1200);
    stream_.U16Record(kMms, 0);
    stream_.Record(kInterfaceEnd, std::span<const std::uint8_t>());
    common::ByteWriter access;
    constexpr std::string_view kUser = "nuv";
    access.U16(static_cast<std::uint16_t>(kUser.size()));
    access.U8(0);
    for (char c : kUser)
      access.U8(static_cast<std::uint8_t>(c));
    access.bytes().resize(112, ' ');
    stream_.Record(kWriteAccess, access);
    stream_.Settings({{kCodePage, 1200}, {kDsf, 0}});
    common::ByteWriter tabs;
    for (std::size_t i = 0; i < workbook_.sheets.size(); ++i)
      tabs.U16(static_cast<std::uint16_t>(i + 1));
    stream_.Record(kTabId, tabs);
    stream_.Settings({{kFnGroupCount, 14},
                      {kWindowProtect, 0},
                      {kProtect, 0},
                      {kPassword, 0},
                      {kProt4Rev, 0},
                      {kProt4RevPass, 0},
                      {kBackup, 0},
                      {kHideObj, 0}});
    common::ByteWriter window;
    for (std::uint16_t v : {0x01E0, 0x005A, 0x3FCF, 0x2A4E, 0x0038})
      window.U16(v);
    window.U16(static_cast<std::uint16_t>(workbook_.active));
    window.U16(0);  // first tab shown
    window.U16(1);  // selected tabs
    window.U16(0x0258);
    stream_.Record(kWindow1, window);
    stream_.Settings({{kDateMode, 0}, {kPrecision, 1}, {kRefreshAll, 0}, {kBookBool, 0}});
    // Font 4 does not exist in the format, so five records make fonts 0-5.
    for (int i = 0; i < 5; ++i) {
      common::ByteWriter font;
      font.U16(200);  // 10 points
      font.U16(0);
      font.U16(0x7FFF);  // automatic colour
      font.U16(400);     // normal weight
      font.U16(0);
      font.U8(0);
      font.U8(0);
      font.U8(0);
      font.U8(0);
      constexpr std::string_view kFace = "Arial";
      font.U8(static_cast<std::uint8_t>(kFace.size()));
      font.U8(0);
      for (char c : kFace)
        font.U8(static_cast<std::uint8_t>(c));
      stream_.Record(kFont, font);
    }
    constexpr std::uint16_t kNoFillColours = 64 | (65 << 7);
    for (int i = 0; i < 15; ++i)
      Xf(0xFFF5, 0xF4, 0, kNoFillColours);
    Xf(0x0001, 0xF8, 0, kNoFillColours);
    for (std::uint8_t fill : fills_)
      Xf(0x0001, 0xF8, kSolidFill, static_cast<std::uint16_t>((fill + kPaletteOffset) | (64 << 7)));
    common::ByteWriter style;
    style.U16(0x8000);  // built-in style on XF 0
    style.U8(0);        // "Normal"
    style.U8(0xFF);
    stream_.Record(kStyle, style);
    stream_.U16Record(kUsesElfs, 1);
    for (const auto& sheet : workbook_.sheets) {
      common::ByteWriter bound;
      bound.U32(0);  // position of the sheet's BOF, patched when it is written
      bound.U8(0);   // visible
      bound.U8(0);   // worksheet
      bool high = NeedsHighBytes(sheet->name);
      bound.U8(static_cast<std::uint8_t>(sheet->name.size()));
      bound.U8(high ? 1 : 0);
      AppendChars(bound, sheet->name, high);
      sheet_offsets_.push_back(stream_.pos() + 4);
      stream_.Record(kBoundSheet, bound);
    }
    strings_.Write(stream_);
    stream_.Record(kEof, std::span<const std::uint8_t>());
  }

  std::uint16_t XfOf(const Cell& cell) const {
    return cell.fill ? fill_xf_[cell.fill] : kDefaultCellXf;
  }

  void CellHead(common::ByteWriter& b, std::uint32_t row, std::uint32_t column, const Cell& cell) {
    b.U16(static_cast<std::uint16_t>(row - 1));
    b.U16(static_cast<std::uint16_t>(column - 1));
    b.U16(XfOf(cell));
  }

  void WriteFormula(std::uint32_t row, std::uint32_t column, const Cell& cell) {
    common::ByteWriter f;
    CellHead(f, row, column, cell);
    common::ByteWriter tokens;
    const Variant& v = cell.value;
    if (v.type() == VT_R8) {
      f.F64(v.AsDouble());
      tokens.U8(0x1F);  // number constant
      tokens.F64(v.AsDouble());
    } else {
      // Special results: 0 text (in a STRING record next), 1 boolean, 2 error.
      std::uint8_t kind = v.type() == VT_BSTR ? 0 : v.type() == VT_BOOL ? 1 : 2;
      std::uint8_t datum = kind == 1 ? (v.AsBool() ? 1 : 0) : kind == 2 ? v.CellErrorCode() : 0;
      for (std::uint8_t byte : {kind, std::uint8_t{0}, datum, std::uint8_t{0}, std::uint8_t{0},
                                std::uint8_t{0}, std::uint8_t{0xFF}, std::uint8_t{0xFF}})
        f.U8(byte);
      if (kind == 0) {
        bool high = NeedsHighBytes(v.AsText());
        tokens.U8(0x17);  // text constant
        tokens.U8(static_cast<std::uint8_t>(v.AsText().size()));
        tokens.U8(high ? 1 : 0);
        AppendChars(tokens, v.AsText(), high);
      } else {
        tokens.U8(kind == 1 ? 0x1D : 0x1C);  // boolean or error constant
        tokens.U8(datum);
      }
    }
    f.U16(0);  // options
    f.U32(0);
    f.U16(static_cast<std::uint16_t>(tokens.size()));
    f.Append(tokens.bytes());
    stream_.Record(kFormula, f);
    if (v.type() == VT_BSTR)
      WriteContinuedString(stream_, kString, v.AsText());
  }

  void WriteCell(std::uint32_t row, std::uint32_t column, const Cell& cell) {
    if (cell.formula && FormulaTextFits(cell) && !cell.value.IsEmpty()) {
      WriteFormula(row, column, cell);
      return;
    }
    common::ByteWriter b;
    CellHead(b, row, column, cell);
    switch (cell.value.type()) {
      case VT_R8: {
        if (const std::optional<std::uint32_t> rk = ToRk(cell.value.AsDouble())) {
          b.U32(*rk);
          stream_.Record(kRk, b);
        } else {
          b.F64(cell.value.AsDouble());
          stream_.Record(kNumber, b);
        }
        return;
      }
      case VT_BSTR:
        b.U32(strings_.IndexOf(cell.value.AsText()));
        stream_.Record(kLabelSst, b);
        return;
      case VT_BOOL:
        b.U8(cell.value.AsBool() ? 1 : 0);
        b.U8(0);
        stream_.Record(kBoolErr, b);
        return;
      case VT_ERROR:
        b.U8(cell.value.CellErrorCode());
        b.U8(1);
        stream_.Record(kBoolErr, b);
        return;
      default:
        stream_.Record(kBlank, b);  // a fill without a value
        return;
    }
  }

  void WriteSheet(const SheetData& sheet, bool active) {
    Bof(kBofWorksheet);
    stream_.Settings({{kCalcMode, 1}, {kCalcCount, 100}, {kRefMode, 1}, {kIteration, 0}});
    common::ByteWriter delta;
    delta.F64(0.001);
    stream_.Record(kDelta, delta);
    stream_.Settings({{kSaveRecalc, 1}, {kPrintHeaders, 0}, {kPrintGridLines, 0}, {kGridSet, 1}});
    common::ByteWriter guts;
    guts.Zeros(8);
    stream_.Record(kGuts, guts);
    common::ByteWriter height;
    height.U16(0);
    height.U16(0x00FF);
    stream_.Record(kDefaultRowHeight, height);
    stream_.U16Record(kWsBool, 0x04C1);
    common::ByteWriter dimensions;
    std::optional<CellRect> used = sheet.cells.UsedRect();
    dimensions.U32(used ? used->top - 1 : 0);
    dimensions.U32(used ? used->bottom : 0);
    dimensions.U16(static_cast<std::uint16_t>(used ? used->left - 1 : 0));
    dimensions.U16(static_cast<std::uint16_t>(used ? used->right : 0));
    dimensions.U16(0);
    stream_.Record(kDimensions, dimensions);

    // Each row: its ROW record, then its cells.
    std::uint32_t current_row = 0;
    std::vector<std::pair<std::uint32_t, const Cell*>> row_cells;
    auto flush = [&] {
      if (row_cells.empty())
        return;
      common::ByteWriter r;
      r.U16(static_cast<std::uint16_t>(current_row - 1));
      r.U16(static_cast<std::uint16_t>(row_cells.front().first - 1));
      r.U16(static_cast<std::uint16_t>(row_cells.back().first));
      r.U16(0x00FF);  // height
      r.U16(0);
      r.U16(0);
      r.U16(0x0100);
      r.U16(kDefaultCellXf);
      stream_.Record(kRow, r);
      for (const auto& [column, cell] : row_cells)
        WriteCell(current_row, column, *cell);
      row_cells.clear();
    };
    sheet.cells.ForEachUsed([&](std::uint32_t row, std::uint32_t column, const Cell& cell) {
      if (row != current_row) {
        flush();
        current_row = row;
      }
      row_cells.emplace_back(column, &cell);
    });
    flush();

    common::ByteWriter window;
    window.U16(active ? 0x06B6 : 0x00B6);  // grid, headers, zeros, outline; selected
    window.U16(0);
    window.U16(0);
    window.U16(64);  // automatic grid colour
    window.U16(0);
    window.U16(0);
    window.U16(0);
    window.U32(0);
    stream_.Record(kWindow2, window);
    stream_.Record(kEof, std::span<const std::uint8_t>());
  }

  const WorkbookData& workbook_;
  Stream stream_;
  SharedStrings strings_;
  std::vector<std::uint8_t> fills_;
  std::uint16_t fill_xf_[256] = {};
  std::vector<std::size_t> sheet_offsets_;
};

}  // namespace

std::vector<std::uint8_t> WriteBiff8(const WorkbookData& workbook) {
  return WorkbookWriter(workbook).Write();
}

}  // namespace nuv::workbook
