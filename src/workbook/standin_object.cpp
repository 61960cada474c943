#include <cstdio>

#include "platform/errors.h"
#include "workbook/spreadsheet_viewer.h"
#include "workbook/standin_objects.h"
#include "workbook/utf16.h"

namespace nuv::workbook::standin {

void AppState::Show(const std::filesystem::path& file) {
  if (!visible || file.empty() || !shown.insert(file).second)
    return;
  ShowInSpreadsheetViewer(file);
}

void Args::AtMost(std::size_t count) const {
  if (args_.size() > count)
    Fail("Invalid number of parameters.");
}

const Variant* Args::Optional(std::size_t index) const {
  if (index >= args_.size() || args_[index].IsMissing())
    return nullptr;
  return &args_[index];
}

const Variant& Args::Required(std::size_t index) const {
  const Variant* value = Optional(index);
  if (!value)
    Fail(index >= args_.size() ? "Invalid number of parameters." : "Parameter not optional.");
  return *value;
}

std::int64_t Args::Integer(std::size_t index, std::int64_t low, std::int64_t high) const {
  const Variant& value = Required(index);
  std::int64_t number = 0;
  try {
    number = ChangeType(value, VT_I8).AsInt();
  } catch (const AutomationError&) {
    Fail("Type mismatch: argument " + std::to_string(index + 1) + " is not a number.");
  }
  if (number < low || number > high)
    Fail("Invalid parameter: argument " + std::to_string(index + 1) + " is " +
         std::to_string(number) + ", outside " + std::to_string(low) + " to " +
         std::to_string(high) + ".");
  return number;
}

std::u16string Args::Text(std::size_t index) const {
  const Variant& value = Required(index);
  if (value.type() != VT_BSTR)
    Fail("Type mismatch: argument " + std::to_string(index + 1) + " is not a text.");
  return value.AsText();
}

bool Args::Bool(std::size_t index) const {
  try {
    return ChangeType(Required(index), VT_BOOL).AsBool();
  } catch (const AutomationError&) {
    Fail("Type mismatch: argument " + std::to_string(index + 1) + " is not true or false.");
  }
}

void Args::Fail(std::string_view why) const {
  throw AutomationError(std::string(member_) + ": " + std::string(why));
}

Variant Object::Invoke(DispId member, InvokeKind kind, std::span<const Variant> args) {
  if (!Connected())
    throw AutomationError("The object invoked has disconnected from its clients.");
  return Call(member, kind, args);
}

void Object::NoMember(DispId member, InvokeKind kind) const {
  char text[160];
  std::snprintf(text, sizeof text, "Member not found: the %.*s object has no member 0x%X to %s.",
                static_cast<int>(class_name_.size()), class_name_.data(),
                static_cast<unsigned>(member),
                kind == InvokeKind::PropertyPut   ? "put"
                : kind == InvokeKind::PropertyGet ? "get"
                                                  : "call");
  throw AutomationError(text);
}

std::filesystem::path NativeWorkbookPath(const Args& args, std::u16string_view name) {
  if (name.empty())
    args.Fail("a file name is needed.");
  return std::filesystem::path(Utf16ToUtf8(name));
}

}  // namespace nuv::workbook::standin
