#include "workbook/standin_application.h"

#include <vector>

#include "platform/errors.h"
#include "workbook/excel_dispids.h"
#include "workbook/standin_objects.h"
#include "workbook/xls_file.h"

namespace nuv::workbook {
namespace standin {
namespace {

// The Application object with its list of open workbooks.
class ApplicationObject final : public Object,
                                public std::enable_shared_from_this<ApplicationObject> {
 public:
  ApplicationObject() : Object(std::make_shared<AppState>(), "Application") {}

  std::vector<std::shared_ptr<WorkbookObject>>& workbooks() {
    std::erase_if(workbooks_, [](const auto& book) { return book->closed(); });
    return workbooks_;
  }
  const std::shared_ptr<AppState>& app() const { return app_; }

 protected:
  Variant Call(DispId member, InvokeKind kind, std::span<const Variant> span) override;

 private:
  std::vector<std::shared_ptr<WorkbookObject>> workbooks_;
};

// The Workbooks collection: Add makes a new workbook, Open reads a file.
class WorkbooksObject final : public Object {
 public:
  explicit WorkbooksObject(std::shared_ptr<ApplicationObject> application)
      : Object(application->app(), "Workbooks"), application_(std::move(application)) {}

 protected:
  Variant Call(DispId member, InvokeKind kind, std::span<const Variant> span) override {
    if (member == dispid::kWorkbooksAdd && IsGet(kind)) {
      Args args(span, "Workbooks.Add");
      args.AtMost(1);
      int sheets = 3;
      if (const Variant* kind_of = args.Optional(0)) {
        if (kind_of->type() == VT_BSTR || args.Integer(0, -32768, 32767) != dispid::kWorksheetType)
          args.Fail("only a new workbook of worksheets can be made here (no templates).");
        sheets = 1;
      }
      WorkbookData data;
      for (int i = 1; i <= sheets; ++i) {
        auto sheet = std::make_shared<SheetData>();
        sheet->name = u"Sheet" + std::u16string(1, static_cast<char16_t>(u'0' + i));
        data.sheets.push_back(std::move(sheet));
      }
      return Adopt(std::move(data), {});
    }
    if (member == dispid::kWorkbooksOpen && IsGet(kind)) {
      Args args(span, "Workbooks.Open");
      args.AtMost(15);
      std::filesystem::path path = NativeWorkbookPath(args, args.Text(0));
      std::error_code error;
      if (!std::filesystem::exists(path, error))
        args.Fail("Sorry, we couldn't find " + path.string() +
                  ". Is it possible it was moved, renamed or deleted?");
      try {
        return Adopt(ReadXlsFile(path), std::filesystem::absolute(path, error));
      } catch (const CommandError& e) {
        args.Fail(e.what());
      }
    }
    if (member == 0x76 && IsGet(kind))  // Count
      return Variant::I4(static_cast<std::int32_t>(application_->workbooks().size()));
    NoMember(member, kind);
  }

 private:
  Variant Adopt(WorkbookData data, std::filesystem::path path) {
    auto book = std::make_shared<WorkbookObject>(app_, std::move(data), std::move(path));
    application_->workbooks().push_back(book);
    return Variant::Object(book);
  }

  std::shared_ptr<ApplicationObject> application_;
};

Variant ApplicationObject::Call(DispId member, InvokeKind kind, std::span<const Variant> span) {
  switch (member) {
    case dispid::kApplicationWorkbooks:
      if (IsGet(kind))
        return Variant::Object(std::make_shared<WorkbooksObject>(shared_from_this()));
      break;
    case dispid::kApplicationVisible: {
      if (IsGet(kind))
        return Variant::Bool(app_->visible);
      Args args(span, "Application.Visible");
      args.AtMost(1);
      app_->visible = args.Bool(0);
      for (const auto& book : workbooks())
        app_->Show(book->path());
      return {};
    }
    case dispid::kApplicationUserControl: {
      if (IsGet(kind))
        return Variant::Bool(app_->user_control);
      Args args(span, "Application.UserControl");
      args.AtMost(1);
      app_->user_control = args.Bool(0);
      return {};
    }
    case dispid::kApplicationQuit:
      if (IsGet(kind)) {
        Args(span, "Application.Quit").AtMost(0);
        // Unsaved workbooks are dropped: the tool quits only after closing
        // what it opened without saving.
        workbooks_.clear();
        app_->quit = true;
        return {};
      }
      break;
    default:
      break;
  }
  NoMember(member, kind);
}

}  // namespace
}  // namespace standin

DispatchRef CreateStandInApplication() {
  return std::make_shared<standin::ApplicationObject>();
}

}  // namespace nuv::workbook
