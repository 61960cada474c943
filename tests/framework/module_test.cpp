// The module registry that plug-ins join, and the templates of this
// program's own module.
#include "framework/module.h"

#include <gtest/gtest.h>

#include "framework/window.h"
#include "test_dialogs.h"

extern const nuv::fw::DialogTemplates framework_test_templates;

namespace nuv::fw {
namespace {

// The test templates join the registry for every test of this program.
const Module g_test_module("framework tests", framework_test_templates, {});

class Made : public Window {
 public:
  static const RuntimeClass kClass;
  const RuntimeClass& GetRuntimeClass() const override { return kClass; }
};
constinit const RuntimeClass Made::kClass{"Made", &CreateInstance<Made>};
constinit const RuntimeClass kNotMakeable{"NotMakeable", nullptr};

constexpr DialogTemplate Titled(uint32_t id, std::string_view caption) {
  DialogTemplate made;
  made.id = id;
  made.caption = caption;
  return made;
}
constexpr DialogTemplate kExtra[] = {Titled(777, "extra")};
// Claims an id the test module has already; the module that joined first wins.
constexpr DialogTemplate kShadow[] = {Titled(IDD_PROBE, "shadow")};

TEST(ModuleRegistry, AModuleSharesItsTemplatesAndClassesWhileItIsJoined) {
  EXPECT_EQ(ModuleRegistry::FindTemplate(777), nullptr);
  EXPECT_EQ(ModuleRegistry::FindClass("Made"), nullptr);
  {
    const Module module("extra", kExtra, {&Made::kClass, &kNotMakeable});
    ASSERT_NE(ModuleRegistry::FindTemplate(777), nullptr);
    EXPECT_EQ(ModuleRegistry::FindClass("Made"), &Made::kClass);
    std::unique_ptr<Window> made = ModuleRegistry::CreateObject("Made");
    EXPECT_NE(dynamic_cast<Made*>(made.get()), nullptr);
    EXPECT_EQ(ModuleRegistry::CreateObject("NotMakeable"), nullptr);
    EXPECT_EQ(ModuleRegistry::CreateObject("Nobody"), nullptr);
    // The templates of the tests' own module are still found.
    EXPECT_NE(ModuleRegistry::FindTemplate(IDD_PROBE), nullptr);
  }
  EXPECT_EQ(ModuleRegistry::FindTemplate(777), nullptr);
  EXPECT_EQ(ModuleRegistry::FindClass("Made"), nullptr);
}

TEST(ModuleRegistry, TheFirstModuleWithATemplateAnswers) {
  const Module shadow("shadow", kShadow, {});
  const DialogTemplate* found = ModuleRegistry::FindTemplate(IDD_PROBE);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->caption, "Probe");
  EXPECT_EQ(shadow.FindTemplate(IDD_PROBE)->caption, "shadow");
}

}  // namespace
}  // namespace nuv::fw
