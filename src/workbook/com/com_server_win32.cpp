#include "workbook/com/com_server_win32.h"

#include <atomic>
#include <new>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/wide_text.h"
#include "workbook/excel_dispids.h"
#include "workbook/utf16.h"

#include "workbook/com/com_variant_win32.h"

namespace nuv::workbook::com {
namespace {

std::atomic<long> live_objects{0};
std::atomic<long> module_locks{0};

// Asked of an argument object to find out whether it is one of ours.
// {B7AF4363-EE0E-450B-955B-B48AF5AF5837}
constexpr IID kOwnObjectIid = {
    0xb7af4363, 0xee0e, 0x450b, {0x95, 0x5b, 0xb4, 0x8a, 0xf5, 0xaf, 0x58, 0x37}};

// Counts itself as a live object of the module.
class Counted {
 protected:
  Counted() { ++live_objects; }
  ~Counted() { --live_objects; }
  Counted(const Counted&) = delete;
  Counted& operator=(const Counted&) = delete;

  ULONG AddReference() { return ++references_; }
  template <typename Self>
  static ULONG ReleaseReference(Self* self) {
    const ULONG left = --self->references_;
    if (left == 0)
      delete self;
    return left;
  }

 private:
  std::atomic<ULONG> references_{1};
};

const ObjectBridge& ServerBridge();

// A COM object is destroyed by its own Release, never through an interface
// pointer, so the interfaces' destructors need not be virtual.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

class ServerObject final : public IDispatch, private Counted {
 public:
  explicit ServerObject(DispatchRef object) : object_(std::move(object)) {}

  const DispatchRef& object() const { return object_; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr)
      return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, kOwnObjectIid)) {
      AddRef();
      *out = static_cast<IDispatch*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return AddReference(); }
  ULONG STDMETHODCALLTYPE Release() override { return ReleaseReference(this); }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count == nullptr)
      return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info != nullptr)
      *info = nullptr;
    return DISP_E_BADINDEX;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception,
                                   UINT* bad_argument) override;

 private:
  friend class Counted;
  ~ServerObject() = default;

  DispatchRef object_;
};

HRESULT ServerObject::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (!IsEqualIID(iid, IID_NULL))
    return DISP_E_UNKNOWNINTERFACE;
  if (names == nullptr || ids == nullptr)
    return E_POINTER;
  for (UINT i = 0; i < count; ++i)
    ids[i] = DISPID_UNKNOWN;
  if (count == 0 || names[0] == nullptr)
    return DISP_E_UNKNOWNNAME;
  // Names of members only: the members take no named arguments.
  try {
    const std::wstring_view wide(names[0]);
    const std::u16string name(wide.begin(), wide.end());
    for (const dispid::MemberName& member : dispid::kMemberNames) {
      if (SameTextIgnoringCase(name, Utf8ToUtf16(member.name))) {
        ids[0] = member.id;
        return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
      }
    }
    return DISP_E_UNKNOWNNAME;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

HRESULT ServerObject::Invoke(DISPID member, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                             VARIANT* result, EXCEPINFO* exception, UINT* bad_argument) {
  if (!IsEqualIID(iid, IID_NULL))
    return DISP_E_UNKNOWNINTERFACE;
  if (params == nullptr || (params->cArgs > 0 && params->rgvarg == nullptr))
    return E_INVALIDARG;
  const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
  const bool value_named = params->cNamedArgs == 1 && params->rgdispidNamedArgs != nullptr &&
                           params->rgdispidNamedArgs[0] == DISPID_PROPERTYPUT;
  if (put && !value_named)
    return DISP_E_PARAMNOTOPTIONAL;
  if (!put && params->cNamedArgs != 0)
    return DISP_E_NONAMEDARGS;
  const InvokeKind kind = put                              ? InvokeKind::PropertyPut
                          : (flags & DISPATCH_METHOD) == 0 ? InvokeKind::PropertyGet
                                                           : InvokeKind::Method;
  // The argument being read, for puArgErr; cArgs once all were read.
  UINT converting = params->cArgs;
  try {
    // DISPPARAMS holds the last argument first; a put's value, named, is
    // at index 0 and so comes last.
    std::vector<Variant> args;
    args.reserve(params->cArgs);
    for (UINT i = params->cArgs; i-- > 0;) {
      converting = i;
      args.push_back(FromComVariant(params->rgvarg[i], ServerBridge()));
    }
    converting = params->cArgs;
    const Variant answer = object_->Invoke(member, kind, args);
    if (result != nullptr)
      *result = ToComVariant(answer, ServerBridge()).Detach();
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (const std::exception& error) {
    // Automation and file errors, and anything else the object raised: no
    // exception may leave through the interface.
    if (bad_argument != nullptr && converting < params->cArgs)
      *bad_argument = converting;
    if (exception != nullptr) {
      *exception = EXCEPINFO{};
      exception->scode = E_FAIL;
      exception->bstrSource = Bstr(platform::ToWide(kExcelProgId)).Detach();
      exception->bstrDescription = Bstr(platform::ToWide(error.what())).Detach();
    }
    return DISP_E_EXCEPTION;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

const ObjectBridge& ServerBridge() {
  static const ObjectBridge bridge{
      [](const DispatchRef& object) { return OfferObject(object); },
      [](IDispatch* object) -> DispatchRef {
        ComPtr<IDispatch> own;
        if (FAILED(object->QueryInterface(kOwnObjectIid, reinterpret_cast<void**>(own.Receive()))))
          throw AutomationError("The object passed is not one of this application's objects.");
        return static_cast<ServerObject*>(own.get())->object();
      }};
  return bridge;
}

class ClassFactory final : public IClassFactory, private Counted {
 public:
  explicit ClassFactory(ServerFactory make) : make_(std::move(make)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr)
      return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
      AddRef();
      *out = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return AddReference(); }
  ULONG STDMETHODCALLTYPE Release() override { return ReleaseReference(this); }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (out == nullptr)
      return E_POINTER;
    *out = nullptr;
    if (outer != nullptr)
      return CLASS_E_NOAGGREGATION;
    try {
      DispatchRef object = make_ ? make_() : nullptr;
      if (!object)
        return E_FAIL;
      return OfferObject(std::move(object))->QueryInterface(iid, out);
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    } catch (...) {
      return E_UNEXPECTED;
    }
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    module_locks += lock ? 1 : -1;
    return S_OK;
  }

 private:
  friend class Counted;
  ~ClassFactory() = default;

  ServerFactory make_;
};

#pragma GCC diagnostic pop

}  // namespace

ComPtr<IDispatch> OfferObject(DispatchRef object) {
  return ComPtr<IDispatch>::Adopt(new ServerObject(std::move(object)));
}

ComPtr<IClassFactory> OfferClass(ServerFactory make) {
  return ComPtr<IClassFactory>::Adopt(new ClassFactory(std::move(make)));
}

bool ServerInUse() {
  return live_objects > 0 || module_locks > 0;
}

}  // namespace nuv::workbook::com
