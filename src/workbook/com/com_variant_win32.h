#pragma once

// Values across the COM boundary: the tool's Variant and the automation
// interface's VARIANT, BSTR and SAFEARRAY. Objects cross through a bridge
// that each side supplies: the client wraps the server's objects, the
// server wraps its own.

#include <functional>

#include "workbook/dispatch.h"
#include "workbook/variant.h"

#include "workbook/com/com_handles_win32.h"

namespace nuv::workbook::com {

struct ObjectBridge {
  // The COM object that stands for one of ours.
  std::function<ComPtr<IDispatch>(const DispatchRef&)> to_com;
  // Ours for a COM object (never null).
  std::function<DispatchRef(IDispatch*)> from_com;
};

// A value as a VARIANT. An array becomes a two-dimensional SAFEARRAY of
// VARIANTs, rows first, both indices counted from 1. Raises
// nuv::AutomationError when memory for an array runs out.
ComVariant ToComVariant(const Variant& value, const ObjectBridge& objects);

// A VARIANT as a value, following a reference (VT_BYREF). Integers of other
// widths keep their sign; currency, dates, decimals and single floats
// become numbers (VT_R8); VT_NULL reads as empty. A two-dimensional array
// of VARIANTs becomes a ValueArray counted from 1, whatever its lower
// bounds. Raises nuv::AutomationError for a type the tool cannot hold.
Variant FromComVariant(const VARIANT& value, const ObjectBridge& objects);

}  // namespace nuv::workbook::com
