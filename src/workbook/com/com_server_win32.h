#pragma once

// The automation layer's server side on Windows: our own automation objects
// (the stand-in spreadsheet application) offered to other modules through
// IDispatch, with the same member ids, argument orders and results as in
// process.

#include "workbook/automation_registry.h"
#include "workbook/dispatch.h"

#include "workbook/com/com_handles_win32.h"

namespace nuv::workbook::com {

// The class under which the stand-in spreadsheet application registers.
// {F5979730-DBD7-4DE9-B60C-EB36CC697490}
inline constexpr CLSID kStandInClsid = {
    0xf5979730, 0xdbd7, 0x4de9, {0xb6, 0x0c, 0xeb, 0x36, 0xcc, 0x69, 0x74, 0x90}};

// Our object as a COM object. Invoke takes the arguments from DISPPARAMS in
// reverse order (a property put's value, named DISPID_PROPERTYPUT, last);
// an automation error of the object becomes DISP_E_EXCEPTION with its text
// in EXCEPINFO's description.
ComPtr<IDispatch> OfferObject(DispatchRef object);

// A class factory whose instances are made by `make`.
ComPtr<IClassFactory> OfferClass(ServerFactory make);

// True while an offered object lives or a client holds the module locked.
bool ServerInUse();

}  // namespace nuv::workbook::com
