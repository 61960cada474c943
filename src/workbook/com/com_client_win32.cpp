#include "workbook/com/com_client_win32.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/wide_text.h"

#include "workbook/com/com_variant_win32.h"

namespace nuv::workbook::com {
namespace {

// What the client hands over: only objects that came from a server.
const ObjectBridge& ClientBridge() {
  static const ObjectBridge bridge{
      [](const DispatchRef& object) {
        const auto* remote = dynamic_cast<const ComDispatch*>(object.get());
        if (remote == nullptr)
          throw AutomationError("An object of this program cannot be passed to the server.");
        return ComPtr<IDispatch>::Share(remote->get());
      },
      [](IDispatch* object) -> DispatchRef {
        return std::make_shared<ComDispatch>(ComPtr<IDispatch>::Share(object));
      }};
  return bridge;
}

WORD InvokeFlags(InvokeKind kind) {
  switch (kind) {
    case InvokeKind::PropertyGet:
      return DISPATCH_PROPERTYGET;
    case InvokeKind::PropertyPut:
      return DISPATCH_PROPERTYPUT;
    case InvokeKind::Method:
      break;
  }
  return DISPATCH_METHOD;
}

// The text of a failed call: the server's own description when it gave
// one, else the system's text for the status.
std::string FailureText(HRESULT result, EXCEPINFO& info) {
  if (result == DISP_E_EXCEPTION) {
    if (info.pfnDeferredFillIn != nullptr)
      info.pfnDeferredFillIn(&info);
    const Bstr source = Bstr::Adopt(info.bstrSource);
    const Bstr description = Bstr::Adopt(info.bstrDescription);
    const Bstr help = Bstr::Adopt(info.bstrHelpFile);
    if (!description.view().empty())
      return platform::FromWide(description.view());
    if (info.scode != 0)
      result = info.scode;
  }
  std::string text = platform::SystemMessage(static_cast<unsigned long>(result));
  if (!text.empty())
    return text;
  char fallback[64];
  std::snprintf(fallback, sizeof fallback, "The automation call failed (0x%08lX).",
                static_cast<unsigned long>(result));
  return fallback;
}

// The arguments of one call, cleared when the call is over.
class ArgumentList {
 public:
  // In DISPPARAMS order: the last argument first.
  ArgumentList(std::span<const Variant> args, const ObjectBridge& objects) {
    values_.reserve(args.size());
    try {
      for (std::size_t i = args.size(); i-- > 0;)
        values_.push_back(ToComVariant(args[i], objects).Detach());
    } catch (...) {
      Clear();
      throw;
    }
  }
  ~ArgumentList() { Clear(); }
  ArgumentList(const ArgumentList&) = delete;
  ArgumentList& operator=(const ArgumentList&) = delete;
  VARIANT* data() { return values_.data(); }
  UINT size() const { return static_cast<UINT>(values_.size()); }

 private:
  void Clear() {
    for (VARIANT& value : values_)
      VariantClear(&value);
  }

  std::vector<VARIANT> values_;
};

}  // namespace

Variant ComDispatch::Invoke(DispId member, InvokeKind kind, std::span<const Variant> args) {
  ArgumentList list(args, ClientBridge());
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{};
  params.rgvarg = list.data();
  params.cArgs = list.size();
  if (kind == InvokeKind::PropertyPut) {
    params.rgdispidNamedArgs = &named;
    params.cNamedArgs = 1;
  }
  EXCEPINFO info{};
  UINT bad_argument = 0;
  ComVariant result;
  const HRESULT status = object_->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, InvokeFlags(kind),
                                         &params, result.Receive(), &info, &bad_argument);
  if (FAILED(status))
    throw AutomationError(FailureText(status, info));
  return FromComVariant(result.get(), ClientBridge());
}

DispatchRef CreateComObject(std::string_view prog_id) {
  Apartment apartment;
  const std::wstring name = platform::ToWide(prog_id);
  CLSID clsid;
  if (name.empty() || FAILED(CLSIDFromProgID(name.c_str(), &clsid)))
    return nullptr;
  ComPtr<IDispatch> object;
  if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, IID_IDispatch,
                              reinterpret_cast<void**>(object.Receive()))))
    return nullptr;
  return std::make_shared<ComDispatch>(std::move(object));
}

}  // namespace nuv::workbook::com
