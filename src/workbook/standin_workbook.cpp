#include <string>

#include "platform/errors.h"
#include "workbook/automation_registry.h"
#include "workbook/excel_dispids.h"
#include "workbook/standin_objects.h"
#include "workbook/utf16.h"
#include "workbook/xls_file.h"

namespace nuv::workbook::standin {
namespace {

// The Worksheets collection of a workbook.
class WorksheetsObject final : public WorkbookPart {
 public:
  WorksheetsObject(std::shared_ptr<WorkbookObject> book, std::shared_ptr<AppState> app)
      : WorkbookPart(std::move(book), std::move(app), "Worksheets") {}

 protected:
  Variant Call(DispId member, InvokeKind kind, std::span<const Variant> span) override {
    WorkbookData& data = book_->data();
    if (member == dispid::kWorksheetsItem && IsGet(kind)) {
      Args args(span, "Worksheets.Item");
      args.AtMost(1);
      const Variant& index = args.Required(0);
      std::size_t position = 0;
      if (index.type() == VT_BSTR) {
        position = FindSheet(data, index.AsText());
        if (position == data.sheets.size())
          args.Fail("Invalid index: there is no sheet named \"" + index.AsUtf8() + "\".");
      } else {
        std::int64_t number = args.Integer(0, -2147483648LL, 2147483647LL);
        if (number < 1 || static_cast<std::size_t>(number) > data.sheets.size())
          args.Fail("Invalid index: there is no sheet at position " + std::to_string(number) +
                    " (the workbook has " + std::to_string(data.sheets.size()) + " sheets).");
        position = static_cast<std::size_t>(number - 1);
      }
      return Variant::Object(MakeWorksheet(book_, app_, data.sheets[position]));
    }
    if (member == dispid::kWorksheetsAdd && IsGet(kind)) {
      Args args(span, "Worksheets.Add");
      args.AtMost(4);
      std::size_t position = data.active;
      if (const Variant* before = args.Optional(0)) {
        position = Locate(args, *before);
        if (args.Optional(1))
          args.Fail("give Before or After, not both.");
      } else if (const Variant* after = args.Optional(1)) {
        position = Locate(args, *after) + 1;
      }
      std::int64_t count = args.Optional(2) ? args.Integer(2, 1, 255) : 1;
      if (args.Optional(3) && args.Integer(3, -32768, 32767) != dispid::kWorksheetType)
        args.Fail("only worksheets can be added here.");
      for (std::int64_t i = 0; i < count; ++i) {
        auto sheet = std::make_shared<SheetData>();
        sheet->name = book_->NewSheetName();
        data.sheets.insert(data.sheets.begin() + static_cast<std::ptrdiff_t>(position),
                           std::move(sheet));
      }
      // The new sheet becomes the active one.
      data.active = position;
      return Variant::Object(MakeWorksheet(book_, app_, data.sheets[position]));
    }
    if (member == 0x76 && IsGet(kind))  // Count
      return Variant::I4(static_cast<std::int32_t>(data.sheets.size()));
    NoMember(member, kind);
  }

 private:
  // The position of the sheet a Before or After argument names.
  std::size_t Locate(const Args& args, const Variant& which) {
    std::shared_ptr<SheetData> sheet = SheetOf(which);
    const auto& sheets = book_->data().sheets;
    for (std::size_t i = 0; i < sheets.size(); ++i) {
      if (sheets[i] == sheet)
        return i;
    }
    args.Fail("Before and After must be a worksheet of this workbook.");
  }
};

}  // namespace

DispatchRef MakeWorksheets(std::shared_ptr<WorkbookObject> book, std::shared_ptr<AppState> app) {
  return std::make_shared<WorksheetsObject>(std::move(book), std::move(app));
}

WorkbookObject::WorkbookObject(std::shared_ptr<AppState> app, WorkbookData data,
                               std::filesystem::path path)
    : Object(std::move(app), "Workbook"),
      data_(std::move(data)),
      path_(std::move(path)),
      next_sheet_number_(static_cast<unsigned>(data_.sheets.size()) + 1) {}

std::u16string WorkbookObject::NewSheetName() {
  for (;;) {
    std::u16string name = u"Sheet" + Utf8ToUtf16(std::to_string(next_sheet_number_++));
    if (FindSheet(data_, name) == data_.sheets.size())
      return name;
  }
}

void WorkbookObject::SaveUnder(const Args& args, const std::filesystem::path& path) {
  // As the spreadsheet application does, a file that is there already is
  // replaced only when the user says so; No makes the call fail.
  std::error_code error;
  if (std::filesystem::exists(path, error)) {
    const std::string name = path.filename().string();
    if (!AskServerQuestion("A file named '" + name +
                           "' already exists in this location. Do you want to replace it?"))
      args.Fail("the file '" + name + "' already exists and was not replaced.");
  }
  Save(path, args.member());
}

void WorkbookObject::Save(const std::filesystem::path& path, std::string_view member) {
  try {
    WriteXlsFile(path, data_);
  } catch (const CommandError& e) {
    throw AutomationError(std::string(member) + ": " + e.what());
  }
  std::error_code error;
  path_ = std::filesystem::absolute(path, error);
  app_->Show(path_);
}

Variant WorkbookObject::Call(DispId member, InvokeKind kind, std::span<const Variant> span) {
  switch (member) {
    case dispid::kWorkbookWorksheets:
      if (IsGet(kind))
        return Variant::Object(MakeWorksheets(shared_from_this(), app_));
      break;
    case dispid::kWorkbookSaveAs: {
      if (!IsGet(kind))
        break;
      Args args(span, "Workbook.SaveAs");
      args.AtMost(12);
      std::filesystem::path path = NativeWorkbookPath(args, args.Text(0));
      if (args.Optional(1)) {
        std::int64_t format = args.Integer(1, -32768, 32767);
        if (format != dispid::kFileFormatExcel8 && format != dispid::kFileFormatNormal)
          args.Fail("only the Excel 97-2003 format (56) can be saved here.");
      }
      for (std::size_t i : {2u, 3u}) {
        const Variant* password = args.Optional(i);
        if (password && !(password->type() == VT_BSTR && password->AsText().empty()))
          args.Fail("passwords are not supported.");
      }
      SaveUnder(args, path);
      return {};
    }
    case dispid::kWorkbookClose: {
      if (!IsGet(kind))
        break;
      Args args(span, "Workbook.Close");
      args.AtMost(3);
      if (args.Optional(0) && args.Bool(0)) {
        if (args.Optional(1))
          SaveUnder(args, NativeWorkbookPath(args, args.Text(1)));
        else if (path_.empty())
          args.Fail("the workbook was never saved; give a file name.");
        else
          Save(path_, args.member());
      }
      closed_ = true;
      return {};
    }
    default:
      break;
  }
  NoMember(member, kind);
}

}  // namespace nuv::workbook::standin
