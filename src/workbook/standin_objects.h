#pragma once

// The objects of the stand-in spreadsheet application, shared between its
// source files. Nothing outside the stand-in includes this.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <set>
#include <span>
#include <string>
#include <string_view>

#include "workbook/dispatch.h"
#include "workbook/workbook_data.h"

namespace nuv::workbook::standin {

// What every object of one application instance shares.
struct AppState {
  bool quit = false;
  bool visible = false;
  bool user_control = false;
  std::set<std::filesystem::path> shown;  // files already handed to the viewer

  // Shows a saved workbook in the user's spreadsheet program, once, while
  // the application is visible.
  void Show(const std::filesystem::path& file);
};

// The arguments of one call, first argument first.
class Args {
 public:
  Args(std::span<const Variant> args, std::string_view member) : args_(args), member_(member) {}

  std::size_t size() const { return args_.size(); }
  // Raises "Invalid number of parameters." when more than count were given.
  void AtMost(std::size_t count) const;
  // The argument at index, or null when it was left out.
  const Variant* Optional(std::size_t index) const;
  // The argument at index; raises "Parameter not optional." when left out.
  const Variant& Required(std::size_t index) const;
  std::int64_t Integer(std::size_t index, std::int64_t low, std::int64_t high) const;
  std::u16string Text(std::size_t index) const;
  bool Bool(std::size_t index) const;

  // Raises an automation error whose text names the member.
  [[noreturn]] void Fail(std::string_view why) const;
  std::string_view member() const { return member_; }

 private:
  std::span<const Variant> args_;
  std::string_view member_;
};

// Base of every object: refuses calls once the application has quit (or
// the object's workbook is closed), and routes the rest to Call.
class Object : public Dispatch {
 public:
  Variant Invoke(DispId member, InvokeKind kind, std::span<const Variant> args) final;

 protected:
  Object(std::shared_ptr<AppState> app, std::string_view class_name)
      : app_(std::move(app)), class_name_(class_name) {}
  virtual bool Connected() const { return !app_->quit; }
  virtual Variant Call(DispId member, InvokeKind kind, std::span<const Variant> args) = 0;
  [[noreturn]] void NoMember(DispId member, InvokeKind kind) const;
  static bool IsGet(InvokeKind kind) { return kind != InvokeKind::PropertyPut; }
  static bool IsPut(InvokeKind kind) { return kind == InvokeKind::PropertyPut; }

  std::shared_ptr<AppState> app_;
  std::string_view class_name_;
};

// One open workbook: its sheets in memory and the file it was opened from
// or saved to.
class WorkbookObject final : public Object, public std::enable_shared_from_this<WorkbookObject> {
 public:
  WorkbookObject(std::shared_ptr<AppState> app, WorkbookData data, std::filesystem::path path);

  WorkbookData& data() { return data_; }
  const std::filesystem::path& path() const { return path_; }
  bool closed() const { return closed_; }
  bool AppConnected() const { return !app_->quit; }
  std::u16string NewSheetName();

 protected:
  bool Connected() const override { return !app_->quit && !closed_; }
  Variant Call(DispId member, InvokeKind kind, std::span<const Variant> args) override;

 private:
  // Saves under a name the caller gave, asking before a file there is
  // replaced.
  void SaveUnder(const Args& args, const std::filesystem::path& path);
  void Save(const std::filesystem::path& path, std::string_view member);

  WorkbookData data_;
  std::filesystem::path path_;
  bool closed_ = false;
  unsigned next_sheet_number_;
};

// Objects that belong to a workbook stop answering when it is closed.
class WorkbookPart : public Object {
 protected:
  WorkbookPart(std::shared_ptr<WorkbookObject> book, std::shared_ptr<AppState> app,
               std::string_view class_name)
      : Object(std::move(app), class_name), book_(std::move(book)) {}
  bool Connected() const override { return book_->AppConnected() && !book_->closed(); }
  std::shared_ptr<WorkbookObject> book_;
};

// Which cells a Range counts: all of them, or its rows, or its columns.
enum class RangeKind { Cells, Rows, Columns };

DispatchRef MakeWorksheets(std::shared_ptr<WorkbookObject> book, std::shared_ptr<AppState> app);
DispatchRef MakeWorksheet(std::shared_ptr<WorkbookObject> book, std::shared_ptr<AppState> app,
                          std::shared_ptr<SheetData> sheet);
DispatchRef MakeRange(std::shared_ptr<WorkbookObject> book, std::shared_ptr<AppState> app,
                      std::shared_ptr<SheetData> sheet, CellRect rect, RangeKind kind);
// The sheet behind a worksheet object of this application, or null.
std::shared_ptr<SheetData> SheetOf(const Variant& object);

// Paths given to Open and SaveAs: native paths, as the tool builds them
// and the user chooses them; an empty one is refused.
std::filesystem::path NativeWorkbookPath(const Args& args, std::u16string_view name);

}  // namespace nuv::workbook::standin
