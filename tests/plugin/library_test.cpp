// The built nuv.so as the host sees it: its dynamic symbol table, its
// loading and unloading, and the four exports.
#include <dlfcn.h>

#include <array>
#include <cstdio>
#include <memory>
#include <set>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "framework/application.h"
#include "framework/constants.h"
#include "framework/headless/headless_backend.h"
#include "framework/module.h"
#include "framework/plugin_abi.h"
#include "framework/plugin_library.h"

namespace {

constexpr const char* kLibrary = NUV_PLUGIN_LIBRARY;
// A shared library of ours that is no plug-in.
constexpr const char* kNoPlugin = NUV_FRAMEWORK_LIBRARY;

struct PipeCloser {
  void operator()(FILE* pipe) const { pclose(pipe); }
};

// The output of a command.
std::string Output(const std::string& command) {
  std::unique_ptr<FILE, PipeCloser> pipe(popen(command.c_str(), "r"));
  std::string out;
  if (!pipe)
    return out;
  std::array<char, 4096> buffer{};
  size_t got = 0;
  while ((got = fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0)
    out.append(buffer.data(), got);
  return out;
}

bool HasModule(std::string_view name) {
  for (const nuv::fw::Module* module : nuv::fw::ModuleRegistry::Modules()) {
    if (module->name() == name)
      return true;
  }
  return false;
}

template <class Fn>
Fn Symbol(void* library, const char* name) {
  return reinterpret_cast<Fn>(dlsym(library, name));
}

TEST(PluginLibrary, ExportsExactlyTheFourFunctionsByTheirPlainNames) {
  std::istringstream lines(Output(std::string("nm -D --defined-only ") + kLibrary));
  std::set<std::string> functions;
  std::set<std::string> others;
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream words(line);
    std::string address, type, name;
    if (!(words >> address >> type >> name))
      continue;
    (type == "T" ? functions : others).insert(name);
  }
  EXPECT_EQ(functions,
            (std::set<std::string>{"dll_deinit", "dll_get_title", "dll_init", "dll_is_gui"}));
  EXPECT_TRUE(others.empty()) << "also exported: " << *others.begin();
}

TEST(PluginLibrary, LoadingJoinsTheModuleRegistryAndUnloadingLeavesIt) {
  ASSERT_FALSE(HasModule("nuv"));
  void* library = dlopen(kLibrary, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  EXPECT_TRUE(HasModule("nuv"));
  EXPECT_NE(nuv::fw::ModuleRegistry::FindTemplate(5), nullptr);
  EXPECT_NE(nuv::fw::ModuleRegistry::FindTemplate(2016), nullptr);
  EXPECT_NE(nuv::fw::ModuleRegistry::FindClass("NuvDialog"), nullptr);
  EXPECT_NE(nuv::fw::ModuleRegistry::FindClass("nuvnewfmtdlg"), nullptr);
  ASSERT_EQ(dlclose(library), 0);
  EXPECT_FALSE(HasModule("nuv"));
  EXPECT_EQ(nuv::fw::ModuleRegistry::FindTemplate(5), nullptr);
  // Nothing keeps the library loaded.
  EXPECT_EQ(dlopen(kLibrary, RTLD_NOW | RTLD_NOLOAD), nullptr);
}

TEST(PluginLibrary, AHostRefusesALibraryThatIsNoPluginOrIsNotThere) {
  using nuv::fw::PluginLibrary;
  const auto not_a_plugin = PluginLibrary::Open(kNoPlugin);
  ASSERT_FALSE(not_a_plugin.ok());
  EXPECT_EQ(not_a_plugin.error(), "the plug-in does not export dll_get_title");
  const auto missing = PluginLibrary::Open(std::string(kLibrary) + ".gone");
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.error().rfind("cannot load " + std::string(kLibrary) + ".gone: ", 0), 0u)
      << missing.error();
  EXPECT_TRUE(PluginLibrary::Open(kLibrary).ok());
}

TEST(PluginLibrary, TheHostMakesTheFormThroughTheExports) {
  void* library = dlopen(kLibrary, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  const auto get_title = Symbol<nuv::fw::DllGetTitle>(library, nuv::fw::kDllGetTitle);
  const auto is_gui = Symbol<nuv::fw::DllIsGui>(library, nuv::fw::kDllIsGui);
  const auto init = Symbol<nuv::fw::DllInit>(library, nuv::fw::kDllInit);
  const auto deinit = Symbol<nuv::fw::DllDeinit>(library, nuv::fw::kDllDeinit);
  ASSERT_TRUE(get_title && is_gui && init && deinit);

  EXPECT_STREQ(get_title(), "NUV");
  EXPECT_EQ(get_title(), get_title());
  EXPECT_EQ(is_gui(), 1);
  {
    nuv::fw::Application app("nuvhost", std::make_unique<nuv::fw::headless::HeadlessBackend>());
    app.CreatePage();
    EXPECT_EQ(init(nullptr, 0), 0);
    for (int round = 0; round < 2; ++round) {
      // One form, whatever the number of calls, as the page's first pane.
      int first = 0;
      int second = 0;
      app.RunCommand([&] { first = init(app.page(), 0); });
      app.RunCommand([&] { second = init(app.page(), 7); });
      EXPECT_EQ(first, 1);
      EXPECT_EQ(second, 1);
      ASSERT_EQ(app.page()->children().size(), 1u);
      const nuv::fw::Window& form = *app.page()->children().front();
      EXPECT_EQ(form.class_name(), "NuvDialog");
      EXPECT_EQ(form.GetDlgCtrlID(), nuv::fw::AFX_IDW_PANE_FIRST);
      const uint32_t style = nuv::fw::WS_CHILD | nuv::fw::WS_VISIBLE | nuv::fw::WS_BORDER;
      EXPECT_EQ(form.GetStyle() & style, style);
      EXPECT_TRUE(form.IsWindowVisible());
      // The page takes the form with it; a new page gets a new one.
      app.DestroyPage();
      app.Flush();
      app.CreatePage();
    }
    deinit();
  }
  ASSERT_EQ(dlclose(library), 0);
}

}  // namespace
