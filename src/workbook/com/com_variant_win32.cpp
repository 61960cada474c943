#include "workbook/com/com_variant_win32.h"

#include <cstdio>
#include <memory>
#include <string>

#include "platform/errors.h"

namespace nuv::workbook::com {
namespace {

// The Windows functions below take their source VARIANT without const, but
// do not change it.
static_assert(sizeof(wchar_t) == sizeof(char16_t), "BSTRs are UTF-16");

std::wstring_view Wide(const std::u16string& text) {
  return {reinterpret_cast<const wchar_t*>(text.data()), text.size()};
}

[[noreturn]] void Unreadable(VARTYPE type) {
  char text[96];
  std::snprintf(text, sizeof text, "A value of automation type 0x%X cannot be used here.",
                static_cast<unsigned>(type));
  throw AutomationError(text);
}

SafeArray ToSafeArray(const ValueArray& array, const ObjectBridge& objects) {
  SAFEARRAYBOUND bounds[2] = {{array.rows(), 1}, {array.columns(), 1}};
  SafeArray out(SafeArrayCreate(::VT_VARIANT, 2, bounds));
  if (out.get() == nullptr)
    throw AutomationError("Not enough memory for an array of " + std::to_string(array.rows()) +
                          " x " + std::to_string(array.columns()) + " values.");
  // A new array holds VT_EMPTY everywhere; only the stored elements are set.
  ArrayLock lock(out.get());
  for (const ValueArray::Element& element : array.stored()) {
    LONG index[2] = {static_cast<LONG>(element.row), static_cast<LONG>(element.column)};
    void* cell = nullptr;
    if (FAILED(SafeArrayPtrOfIndex(out.get(), index, &cell)))
      throw AutomationError("The array could not be filled.");
    *static_cast<VARIANT*>(cell) = ToComVariant(element.value, objects).Detach();
  }
  return out;
}

ValueArray FromSafeArray(SAFEARRAY* array, const ObjectBridge& objects) {
  LONG low[2] = {}, high[2] = {};
  for (UINT d = 0; d < 2; ++d) {
    if (FAILED(SafeArrayGetLBound(array, d + 1, &low[d])) ||
        FAILED(SafeArrayGetUBound(array, d + 1, &high[d])))
      throw AutomationError("The array's bounds cannot be read.");
  }
  const std::uint32_t rows =
      high[0] >= low[0] ? static_cast<std::uint32_t>(high[0] - low[0] + 1) : 0;
  const std::uint32_t columns =
      high[1] >= low[1] ? static_cast<std::uint32_t>(high[1] - low[1] + 1) : 0;
  ValueArray out(rows, columns);
  ArrayLock lock(array);
  if (!lock.locked())
    throw AutomationError("The array cannot be read.");
  for (std::uint32_t r = 0; r < rows; ++r) {
    for (std::uint32_t c = 0; c < columns; ++c) {
      LONG index[2] = {low[0] + static_cast<LONG>(r), low[1] + static_cast<LONG>(c)};
      void* cell = nullptr;
      if (FAILED(SafeArrayPtrOfIndex(array, index, &cell)))
        throw AutomationError("The array cannot be read.");
      const VARIANT& element = *static_cast<const VARIANT*>(cell);
      if (element.vt != ::VT_EMPTY)
        out.Set(r + 1, c + 1, FromComVariant(element, objects));
    }
  }
  return out;
}

}  // namespace

ComVariant ToComVariant(const Variant& value, const ObjectBridge& objects) {
  ComVariant out;
  VARIANT& v = out.get();
  switch (value.type()) {
    case VT_EMPTY:
      break;
    case VT_I2:
      v.vt = ::VT_I2;
      v.iVal = static_cast<SHORT>(value.AsInt());
      break;
    case VT_I4:
      v.vt = ::VT_I4;
      v.lVal = static_cast<LONG>(value.AsInt());
      break;
    case VT_I8:
      v.vt = ::VT_I8;
      v.llVal = value.AsInt();
      break;
    case VT_UI4:
      v.vt = ::VT_UI4;
      v.ulVal = static_cast<ULONG>(value.AsInt());
      break;
    case VT_UI8:
      v.vt = ::VT_UI8;
      v.ullVal = static_cast<ULONGLONG>(value.AsInt());
      break;
    case VT_R8:
      v.vt = ::VT_R8;
      v.dblVal = value.AsDouble();
      break;
    case VT_BOOL:
      v.vt = ::VT_BOOL;
      v.boolVal = value.AsBool() ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    case VT_ERROR:
      v.vt = ::VT_ERROR;
      v.scode = static_cast<SCODE>(value.ErrorCode());
      break;
    case VT_BSTR: {
      Bstr text(Wide(value.AsText()));
      if (text.get() == nullptr)
        throw AutomationError("Not enough memory for a text.");
      v.vt = ::VT_BSTR;
      v.bstrVal = text.Detach();
      break;
    }
    case VT_DISPATCH:
      v.vt = ::VT_DISPATCH;
      v.pdispVal = value.AsObject() ? objects.to_com(value.AsObject()).Detach() : nullptr;
      break;
    default:
      if (value.type() != VT_VARIANT_ARRAY)
        Unreadable(value.type());
      v.parray = ToSafeArray(value.AsArray(), objects).Detach();
      v.vt = ::VT_ARRAY | ::VT_VARIANT;
      break;
  }
  return out;
}

Variant FromComVariant(const VARIANT& value, const ObjectBridge& objects) {
  if (value.vt == (::VT_BYREF | ::VT_VARIANT))
    return value.pvarVal != nullptr ? FromComVariant(*value.pvarVal, objects) : Variant();
  if ((value.vt & ::VT_BYREF) != 0) {
    ComVariant copy;
    if (FAILED(VariantCopyInd(copy.Receive(), const_cast<VARIANT*>(&value))))
      Unreadable(value.vt);
    return FromComVariant(copy.get(), objects);
  }
  switch (value.vt) {
    case ::VT_EMPTY:
    case ::VT_NULL:
      return Variant();
    case ::VT_I1:
      return Variant::I2(value.cVal);
    case ::VT_UI1:
      return Variant::I2(value.bVal);
    case ::VT_I2:
      return Variant::I2(value.iVal);
    case ::VT_UI2:
      return Variant::I4(value.uiVal);
    case ::VT_I4:
    case ::VT_INT:
      return Variant::I4(value.lVal);
    case ::VT_UI4:
    case ::VT_UINT:
      return Variant::UI4(value.ulVal);
    case ::VT_I8:
      return Variant::I8(value.llVal);
    case ::VT_UI8:
      return Variant::UI8(value.ullVal);
    case ::VT_R8:
      return Variant::R8(value.dblVal);
    case ::VT_R4:
    case ::VT_CY:
    case ::VT_DATE:
    case ::VT_DECIMAL: {
      ComVariant number;
      if (FAILED(VariantChangeType(number.Receive(), const_cast<VARIANT*>(&value), 0, ::VT_R8)))
        Unreadable(value.vt);
      return Variant::R8(number.get().dblVal);
    }
    case ::VT_BOOL:
      return Variant::Bool(value.boolVal != VARIANT_FALSE);
    case ::VT_ERROR:
      return Variant::Error(static_cast<std::uint32_t>(value.scode));
    case ::VT_BSTR: {
      const std::wstring_view text = Bstr::View(value.bstrVal);
      return Variant::Text(
          std::u16string(reinterpret_cast<const char16_t*>(text.data()), text.size()));
    }
    case ::VT_DISPATCH:
      return Variant::Object(value.pdispVal != nullptr ? objects.from_com(value.pdispVal)
                                                       : nullptr);
    case ::VT_ARRAY | ::VT_VARIANT:
      if (value.parray == nullptr || SafeArrayGetDim(value.parray) != 2)
        throw AutomationError("Only a two-dimensional array of values can be used here.");
      return Variant::Array(
          std::make_shared<const ValueArray>(FromSafeArray(value.parray, objects)));
    default:
      Unreadable(value.vt);
  }
}

}  // namespace nuv::workbook::com
