#include <cmath>

#include "platform/errors.h"
#include "workbook/excel_dispids.h"
#include "workbook/standin_objects.h"

namespace nuv::workbook::standin {
namespace {

// The longest text a cell holds.
constexpr std::size_t kMaxCellText = 32767;
// The most cells one fill may colour; a whole sheet would be 16.7 million.
constexpr std::size_t kMaxFillCells = 1u << 20;

// A rectangle of cells of one sheet.
class RangeObject final : public WorkbookPart {
 public:
  RangeObject(std::shared_ptr<WorkbookObject> book, std::shared_ptr<AppState> app,
              std::shared_ptr<SheetData> sheet, CellRect rect, RangeKind kind)
      : WorkbookPart(std::move(book), std::move(app), "Range"),
        sheet_(std::move(sheet)),
        rect_(rect),
        kind_(kind) {}

 protected:
  Variant Call(DispId member, InvokeKind kind, std::span<const Variant> span) override {
    switch (member) {
      case dispid::kRangeRows:
        if (IsGet(kind))
          return Variant::Object(MakeRange(book_, app_, sheet_, rect_, RangeKind::Rows));
        break;
      case dispid::kRangeColumns:
        if (IsGet(kind))
          return Variant::Object(MakeRange(book_, app_, sheet_, rect_, RangeKind::Columns));
        break;
      case dispid::kRangeCount:
        if (IsGet(kind)) {
          std::size_t count = kind_ == RangeKind::Rows      ? rect_.rows()
                              : kind_ == RangeKind::Columns ? rect_.columns()
                                                            : rect_.count();
          return Variant::I4(static_cast<std::int32_t>(count));
        }
        break;
      case dispid::kRangeValue2:
        if (IsGet(kind)) {
          Args(span, "Range.Value2").AtMost(0);
          return Value2();
        }
        break;
      case dispid::kRangeItem:
        if (IsPut(kind)) {
          PutItem(Args(span, "Range.Item"));
          return {};
        }
        break;
      case dispid::kRangeInterior:
        if (IsGet(kind))
          return Variant::Object(std::make_shared<InteriorObject>(book_, app_, sheet_, rect_));
        break;
      default:
        break;
    }
    NoMember(member, kind);
  }

 private:
  // The Interior of the range: its fill colour.
  class InteriorObject final : public WorkbookPart {
   public:
    InteriorObject(std::shared_ptr<WorkbookObject> book, std::shared_ptr<AppState> app,
                   std::shared_ptr<SheetData> sheet, CellRect rect)
        : WorkbookPart(std::move(book), std::move(app), "Interior"),
          sheet_(std::move(sheet)),
          rect_(rect) {}

   protected:
    Variant Call(DispId member, InvokeKind kind, std::span<const Variant> span) override {
      if (member != dispid::kInteriorColorIndex)
        NoMember(member, kind);
      if (!IsPut(kind))
        return ColorIndex();
      Args args(span, "Interior.ColorIndex");
      args.AtMost(1);
      std::int64_t index = args.Integer(0, -32768, 32767);
      std::uint8_t fill = 0;
      if (index >= 1 && index <= 56) {
        fill = static_cast<std::uint8_t>(index);
        if (rect_.count() > kMaxFillCells)
          args.Fail("Unable to set the ColorIndex property of the Interior class: at most " +
                    std::to_string(kMaxFillCells) + " cells can be filled at once here.");
      } else if (index != dispid::kColorIndexNone && index != dispid::kColorIndexAutomatic) {
        args.Fail("Unable to set the ColorIndex property of the Interior class: " +
                  std::to_string(index) + " is not a colour index (1 to 56, or -4142 for none).");
      }
      for (std::uint32_t r = rect_.top; r <= rect_.bottom; ++r) {
        for (std::uint32_t c = rect_.left; c <= rect_.right; ++c) {
          if (fill)
            sheet_->cells.At(r, c).fill = fill;
          else if (sheet_->cells.Find(r, c))
            sheet_->cells.At(r, c).fill = 0;
        }
      }
      return {};
    }

   private:
    // The common colour index of the cells; empty when they differ.
    Variant ColorIndex() const {
      std::optional<int> common;
      for (std::uint32_t r = rect_.top; r <= rect_.bottom; ++r) {
        for (std::uint32_t c = rect_.left; c <= rect_.right; ++c) {
          const Cell* cell = sheet_->cells.Find(r, c);
          int index = cell && cell->fill ? cell->fill : dispid::kColorIndexNone;
          if (common && *common != index)
            return Variant();
          common = index;
        }
      }
      return Variant::I4(common.value_or(dispid::kColorIndexNone));
    }

    std::shared_ptr<SheetData> sheet_;
    CellRect rect_;
  };

  Variant Value2() const {
    auto value_at = [&](std::uint32_t r, std::uint32_t c) {
      const Cell* cell = sheet_->cells.Find(r, c);
      return cell ? cell->value : Variant();
    };
    if (rect_.count() == 1)
      return value_at(rect_.top, rect_.left);
    auto array = std::make_shared<ValueArray>(rect_.rows(), rect_.columns());
    sheet_->cells.ForEachUsedIn(rect_, [&](std::uint32_t r, std::uint32_t c, const Cell& cell) {
      array->Set(r - rect_.top + 1, c - rect_.left + 1, cell.value);
    });
    return Variant::Array(std::move(array));
  }

  // Item(RowIndex, ColumnIndex) = value: one cell, counted from the range's
  // top left corner.
  void PutItem(const Args& args) {
    args.AtMost(3);
    if (args.size() < 3)
      args.Fail("Invalid number of parameters.");
    std::int64_t row = args.Integer(0, -2147483648LL, 2147483647LL);
    std::int64_t column = args.Integer(1, -2147483648LL, 2147483647LL);
    std::int64_t sheet_row = rect_.top + row - 1;
    std::int64_t sheet_column = rect_.left + column - 1;
    if (sheet_row < 1 || sheet_row > kMaxRows || sheet_column < 1 || sheet_column > kMaxColumns)
      args.Fail("Unable to set the Item property of the Range class: cell (" + std::to_string(row) +
                ", " + std::to_string(column) + ") of this range lies outside the sheet (" +
                std::to_string(kMaxRows) + " rows, " + std::to_string(kMaxColumns) + " columns).");
    const Variant& value = args.Required(2);
    Variant stored;
    switch (value.type()) {
      case VT_EMPTY:
        break;
      case VT_BSTR:
        if (value.AsText().size() > kMaxCellText)
          args.Fail(
              "Unable to set the Item property of the Range class: a cell holds at most 32767 "
              "characters.");
        stored = value;
        break;
      case VT_BOOL:
        stored = value;
        break;
      case VT_ERROR:
        if (value.CellErrorCode() == 0xFF)
          args.Fail("Type mismatch: the value is not a cell error.");
        stored = value;
        break;
      default:
        if (!value.IsNumber() || !std::isfinite(value.AsDouble()))
          args.Fail("Type mismatch: a cell holds a number, a text, a boolean or an error value.");
        stored = Variant::R8(value.AsDouble());
        break;
    }
    auto r = static_cast<std::uint32_t>(sheet_row);
    auto c = static_cast<std::uint32_t>(sheet_column);
    if (stored.IsEmpty() && !sheet_->cells.Find(r, c))
      return;
    Cell& cell = sheet_->cells.At(r, c);
    cell.value = std::move(stored);
    cell.formula = false;
  }

  std::shared_ptr<SheetData> sheet_;
  CellRect rect_;
  RangeKind kind_;
};

}  // namespace

DispatchRef MakeRange(std::shared_ptr<WorkbookObject> book, std::shared_ptr<AppState> app,
                      std::shared_ptr<SheetData> sheet, CellRect rect, RangeKind kind) {
  return std::make_shared<RangeObject>(std::move(book), std::move(app), std::move(sheet), rect,
                                       kind);
}

}  // namespace nuv::workbook::standin
