#include "workbook/dispatch.h"

#include <cstdio>

#include "platform/errors.h"
#include "workbook/automation_registry.h"

namespace nuv::workbook {

CreateResult DispatchDriver::CreateDispatch(std::string_view prog_id) {
  object_ = CreateAutomationObject(prog_id);
  return object_ != nullptr ? CreateResult::kCreated : CreateResult::kNotCreated;
}

Variant DispatchDriver::InvokeHelper(DispId member, InvokeKind kind, VarType result_type,
                                     std::span<const Variant> args) const {
  if (!object_) {
    char text[96];
    std::snprintf(text, sizeof text, "Member 0x%X was called through an empty automation handle.",
                  static_cast<unsigned>(member));
    throw AutomationError(text);
  }
  // Hold our own reference for the call, so the object outlives it even if
  // the call ends up releasing the handle's reference.
  DispatchRef object = object_;
  Variant result = object->Invoke(member, kind, args);
  if (result_type == VT_EMPTY)
    return Variant();
  if (result_type == VT_VARIANT)
    return result;
  if (result_type == VT_DISPATCH) {
    if (result.type() != VT_DISPATCH || !result.AsObject())
      throw AutomationError("Type mismatch: the member returned no object.");
    return result;
  }
  return ChangeType(result, result_type);
}

DispatchRef DispatchDriver::GetObject(DispId member, InvokeKind kind,
                                      std::span<const Variant> args) const {
  return InvokeHelper(member, kind, VT_DISPATCH, args).AsObject();
}

}  // namespace nuv::workbook
