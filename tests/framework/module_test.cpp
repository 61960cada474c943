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
// 777 is new; the test module has IDD_PROBE already, and the module that
// joined first answers for it.
constexpr DialogTemplate kExtra[] = {Titled(777, "extra"), Titled(IDD_PROBE, "shadow")};

TEST(ModuleRegistry,
     AModuleSharesItsTemplatesAndClassesWhileJoinedAndTheFirstWithATemplateAnswers) {
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
    const DialogTemplate* probe = ModuleRegistry::FindTemplate(IDD_PROBE);
    ASSERT_NE(probe, nullptr);
    EXPECT_EQ(probe->caption, "Probe");
    EXPECT_EQ(module.FindTemplate(IDD_PROBE)->caption, "shadow");
  }
  EXPECT_EQ(ModuleRegistry::FindTemplate(777), nullptr);
  EXPECT_EQ(ModuleRegistry::FindClass("Made"), nullptr);
}

}  // namespace
}  // namespace nuv::fw
