#pragma once

// The automation layer's client side on Windows: an automation object of
// another module (the user's spreadsheet application, or our stand-in
// registered in its place), reached through IDispatch.

#include <string_view>

#include "workbook/dispatch.h"

#include "workbook/com/com_handles_win32.h"

namespace nuv::workbook::com {

class ComDispatch final : public Dispatch {
 public:
  explicit ComDispatch(ComPtr<IDispatch> object) : object_(std::move(object)) {}

  // One IDispatch::Invoke: the arguments in reverse order in DISPPARAMS, a
  // property put's value named DISPID_PROPERTYPUT. A failing call raises
  // nuv::AutomationError with the server's description from EXCEPINFO, or
  // the system's text for the status it returned.
  Variant Invoke(DispId member, InvokeKind kind, std::span<const Variant> args) override;

  IDispatch* get() const { return object_.get(); }

 private:
  Apartment apartment_;  // declared first: it ends after the reference
  ComPtr<IDispatch> object_;
};

// A new instance of the class registered under prog_id (CLSIDFromProgID,
// then CoCreateInstance with CLSCTX_SERVER); null when there is none or it
// refuses.
DispatchRef CreateComObject(std::string_view prog_id);

}  // namespace nuv::workbook::com
