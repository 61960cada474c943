// The exports and the module of the test plug-in.
#include <memory>

#include "framework/constants.h"
#include "framework/module.h"
#include "framework/plugin_abi.h"
#include "framework/window_ref.h"
#include "test_form.h"

extern const nuv::fw::ResourceTexts nuv_test_plugin_resources;

namespace {

nuv::fw::Module g_module("test plug-in", &nuv_test_plugin_resources,
                         {&nuv::test::TestForm::kClass, &nuv::test::TestSubDialog::kClass,
                          &nuv::test::TestTip::kClass});

nuv::fw::WindowRef<nuv::test::TestForm> g_form;

}  // namespace

extern "C" const char* dll_get_title() {
  return "TEST";
}

extern "C" int dll_is_gui() {
  return 1;
}

extern "C" int dll_init(nuv::fw::Window* parent, uint32_t) {
  if (g_form)
    return 1;
  auto form = std::make_unique<nuv::test::TestForm>();
  if (parent == nullptr ||
      !form->Create(nuv::fw::WS_CHILD | nuv::fw::WS_VISIBLE | nuv::fw::WS_BORDER, {0, 0, 0, 0},
                    parent, nuv::fw::AFX_IDW_PANE_FIRST))
    return 0;
  g_form = nuv::fw::WindowRef<nuv::test::TestForm>(form.get());
  // A view goes with its window: the page keeps it until then.
  parent->Adopt(std::move(form));
  return 1;
}

extern "C" void dll_deinit() {}
