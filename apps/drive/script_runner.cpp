#include "script_runner.h"

#include <array>
#include <chrono>
#include <istream>
#include <limits>
#include <ostream>

#include "common/numbers.h"
#include "framework/button.h"
#include "framework/combo_box.h"
#include "framework/constants.h"
#include "framework/scroll_area.h"
#include "framework/user_input.h"
#include "framework/window.h"
#include "platform/process.h"
#include "platform/spawn.h"
#include "transcript.h"

namespace nuv::drive {
namespace {

constexpr uint64_t kLongestWait = 24ull * 60 * 60 * 1000;  // a day

std::string_view Trim(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && blank(text.back()))
    text.remove_suffix(1);
  return text;
}

std::vector<std::string> Words(std::string_view text) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
      ++i;
    const size_t start = i;
    while (i < text.size() && text[i] != ' ' && text[i] != '\t')
      ++i;
    if (i > start)
      words.emplace_back(text.substr(start, i - start));
  }
  return words;
}

// The text after the first `count` words.
std::string_view RestAfterWords(std::string_view line, size_t count) {
  size_t i = 0;
  for (size_t word = 0; word < count; ++word) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
      ++i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t')
      ++i;
  }
  // One blank separates the words from the rest; further blanks belong to it.
  if (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
    ++i;
  return line.substr(std::min(i, line.size()));
}

// Numbers in a script are read strictly, as on a command line.
using common::ParseStrictNumber;

struct KeyName {
  std::string_view name;
  uint32_t code;
};

constexpr KeyName kKeys[] = {
    {"shift", fw::VK_SHIFT}, {"escape", fw::VK_ESCAPE}, {"return", fw::VK_RETURN},
    {"tab", fw::VK_TAB},     {"space", fw::VK_SPACE},
};

std::optional<uint32_t> VirtualKey(std::string_view name) {
  for (const KeyName& key : kKeys) {
    if (key.name == name)
      return key.code;
  }
  if (name.size() == 1) {
    char c = name[0];
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
      return static_cast<uint32_t>(c);
  }
  return std::nullopt;
}

}  // namespace

ScriptRunner::ScriptRunner(std::ostream& out, std::ostream& err, std::string plugin_path,
                           std::unique_ptr<fw::DrivenBackend> backend)
    : out_(out),
      err_(err),
      plugin_path_(std::move(plugin_path)),
      backend_(backend.get()),
      app_("nuvhost", std::move(backend)) {
  backend_->SetListener([this](const fw::DrivenEvent& event) { OnEvent(event); });
  app_.CreatePage();
}

ScriptRunner::~ScriptRunner() {
  quiet_ = true;
  app_.DestroyPage();
  while (!app_.TopLevelWindows().empty())
    app_.TopLevelWindows().front()->DestroyWindow();
  app_.Flush();
  for (auto it = plugins_.rbegin(); it != plugins_.rend(); ++it)
    (*it)->deinit();
  app_.Flush();
  plugins_.clear();
  backend_->SetListener(nullptr);
}

void ScriptRunner::OnEvent(const fw::DrivenEvent& event) {
  using Type = fw::DrivenEvent::Type;
  if (event.type == Type::WindowOpened)
    names_.NoteOpened(event.serial);
  if (quiet_)
    return;
  switch (event.type) {
    case Type::BoxShown:
      out_ << "box " << event.caption << ": " << TranscriptText(event.text);
      if (!event.answer.empty())
        out_ << " [" << event.answer << "]";
      out_ << "\n";
      break;
    case Type::QuestionUnanswered:
      Refuse("box " + event.caption + ": " + TranscriptText(event.text),
             "no answer yes|no was given, so it was answered no");
      break;
    case Type::WindowOpened:
      if (auto name = WindowNames::NameOfClass(event.class_name))
        out_ << "open " << *name << " \"" << TranscriptText(event.text) << "\"\n";
      break;
    case Type::WindowClosed:
      if (auto name = WindowNames::NameOfClass(event.class_name))
        out_ << "close " << *name << "\n";
      break;
    case Type::FileDialogAnswered:
    case Type::FileDialogUnanswered:
      break;
  }
}

int ScriptRunner::Run(std::istream& script) {
  bool all_done = true;
  std::string line;
  int number = 0;
  while (std::getline(script, line)) {
    ++number;
    if (RunLine(line, number) != LineResult::kDone)
      all_done = false;
  }
  out_.flush();
  return all_done ? 0 : 1;
}

void ScriptRunner::Refuse(std::string_view line, std::string_view reason) {
  out_ << "refused " << line << ": " << reason << "\n";
}

ScriptRunner::LineResult ScriptRunner::RunLine(std::string_view raw, int line_number) {
  const std::string_view line = Trim(raw);
  if (line.empty() || line.front() == '#')
    return LineResult::kDone;
  const std::vector<std::string> words = Words(line);
  const std::string& action = words.front();
  const int unanswered_before = backend_->unanswered_dialogs();
  const int unanswered_questions_before = backend_->unanswered_questions();

  Refusal why;
  if (action == "load")
    why = words.size() == 1 ? Load() : "expected: load";
  else if (action == "answer")
    why = Answer(RestAfterWords(line, 1));
  else if (action == "click")
    why = Click(words);
  else if (action == "check")
    why = Check(words);
  else if (action == "type")
    why = Type(words, RestAfterWords(line, 3));
  else if (action == "pick")
    why = Pick(words);
  else if (action == "wait")
    why = Wait(words);
  else if (action == "mouse")
    why = Mouse(words);
  else if (action == "key")
    why = Key(words);
  else if (action == "scroll")
    why = Scroll(words);
  else if (action == "show")
    why = Show(words);
  else if (action == "sh")
    why = Shell(RestAfterWords(line, 1));
  else
    why = "unknown action " + action;
  app_.Flush();
  backend_->Settle();

  LineResult done = LineResult::kDone;
  if (why) {
    Refuse(line, *why);
    done = LineResult::kNotDone;
  }
  if (backend_->unanswered_dialogs() > unanswered_before) {
    err_ << "nuv-drive: line " << line_number
         << ": a file dialog opened with no answer queued; it was cancelled\n";
    done = LineResult::kNotDone;
  }
  if (backend_->unanswered_questions() > unanswered_questions_before)
    done = LineResult::kNotDone;
  return done;
}

ScriptRunner::Refusal ScriptRunner::Load() {
  platform::Result<std::unique_ptr<fw::PluginLibrary>> plugin =
      fw::PluginLibrary::Open(plugin_path_);
  if (!plugin.ok())
    return plugin.error();
  fw::PluginLibrary& loaded = *plugin.value();
  plugins_.push_back(std::move(plugin.value()));
  const char* title = loaded.get_title();
  out_ << "title " << (title != nullptr ? title : "") << "\n";
  out_ << "gui " << loaded.is_gui() << "\n";
  int result = 0;
  app_.RunCommand([&] { result = loaded.init(app_.page(), 0); });
  app_.LayoutPage();
  out_ << "init " << result << "\n";
  return {};
}

ScriptRunner::Refusal ScriptRunner::Answer(std::string_view rest) {
  const std::string_view answer = Trim(rest);
  if (answer.empty())
    return "expected: answer PATH|cancel|yes|no";
  // "yes" and "no" answer the next box with Yes and No; a file of that name
  // is answered as ./yes.
  if (answer == "yes" || answer == "no")
    backend_->QueueYesNo(answer == "yes");
  else if (answer == "cancel")
    backend_->QueueCancel();
  else
    backend_->QueueAnswer(std::string(answer));
  return {};
}

ScriptRunner::Found ScriptRunner::FindWindow(std::string_view name) const {
  if (!WindowNames::IsName(name))
    return {nullptr, "unknown window " + std::string(name)};
  fw::Window* window = names_.Find(app_, name);
  if (window == nullptr)
    return {nullptr, "no window " + std::string(name)};
  if (!window->IsWindowVisible())
    return {nullptr, "window " + std::string(name) + " is not shown"};
  return {window, {}};
}

ScriptRunner::Found ScriptRunner::FindControl(std::string_view name,
                                              std::string_view id_text) const {
  const Found found = FindWindow(name);
  if (found.window == nullptr)
    return found;
  fw::Window* window = found.window;
  const std::optional<uint32_t> id = ParseStrictNumber<uint32_t>(id_text);
  if (!id)
    return {nullptr, "the control id " + std::string(id_text) + " is not a number"};
  fw::Window* control = window->GetDlgItem(*id);
  if (control == nullptr || !fw::IsControl(control->kind()))
    return {nullptr, "no control " + std::string(id_text) + " in " + std::string(name)};
  if (!control->IsWindowVisible())
    return {nullptr, "control " + std::string(id_text) + " is hidden"};
  if (!control->IsWindowEnabled())
    return {nullptr, "control " + std::string(id_text) + " is disabled"};
  return {control, {}};
}

ScriptRunner::Refusal ScriptRunner::Click(const std::vector<std::string>& words) {
  if (words.size() != 3)
    return "expected: click W ID";
  const Found found = FindControl(words[1], words[2]);
  if (found.window == nullptr)
    return found.why;
  fw::Window* control = found.window;
  if (control->kind() != fw::WindowKind::Button && control->kind() != fw::WindowKind::CheckBox)
    return "control " + words[2] + " is not a button";
  fw::UserClick(*control);
  return {};
}

ScriptRunner::Refusal ScriptRunner::Check(const std::vector<std::string>& words) {
  if (words.size() != 4 || (words[3] != "0" && words[3] != "1"))
    return "expected: check W ID 0|1";
  const Found found = FindControl(words[1], words[2]);
  if (found.window == nullptr)
    return found.why;
  fw::Window* control = found.window;
  auto* box = dynamic_cast<fw::Button*>(control);
  if (box == nullptr || control->kind() != fw::WindowKind::CheckBox)
    return "control " + words[2] + " is not a check box";
  const int wanted = words[3] == "1" ? 1 : 0;
  if (box->GetCheck() != wanted)
    fw::UserClick(*box);
  return {};
}

ScriptRunner::Refusal ScriptRunner::Type(const std::vector<std::string>& words,
                                         std::string_view rest) {
  if (words.size() < 3)
    return "expected: type W ID TEXT";
  const Found found = FindControl(words[1], words[2]);
  if (found.window == nullptr)
    return found.why;
  fw::Window* control = found.window;
  if (control->kind() != fw::WindowKind::Edit)
    return "control " + words[2] + " is not an edit";
  if ((control->GetStyle() & fw::ES_READONLY) != 0)
    return "control " + words[2] + " is read-only";
  fw::UserType(*control, rest);
  return {};
}

ScriptRunner::Refusal ScriptRunner::Pick(const std::vector<std::string>& words) {
  if (words.size() != 4)
    return "expected: pick W ID N";
  const Found found = FindControl(words[1], words[2]);
  if (found.window == nullptr)
    return found.why;
  fw::Window* control = found.window;
  auto* combo = dynamic_cast<fw::ComboBox*>(control);
  if (combo == nullptr)
    return "control " + words[2] + " is not a combo box";
  const std::optional<int> index = ParseStrictNumber<int>(words[3]);
  if (!index || *index < 0 || *index >= combo->GetCount())
    return "combo box " + words[2] + " has no item " + words[3];
  fw::UserPick(*combo, *index);
  return {};
}

ScriptRunner::Refusal ScriptRunner::Wait(const std::vector<std::string>& words) {
  const std::optional<uint64_t> ms =
      words.size() == 2 ? ParseStrictNumber<uint64_t>(words[1]) : std::nullopt;
  if (!ms)
    return "expected: wait MS";
  if (*ms > kLongestWait)
    return "a wait is at most " + std::to_string(kLongestWait) + " ms";
  backend_->AdvanceClock(*ms);
  return {};
}

ScriptRunner::Refusal ScriptRunner::Mouse(const std::vector<std::string>& words) {
  const std::optional<int> x = words.size() == 4 ? ParseStrictNumber<int>(words[2]) : std::nullopt;
  const std::optional<int> y = words.size() == 4 ? ParseStrictNumber<int>(words[3]) : std::nullopt;
  if (!x || !y)
    return "expected: mouse W X Y";
  const Found found = FindWindow(words[1]);
  if (found.window == nullptr)
    return found.why;
  fw::Window* window = found.window;
  const fw::Point screen = window->ClientToScreen(fw::Point{*x, *y});
  const fw::Size size = backend_->ScreenSize();
  if (!fw::Rect{0, 0, size.cx, size.cy}.Contains(screen))
    return "the point " + words[2] + "," + words[3] + " of " + words[1] + " is off the screen";
  fw::UserMoveMouse(screen);
  return {};
}

ScriptRunner::Refusal ScriptRunner::Key(const std::vector<std::string>& words) {
  const std::optional<uint32_t> code =
      words.size() == 3 ? VirtualKey(words[2]) : std::optional<uint32_t>(fw::VK_SHIFT);
  if (words.size() < 2 || words.size() > 3 || !code)
    return "expected: key W [shift|escape|return|tab|space|LETTER|DIGIT]";
  const Found found = FindWindow(words[1]);
  if (found.window == nullptr)
    return found.why;
  fw::Window* window = found.window;
  fw::Window* target = window;
  if (fw::Window* under = app_.WindowFromPoint(app_.GetCursorPos());
      under != nullptr && (under == window || under->IsDescendantOf(*window)))
    target = under;
  fw::UserPressKey(*target, *code);
  return {};
}

ScriptRunner::Refusal ScriptRunner::Scroll(const std::vector<std::string>& words) {
  const std::optional<int> lines =
      words.size() == 4 ? ParseStrictNumber<int>(words[3]) : std::nullopt;
  if (!lines)
    return "expected: scroll W ID N";
  const Found found = FindWindow(words[1]);
  if (found.window == nullptr)
    return found.why;
  fw::Window* window = found.window;
  const std::optional<uint32_t> id = ParseStrictNumber<uint32_t>(words[2]);
  auto* area = id ? window->GetDlgItemAs<fw::ScrollArea>(*id) : nullptr;
  if (area == nullptr)
    return "no scrolling area " + words[2] + " in " + words[1];
  if (!area->IsWindowVisible())
    return "area " + words[2] + " is hidden";
  if (!area->CanScroll())
    return "area " + words[2] + " has no scroll bar: its contents fit";
  fw::UserScroll(*area, *lines);
  return {};
}

ScriptRunner::Refusal ScriptRunner::Show(const std::vector<std::string>& words) {
  if (words.size() != 2)
    return "expected: show W";
  const Found found = FindWindow(words[1]);
  if (found.window == nullptr)
    return found.why;
  fw::Window* window = found.window;
  const std::string title = window->kind() == fw::WindowKind::Popup ? backend_->ShownText(*window)
                                                                    : window->GetWindowText();
  out_ << "window " << words[1] << " \"" << TranscriptText(title) << "\" "
       << RectText(window->GetWindowRect()) << "\n";
  // A real windowing system must show what the framework holds; where it
  // does not, the transcript says so.
  const auto differences = [&](const fw::Window& shown, std::string_view what) {
    const std::string difference = backend_->ShownDifference(shown);
    if (!difference.empty())
      out_ << "shown differently: " << what << ": " << TranscriptText(difference) << "\n";
  };
  differences(*window, words[1]);
  for (const fw::Window* child : window->children()) {
    if ((child->GetStyle() & fw::WS_VISIBLE) == 0)
      continue;
    if (fw::IsControl(child->kind())) {
      out_ << ControlLine(*child) << "\n";
      differences(*child, "control " + std::to_string(child->GetDlgCtrlID()));
    } else if (const auto* area = dynamic_cast<const fw::ScrollArea*>(child)) {
      out_ << AreaLines(*area);
      for (const fw::Window* row : area->children())
        if (fw::IsControl(row->kind()) && row->IsWindowVisible())
          differences(*row, "control " + std::to_string(row->GetDlgCtrlID()));
    }
  }
  return {};
}

ScriptRunner::Refusal ScriptRunner::Shell(std::string_view command) {
  const std::string text(Trim(command));
  if (text.empty())
    return "expected: sh COMMAND";
  out_.flush();
  err_.flush();
#ifdef _WIN32
  // Windows has no /bin/sh: the sh found on PATH runs the command, and what
  // it prints goes into the transcript in its place.
  const std::string argv[] = {"sh", "-c", text};
  platform::ChildPipes pipes;
  platform::Result<std::unique_ptr<platform::ChildProcess>> spawned =
      platform::ChildProcess::Spawn(argv, pipes);
  if (!spawned.ok())
    return spawned.error();
  const std::unique_ptr<platform::ChildProcess>& child = spawned.value();
  pipes.input.reset();
  std::array<char, 4096> buffer{};
  for (;;) {
    const platform::ReadResult got =
        platform::ReadAvailable(pipes.output, buffer, std::chrono::milliseconds(100));
    if (got.status == platform::ReadStatus::kData)
      out_.write(buffer.data(), static_cast<std::streamsize>(got.count));
    else if (got.status != platform::ReadStatus::kTimeout)
      break;
  }
  out_.flush();
  child->WaitFor(std::chrono::hours(1));
  const std::optional<int> status = child->ExitStatus();
  if (status && *status == 0)
    return std::nullopt;
  return "exit status " + (status ? std::to_string(*status) : std::string("unknown"));
#else
  const std::string argv[] = {"/bin/sh", "-c", text};
  const platform::Result<void> ran = platform::RunToEnd(argv);
  if (ran.ok())
    return std::nullopt;
  return ran.error();
#endif
}

}  // namespace nuv::drive
