// The library's face to the host: its module (dialog templates and runtime
// classes), which joins the framework's registry when the library is loaded
// and leaves it when the library is unloaded, and the four exports. Nothing
// else of the library is visible from outside (see exports.map).
#include "exchange/new_format_dialog.h"
#include "framework/module.h"
#include "legacy/customer_config_dialog.h"
#include "legacy/field_edit_dialog.h"
#include "plugin/nuv_dialog.h"
#include "plugin/plugin_entry.h"

#pragma GCC visibility push(default)
#include "framework/plugin_abi.h"
#pragma GCC visibility pop

// Generated from resources/nuv.rc and resources/resource.h.
extern const nuv::fw::DialogTemplates nuv_plugin_templates;

namespace {

nuv::fw::Module g_module("nuv", nuv_plugin_templates,
                         {&nuv::plugin::NuvDialog::kClass, &nuv::exchange::nuvnewfmtdlg::kClass,
                          &nuv::legacy::NuvSubDialog::kClass,
                          &nuv::legacy::NuvNewButtonDialog::kClass});

}  // namespace

extern "C" const char* dll_get_title() {
  return "NUV";
}

extern "C" int dll_is_gui() {
  return 1;
}

// The host reads 1 as a page it can show, 0 as none.
extern "C" int dll_init(nuv::fw::Window* parent, uint32_t /*unused*/) {
  return nuv::plugin::InitPlugin(parent) == nuv::plugin::InitResult::kFormExists ? 1 : 0;
}

extern "C" void dll_deinit() {
  // The form goes with the host's window, which the host destroys itself.
}
