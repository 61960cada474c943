#include <algorithm>

#include "platform/errors.h"
#include "workbook/cell_address.h"
#include "workbook/excel_dispids.h"
#include "workbook/standin_objects.h"
#include "workbook/utf16.h"

namespace nuv::workbook::standin {
namespace {

// One worksheet of a workbook.
class WorksheetObject final : public WorkbookPart {
 public:
  WorksheetObject(std::shared_ptr<WorkbookObject> book, std::shared_ptr<AppState> app,
                  std::shared_ptr<SheetData> sheet)
      : WorkbookPart(std::move(book), std::move(app), "Worksheet"), sheet_(std::move(sheet)) {}

  const std::shared_ptr<SheetData>& sheet() const { return sheet_; }

 protected:
  Variant Call(DispId member, InvokeKind kind, std::span<const Variant> span) override {
    switch (member) {
      case dispid::kWorksheetName:
        if (IsPut(kind)) {
          Args args(span, "Worksheet.Name");
          args.AtMost(1);
          Rename(args, args.Text(0));
          return {};
        }
        Args(span, "Worksheet.Name").AtMost(0);
        return Variant::Text(sheet_->name);
      case dispid::kWorksheetCells:
        if (IsGet(kind))
          return Range(CellRect{1, 1, kMaxRows, kMaxColumns});
        break;
      case dispid::kWorksheetUsedRange:
        if (IsGet(kind))
          return Range(sheet_->cells.UsedRect().value_or(CellRect{}));
        break;
      case dispid::kWorksheetRange:
        if (IsGet(kind)) {
          Args args(span, "Worksheet.Range");
          args.AtMost(2);
          CellRect rect = Address(args, 0);
          if (args.Optional(1)) {
            CellRect other = Address(args, 1);
            rect = CellRect{std::min(rect.top, other.top), std::min(rect.left, other.left),
                            std::max(rect.bottom, other.bottom), std::max(rect.right, other.right)};
          }
          return Range(rect);
        }
        break;
      default:
        break;
    }
    NoMember(member, kind);
  }

 private:
  Variant Range(CellRect rect) {
    return Variant::Object(MakeRange(book_, app_, sheet_, rect, RangeKind::Cells));
  }

  CellRect Address(const Args& args, std::size_t index) {
    std::u16string text = args.Text(index);
    std::optional<CellRect> rect = ParseA1Range(text);
    if (!rect)
      args.Fail("\"" + Utf16ToUtf8(text) +
                "\" is not a cell address of this sheet (A1 to IV65536).");
    return *rect;
  }

  void Rename(const Args& args, const std::u16string& name) {
    if (const std::optional<std::string> problem = SheetNameProblem(name))
      args.Fail("You typed an invalid name for a sheet: " + *problem + ".");
    const WorkbookData& data = book_->data();
    std::size_t same = FindSheet(data, name);
    if (same != data.sheets.size() && data.sheets[same] != sheet_)
      args.Fail("That name is already taken by another sheet: \"" + Utf16ToUtf8(name) + "\".");
    sheet_->name = name;
  }

  std::shared_ptr<SheetData> sheet_;
};

}  // namespace

DispatchRef MakeWorksheet(std::shared_ptr<WorkbookObject> book, std::shared_ptr<AppState> app,
                          std::shared_ptr<SheetData> sheet) {
  return std::make_shared<WorksheetObject>(std::move(book), std::move(app), std::move(sheet));
}

std::shared_ptr<SheetData> SheetOf(const Variant& object) {
  if (object.type() != VT_DISPATCH)
    return nullptr;
  auto* worksheet = dynamic_cast<WorksheetObject*>(object.AsObject().get());
  return worksheet ? worksheet->sheet() : nullptr;
}

}  // namespace nuv::workbook::standin
