// The module registry that plug-ins join, and the templates of this
// program's own module.
#include "framework/module.h"

#include <gtest/gtest.h>

#include "framework/window.h"
#include "test_dialogs.h"

extern const nuv::fw::ResourceTexts framework_test_resources;

namespace nuv::fw {
namespace {

// The test templates join the registry for every test of this program.
const Module g_test_module("framework tests", &framework_test_resources, {});

class Made : public Window {
 public:
  static const RuntimeClass kClass;
  const RuntimeClass& GetRuntimeClass() const override { return kClass; }
};
constinit const RuntimeClass Made::kClass{"Made", &CreateInstance<Made>};
constinit const RuntimeClass kNotMakeable{"NotMakeable", nullptr};

constexpr ResourceTexts kExtra{
    "extra.rc", "#include \"extra.h\"\nIDD_X DIALOG 0,0,10,10 BEGIN END\n", "#define IDD_X 777\n"};
constexpr ResourceTexts kBroken{"broken.rc", "777 DIALOG 0,0,10,10 BEGIN NOPE END\n", ""};
// Claims an id the test module has already; the module that joined first wins.
constexpr ResourceTexts kShadow{"shadow.rc", "300 DIALOG 0,0,1,1 CAPTION \"shadow\" BEGIN END\n",
                                ""};

TEST(ModuleRegistry, AModuleSharesItsTemplatesAndClassesWhileItIsJoined) {
  EXPECT_EQ(ModuleRegistry::FindTemplate(777), nullptr);
  EXPECT_EQ(ModuleRegistry::FindClass("Made"), nullptr);
  {
    const Module module("extra", &kExtra, {&Made::kClass, &kNotMakeable});
    EXPECT_TRUE(module.error().empty());
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
  const Module shadow("shadow", &kShadow, {});
  const DialogTemplate* found = ModuleRegistry::FindTemplate(IDD_PROBE);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->caption, "Probe");
  EXPECT_EQ(shadow.FindTemplate(IDD_PROBE)->caption, "shadow");
}

TEST(ModuleRegistry, AModuleWhoseScriptCannotBeReadSaysWhyAndHasNoTemplates) {
  const Module module("broken", &kBroken, {});
  EXPECT_EQ(module.error(), "broken.rc:1: the control statement NOPE is not understood");
  EXPECT_EQ(module.FindTemplate(777), nullptr);
  EXPECT_EQ(ModuleRegistry::FindTemplate(777), nullptr);
}

}  // namespace
}  // namespace nuv::fw
