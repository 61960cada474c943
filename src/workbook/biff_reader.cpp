#include "workbook/biff_reader.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/bytes.h"
#include "platform/errors.h"
#include "workbook/biff_records.h"
#include "workbook/utf16.h"

namespace nuv::workbook {
namespace {

using namespace biff;

[[noreturn]] void Bad(const std::string& why) {
  throw AutomationError(why);
}

struct RecordView {
  std::uint16_t id = 0;
  std::size_t start = 0;  // position of the header in the stream
  std::span<const std::uint8_t> data;
};

// Walks the records of a stream from a position, never past its limit.
class Records {
 public:
  Records(std::span<const std::uint8_t> stream, std::size_t start, std::size_t limit)
      : stream_(stream), pos_(start), limit_(std::min(limit, stream.size())) {}

  bool AtEnd() const { return pos_ >= limit_; }
  std::size_t pos() const { return pos_; }

  RecordView Next() {
    if (limit_ - pos_ < 4)
      Bad("the workbook stream ends inside a record header at offset " + std::to_string(pos_));
    std::uint16_t id = common::LoadU16(stream_, pos_);
    std::uint16_t size = common::LoadU16(stream_, pos_ + 2);
    if (limit_ - pos_ - 4 < size)
      Bad("record 0x" + Hex(id) + " at offset " + std::to_string(pos_) +
          " runs past the end of its data");
    RecordView record{id, pos_, stream_.subspan(pos_ + 4, size)};
    pos_ += 4 + static_cast<std::size_t>(size);
    return record;
  }

  // The CONTINUE records that follow, if any.
  std::vector<std::span<const std::uint8_t>> TakeContinues() {
    std::vector<std::span<const std::uint8_t>> pieces;
    while (limit_ - pos_ >= 4 && common::LoadU16(stream_, pos_) == kContinue)
      pieces.push_back(Next().data);
    return pieces;
  }

  static std::string Hex(std::uint16_t id) {
    char text[8];
    std::snprintf(text, sizeof text, "%04X", id);
    return text;
  }

 private:
  std::span<const std::uint8_t> stream_;
  std::size_t pos_;
  std::size_t limit_;
};

// Reads data that goes on across CONTINUE records. Plain bytes run on from
// one piece to the next; a run of characters that is cut starts again in
// the next piece with an option byte saying whether the characters are one
// or two bytes wide.
class ContinuedReader {
 public:
  explicit ContinuedReader(std::vector<std::span<const std::uint8_t>> pieces)
      : pieces_(std::move(pieces)) {}

  bool AtEnd() {
    SkipEmpty();
    return piece_ >= pieces_.size();
  }

  std::uint32_t Unsigned(std::size_t width, const char* what) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < width; ++i)
      value |= static_cast<std::uint32_t>(Byte(what)) << (8 * i);
    return value;
  }

  void Skip(std::size_t count, const char* what) {
    while (count > 0) {
      SkipEmpty();
      if (piece_ >= pieces_.size())
        Bad(std::string("the workbook stream ends inside ") + what);
      std::size_t take = std::min(count, pieces_[piece_].size() - offset_);
      offset_ += take;
      count -= take;
    }
  }

  std::u16string Chars(std::size_t count, bool high, const char* what) {
    std::u16string text;
    text.reserve(std::min<std::size_t>(count, 65535));
    while (text.size() < count) {
      if (piece_ < pieces_.size() && offset_ < pieces_[piece_].size()) {
        std::span<const std::uint8_t> piece = pieces_[piece_];
        std::size_t width = high ? 2 : 1;
        std::size_t available = (piece.size() - offset_) / width;
        std::size_t take = std::min(available, count - text.size());
        for (std::size_t i = 0; i < take; ++i) {
          text.push_back(high ? static_cast<char16_t>(common::LoadU16(piece, offset_))
                              : piece[offset_]);
          offset_ += width;
        }
        if (text.size() == count)
          break;
        offset_ = piece.size();  // a lone byte at the end cannot be half a character
      }
      ++piece_;
      offset_ = 0;
      if (piece_ >= pieces_.size() || pieces_[piece_].empty())
        Bad(std::string("the workbook stream ends inside ") + what);
      high = (pieces_[piece_][offset_++] & 1) != 0;
    }
    return text;
  }

  // An XLUnicodeString (lengths of 8 or 16 bits) with optional formatting
  // runs and extended data, both skipped.
  std::u16string UnicodeString(std::size_t length_width, const char* what) {
    std::size_t count = Unsigned(length_width, what);
    std::uint8_t flags = Byte(what);
    std::size_t runs = (flags & 0x08) ? Unsigned(2, what) : 0;
    std::size_t extended = (flags & 0x04) ? Unsigned(4, what) : 0;
    std::u16string text = Chars(count, (flags & 0x01) != 0, what);
    Skip(runs * 4, what);
    Skip(extended, what);
    return text;
  }

 private:
  void SkipEmpty() {
    while (piece_ < pieces_.size() && offset_ >= pieces_[piece_].size()) {
      ++piece_;
      offset_ = 0;
    }
  }
  std::uint8_t Byte(const char* what) {
    SkipEmpty();
    if (piece_ >= pieces_.size())
      Bad(std::string("the workbook stream ends inside ") + what);
    return pieces_[piece_][offset_++];
  }

  std::vector<std::span<const std::uint8_t>> pieces_;
  std::size_t piece_ = 0;
  std::size_t offset_ = 0;
};

double RkValue(std::uint32_t rk) {
  double value;
  if (rk & 2) {
    value = static_cast<double>(static_cast<std::int32_t>(rk) >> 2);
  } else {
    std::uint64_t bits = static_cast<std::uint64_t>(rk & 0xFFFFFFFCu) << 32;
    std::memcpy(&value, &bits, sizeof value);
  }
  return (rk & 1) ? value / 100 : value;
}

struct BoundSheet {
  std::u16string name;
  std::size_t offset = 0;
  bool worksheet = true;
};

class WorkbookReader {
 public:
  explicit WorkbookReader(std::span<const std::uint8_t> stream) : stream_(stream) {}

  WorkbookData Read() {
    ReadGlobals();
    WorkbookData workbook;
    std::vector<std::size_t> starts;
    for (const BoundSheet& b : bound_)
      starts.push_back(b.offset);
    std::sort(starts.begin(), starts.end());
    if (std::adjacent_find(starts.begin(), starts.end()) != starts.end())
      Bad("two sheets of the workbook start at the same offset");
    std::size_t active = 0;
    for (std::size_t i = 0; i < bound_.size(); ++i) {
      const BoundSheet& b = bound_[i];
      if (!b.worksheet)
        continue;
      if (i == active_tab_)
        active = workbook.sheets.size();
      // A sheet's records end where the next sheet begins.
      auto next = std::upper_bound(starts.begin(), starts.end(), b.offset);
      std::size_t limit = next == starts.end() ? stream_.size() : *next;
      auto sheet = std::make_shared<SheetData>();
      sheet->name = b.name;
      ReadSheet(*sheet, b.offset, limit);
      workbook.sheets.push_back(std::move(sheet));
    }
    if (workbook.sheets.empty())
      Bad("the workbook has no worksheet");
    workbook.active = active;
    return workbook;
  }

 private:
  void ReadGlobals() {
    Records records(stream_, 0, stream_.size());
    RecordView bof = records.AtEnd() ? RecordView{} : records.Next();
    if (bof.id != kBof || bof.data.size() < 4)
      Bad("the workbook stream does not start with a BOF record");
    std::uint16_t version = common::LoadU16(bof.data, 0);
    if (version != kBiff8Version)
      Bad(version == 0x0500 ? "the workbook is in the Excel 5.0/95 format, which is not supported"
                            : "the workbook is not in the Excel 97-2003 (BIFF8) format");
    if (common::LoadU16(bof.data, 2) != kBofGlobals)
      Bad("the workbook stream does not start with its workbook globals");
    for (;;) {
      if (records.AtEnd())
        Bad("the workbook globals have no EOF record");
      RecordView r = records.Next();
      if (r.id == kEof)
        return;
      switch (r.id) {
        case kFilePass:
          Bad("the workbook is encrypted (protected with a password)");
        case kBoundSheet:
          ReadBoundSheet(r);
          break;
        case kXf:
          ReadXf(r);
          break;
        case kWindow1:
          if (r.data.size() >= 12)
            active_tab_ = common::LoadU16(r.data, 10);
          break;
        case kSst: {
          std::vector<std::span<const std::uint8_t>> pieces = {r.data};
          for (auto piece : records.TakeContinues())
            pieces.push_back(piece);
          ReadSharedStrings(std::move(pieces));
          break;
        }
        default:
          break;
      }
    }
  }

  void ReadBoundSheet(const RecordView& r) {
    if (r.data.size() < 8)
      Bad("a BOUNDSHEET record is too short");
    BoundSheet b;
    b.offset = common::LoadU32(r.data, 0);
    b.worksheet = r.data[5] == 0;
    ContinuedReader name({r.data.subspan(6)});
    b.name = name.UnicodeString(1, "a sheet name");
    if (b.offset >= stream_.size())
      Bad("sheet \"" + Utf16ToUtf8(b.name) + "\" starts past the end of the workbook stream");
    bound_.push_back(std::move(b));
  }

  void ReadXf(const RecordView& r) {
    std::uint8_t fill = 0;
    if (r.data.size() >= 20) {
      std::uint32_t pattern = common::LoadU32(r.data, 14) >> 26;
      std::uint16_t colour = common::LoadU16(r.data, 18) & 0x7F;
      if (pattern != 0 && colour < 64)
        fill = static_cast<std::uint8_t>(colour >= 8 ? colour - kPaletteOffset : colour + 1);
    }
    xf_fill_.push_back(fill);
  }

  void ReadSharedStrings(std::vector<std::span<const std::uint8_t>> pieces) {
    ContinuedReader reader(std::move(pieces));
    reader.Unsigned(4, "the shared string table");
    std::uint32_t count = reader.Unsigned(4, "the shared string table");
    strings_.clear();
    while (strings_.size() < count) {
      if (reader.AtEnd())
        Bad("the shared string table ends after " + std::to_string(strings_.size()) + " of the " +
            std::to_string(count) + " strings it declares");
      strings_.push_back(reader.UnicodeString(2, "a shared string"));
    }
  }

  std::uint8_t FillOf(std::uint16_t xf) const { return xf < xf_fill_.size() ? xf_fill_[xf] : 0; }

  // The cell at a record's row and column (counted from 0 in the file).
  Cell& CellAt(SheetData& sheet, std::uint32_t row, std::uint32_t column, std::uint16_t xf) {
    if (column >= kMaxColumns)
      Bad("sheet \"" + Utf16ToUtf8(sheet.name) + "\" has a cell in column " +
          std::to_string(column + 1) + ", beyond the last column (" + std::to_string(kMaxColumns) +
          ")");
    Cell& cell = sheet.cells.At(row + 1, column + 1);
    cell = Cell{};
    cell.fill = FillOf(xf);
    return cell;
  }

  void Need(const RecordView& r, std::size_t size, const char* what) {
    if (r.data.size() < size)
      Bad(std::string("a ") + what + " record at offset " + std::to_string(r.start) +
          " is too short");
  }

  void ReadSheet(SheetData& sheet, std::size_t start, std::size_t limit) {
    Records records(stream_, start, limit);
    RecordView bof = records.AtEnd() ? RecordView{} : records.Next();
    if (bof.id != kBof || bof.data.size() < 4 || common::LoadU16(bof.data, 2) != kBofWorksheet)
      Bad("sheet \"" + Utf16ToUtf8(sheet.name) + "\" does not start with a worksheet BOF record");
    int depth = 1;
    // A formula cell whose text result follows in a STRING record.
    std::optional<std::pair<std::uint32_t, std::uint32_t>> pending_text;
    while (depth > 0) {
      if (records.AtEnd())
        Bad("sheet \"" + Utf16ToUtf8(sheet.name) + "\" has no EOF record");
      RecordView r = records.Next();
      if (r.id == kBof) {
        ++depth;  // an embedded chart, skipped up to its own EOF
        continue;
      }
      if (r.id == kEof) {
        --depth;
        continue;
      }
      if (depth != 1)
        continue;
      if (r.id == kString && pending_text) {
        std::vector<std::span<const std::uint8_t>> pieces = {r.data};
        for (auto piece : records.TakeContinues())
          pieces.push_back(piece);
        sheet.cells.At(pending_text->first, pending_text->second).value =
            Variant::Text(ContinuedReader(std::move(pieces)).UnicodeString(2, "a formula's text"));
        pending_text.reset();
        continue;
      }
      switch (r.id) {
        case kNumber: {
          Need(r, 14, "NUMBER");
          common::ByteReader in(r.data);
          std::uint16_t row = in.U16(), column = in.U16(), xf = in.U16();
          CellAt(sheet, row, column, xf).value = Variant::R8(in.F64());
          break;
        }
        case kRk: {
          Need(r, 10, "RK");
          CellAt(sheet, common::LoadU16(r.data, 0), common::LoadU16(r.data, 2),
                 common::LoadU16(r.data, 4))
              .value = Variant::R8(RkValue(common::LoadU32(r.data, 6)));
          break;
        }
        case kMulRk: {
          Need(r, 6, "MULRK");
          if ((r.data.size() - 6) % 6 != 0)
            Bad("a MULRK record at offset " + std::to_string(r.start) + " has a broken length");
          std::uint16_t row = common::LoadU16(r.data, 0), first = common::LoadU16(r.data, 2);
          for (std::size_t i = 0, at = 4; at + 6 <= r.data.size() - 2; ++i, at += 6)
            CellAt(sheet, row, first + static_cast<std::uint32_t>(i), common::LoadU16(r.data, at))
                .value = Variant::R8(RkValue(common::LoadU32(r.data, at + 2)));
          break;
        }
        case kLabelSst: {
          Need(r, 10, "LABELSST");
          std::uint32_t index = common::LoadU32(r.data, 6);
          if (index >= strings_.size())
            Bad("a cell refers to shared string " + std::to_string(index) + " of " +
                std::to_string(strings_.size()));
          CellAt(sheet, common::LoadU16(r.data, 0), common::LoadU16(r.data, 2),
                 common::LoadU16(r.data, 4))
              .value = Variant::Text(strings_[index]);
          break;
        }
        case kLabel:
        case kRString: {
          Need(r, 9, "LABEL");
          std::vector<std::span<const std::uint8_t>> pieces = {r.data.subspan(6)};
          for (auto piece : records.TakeContinues())
            pieces.push_back(piece);
          // A rich string's runs follow its characters; the text is all we keep.
          std::u16string text = ContinuedReader(std::move(pieces)).UnicodeString(2, "a text cell");
          CellAt(sheet, common::LoadU16(r.data, 0), common::LoadU16(r.data, 2),
                 common::LoadU16(r.data, 4))
              .value = Variant::Text(std::move(text));
          break;
        }
        case kBoolErr: {
          Need(r, 8, "BOOLERR");
          Cell& cell = CellAt(sheet, common::LoadU16(r.data, 0), common::LoadU16(r.data, 2),
                              common::LoadU16(r.data, 4));
          if (r.data[7] && CellErrorText(r.data[6]).empty())
            Bad("a cell holds the unknown error value 0x" + Records::Hex(r.data[6]));
          cell.value = r.data[7] ? Variant::CellError(r.data[6]) : Variant::Bool(r.data[6] != 0);
          break;
        }
        case kBlank: {
          Need(r, 6, "BLANK");
          if (FillOf(common::LoadU16(r.data, 4)))
            CellAt(sheet, common::LoadU16(r.data, 0), common::LoadU16(r.data, 2),
                   common::LoadU16(r.data, 4));
          break;
        }
        case kMulBlank: {
          Need(r, 6, "MULBLANK");
          std::uint16_t row = common::LoadU16(r.data, 0), first = common::LoadU16(r.data, 2);
          for (std::size_t i = 0, at = 4; at + 2 <= r.data.size() - 2; ++i, at += 2) {
            std::uint16_t xf = common::LoadU16(r.data, at);
            if (FillOf(xf))
              CellAt(sheet, row, first + static_cast<std::uint32_t>(i), xf);
          }
          break;
        }
        case kFormula: {
          Need(r, 20, "FORMULA");
          Cell& cell = CellAt(sheet, common::LoadU16(r.data, 0), common::LoadU16(r.data, 2),
                              common::LoadU16(r.data, 4));
          cell.formula = true;
          auto result = r.data.subspan(6, 8);
          if (common::LoadU16(result, 6) != 0xFFFF) {
            double value;
            std::memcpy(&value, result.data(), sizeof value);
            cell.value = Variant::R8(value);
          } else if (result[0] == 0) {
            cell.value = Variant::Text(std::u16string());
            pending_text.emplace(common::LoadU16(r.data, 0) + 1u, common::LoadU16(r.data, 2) + 1u);
          } else if (result[0] == 1) {
            cell.value = Variant::Bool(result[2] != 0);
          } else if (result[0] == 2) {
            if (CellErrorText(result[2]).empty())
              Bad("a formula holds the unknown error value 0x" + Records::Hex(result[2]));
            cell.value = Variant::CellError(result[2]);
          } else {
            cell.value = Variant::Text(std::u16string());
          }
          continue;  // keeps a pending text through SHRFMLA and ARRAY records
        }
        default:
          continue;
      }
      pending_text.reset();
    }
  }

  std::span<const std::uint8_t> stream_;
  std::vector<BoundSheet> bound_;
  std::vector<std::uint8_t> xf_fill_;
  std::vector<std::u16string> strings_;
  std::size_t active_tab_ = 0;
};

}  // namespace

WorkbookData ReadBiff8(std::span<const std::uint8_t> stream) {
  return WorkbookReader(stream).Read();
}

}  // namespace nuv::workbook
