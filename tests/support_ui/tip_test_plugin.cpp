// A plug-in whose page is a described field block's dialog, so that UI
// scripts can drive the tips of the field edit dialog's inputs with
// nuv-drive: two lines from a backslash-n, and inputs on the last lines of
// the screen whose tips go above them.
#include <memory>
#include <string>
#include <vector>

#include "described_fields_dialog.h"
#include "framework/plugin_abi.h"
#include "framework/window_ref.h"

namespace {

nuv::fw::WindowRef<> g_dialog;

// Fields 0 and 1 on the first line, 84 and 85 on the last (line 21, 535 to
// 555 pixels); the others have no description and show no tip.
std::vector<nuv::legacy::ScriptField> Fields() {
  std::vector<nuv::legacy::ScriptField> fields;
  for (int i = 0; i < 88; ++i)
    fields.push_back(nuv::test::DescribedField("F" + std::to_string(i), ""));
  fields[0].description = R"(Standby delay in seconds\nRange 0 to 255)";
  fields[1].description = R"(Blinks the standby LED while the box sleeps\nOff: 0)";
  fields[84].description = R"(Front panel key\nrepeat)";
  fields[85].description = R"(Remote control\ncode set)";
  return fields;
}

}  // namespace

extern "C" const char* dll_get_title() {
  return "TIPS";
}

extern "C" int dll_is_gui() {
  return 1;
}

extern "C" int dll_init(nuv::fw::Window* parent, uint32_t) {
  if (g_dialog)
    return 1;
  if (parent == nullptr)
    return 0;
  auto dialog = std::make_unique<nuv::test::DescribedFieldsDialog>();
  if (!dialog->Open(Fields(), parent))
    return 0;
  g_dialog = nuv::fw::WindowRef<>(dialog.get());
  // The page keeps the dialog for as long as it exists.
  parent->Adopt(std::move(dialog));
  return 1;
}

extern "C" void dll_deinit() {}
