#pragma once

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/application.h"
#include "framework/driven_backend.h"
#include "framework/plugin_library.h"
#include "window_names.h"

namespace nuv::drive {

// A host that replays a script's user actions and writes the transcript. The
// host's page fills the screen; the plug-in is loaded by `load`. The windows
// are those of `backend`: headless, or real ones that mirror them.
class ScriptRunner {
 public:
  ScriptRunner(std::ostream& out, std::ostream& err, std::string plugin_path,
               std::unique_ptr<fw::DrivenBackend> backend);
  // Takes the page down, calls dll_deinit and unloads the plug-in; nothing
  // of that goes into the transcript.
  ~ScriptRunner();
  ScriptRunner(const ScriptRunner&) = delete;
  ScriptRunner& operator=(const ScriptRunner&) = delete;

  // Carries out every line of the script. Returns the exit status: 0 when
  // every line was carried out, 1 otherwise.
  int Run(std::istream& script);

  // Carries out one line (comments and blank lines are passed over):
  // kNotDone when it was refused or went wrong.
  enum class LineResult { kDone, kNotDone };
  [[nodiscard]] LineResult RunLine(std::string_view line, int line_number);

 private:
  void OnEvent(const fw::DrivenEvent& event);
  void Refuse(std::string_view line, std::string_view reason);

  // Why an action was not carried out; nothing when it was.
  using Refusal = std::optional<std::string>;
  Refusal Load();
  Refusal Answer(std::string_view rest);
  Refusal Click(const std::vector<std::string>& words);
  Refusal Check(const std::vector<std::string>& words);
  Refusal Type(const std::vector<std::string>& words, std::string_view rest);
  Refusal Pick(const std::vector<std::string>& words);
  Refusal Wait(const std::vector<std::string>& words);
  Refusal Mouse(const std::vector<std::string>& words);
  Refusal Key(const std::vector<std::string>& words);
  Refusal Scroll(const std::vector<std::string>& words);
  Refusal Show(const std::vector<std::string>& words);
  Refusal Shell(std::string_view command);

  // A window a script line names, or why the line cannot use one.
  struct Found {
    fw::Window* window = nullptr;  // null when there is none
    std::string why;               // when there is none: why not
  };
  // The window a name stands for, when it is up.
  Found FindWindow(std::string_view name) const;
  // A visible, enabled control of a window that is up.
  Found FindControl(std::string_view name, std::string_view id_text) const;

  std::ostream& out_;
  std::ostream& err_;
  std::string plugin_path_;
  fw::DrivenBackend* backend_;  // owned by app_
  fw::Application app_;
  std::vector<std::unique_ptr<fw::PluginLibrary>> plugins_;
  WindowNames names_;
  bool quiet_ = false;  // while taking the host down
};

}  // namespace nuv::drive
