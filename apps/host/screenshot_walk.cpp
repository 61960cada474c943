#include "screenshot_walk.h"

#include <array>
#include <chrono>
#include <ostream>
#include <utility>
#include <vector>

#include "framework/application.h"
#include "framework/constants.h"
#include "framework/scroll_area.h"
#include "framework/user_input.h"
#include "framework/window.h"
#include "platform/output_file.h"
#include "platform/paths.h"
#include "resource.h"

namespace nuv::host {

// What the walk does after an image's Pre-Parse.
enum class After {
  Parse,        // pictures the page and parses the image
  ScrollToEnd,  // scrolls the block list to its last rows and pictures the page
};

// A sample image a user would open, by kind; the first candidate that
// exists is walked.
struct WalkSample {
  std::string_view kind;
  std::array<std::string_view, 2> candidates;
  After after = After::Parse;
  // With "Experts Only" checked, the script chosen in the Open Script File
  // row; the windows of this walk are pictured under names ending in
  // "-experts", and the block button followed is that of a block whose
  // fields carry descriptions, so that one of them shows its balloon tip.
  std::string_view experts_script = {};
};

namespace {

// The windows of the tool by their runtime class, named as their pictures.
constexpr std::array<std::pair<std::string_view, std::string_view>, 5> kWindowNames = {{
    {"NuvDialog", "main"},
    {"NuvSubDialog", "customer-config"},
    {"NuvNewButtonDialog", "field-edit"},
    {"nuvnewfmtdlg", "new-format"},
    {"BalloonTip", "balloon-tip"},
}};

std::string PictureName(const fw::Window& window) {
  for (const auto& [klass, name] : kWindowNames) {
    if (klass == window.class_name())
      return std::string(name);
  }
  return window.class_name();
}

constexpr std::array<WalkSample, 5> kSamples = {{
    {"new-format", {"exchange/new-preset.bin", "toolcfg/new-toolcfg.bin"}},
    {"legacy", {"legacy/legacy.bin", "images/legacy.bin"}},
    {"64-blocks", {"images/legacy-64-blocks.bin", ""}, After::ScrollToEnd},  // one candidate
    {"experts", {"legacy/legacy.bin", ""}, After::Parse, "legacy/LEGACY-V1.0"},
    {"refused", {"images/empty.bin", "images/bad-length.bin"}},
}};

// The block buttons a Customer Config dialog makes, the first of them, and
// that of the sample script's block with described fields.
constexpr uint32_t kFirstBlockButton = 20000;
constexpr uint32_t kDescribedBlockButton = 20001;

// How long the mouse rests on a control for a tip: its delay is half a
// second, and a busy machine runs timers late.
constexpr std::array<int, 2> kTipWaits = {800, 3000};

fw::Point Centre(const fw::Window& window) {
  const fw::Rect r = window.GetWindowRect();
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

}  // namespace

ScreenshotWalk::ScreenshotWalk(WalkHost& host, fw::Application& app, std::filesystem::path out,
                               std::filesystem::path samples, std::ostream& log)
    : host_(host), app_(app), out_(std::move(out)), samples_(std::move(samples)), log_(log) {
  host_.SetModalHandler([this](WalkHost::Modal modal) { OnModal(modal); });
}

ScreenshotWalk::~ScreenshotWalk() {
  host_.SetModalHandler(nullptr);
}

bool ScreenshotWalk::SettleUntil(const std::function<bool()>& done, int longest_ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(longest_ms);
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline)
      return false;
    Settle(20);
  }
  return true;
}

void ScreenshotWalk::Problem(const std::string& text) {
  ++problems_;
  log_ << "problem: " << text << "\n";
}

int ScreenshotWalk::Run() {
  std::error_code ec;
  std::filesystem::create_directories(out_, ec);
  if (const std::optional<std::string> problem = host_.FontProblem())
    Problem(*problem);

  fw::Window* form = host_.ShowPage();
  if (form == nullptr || !form->IsWindowVisible()) {
    Problem("the plug-in shows no page");
    return problems_;
  }
  seen_.insert(form->serial());
  Save(host_.ShootPage(), "main");
  ShowTip(*form);
  for (const WalkSample& sample : kSamples) {
    for (std::string_view candidate : sample.candidates) {
      const std::filesystem::path image = samples_ / candidate;
      if (std::filesystem::is_regular_file(image, ec)) {
        WalkImage(*form, sample, std::filesystem::absolute(image, ec).make_preferred());
        break;
      }
    }
  }
  Click(*form, IDC_FORM_CLEAR);
  Settle(100);
  log_ << problems_ << " problem(s)\n";
  return problems_;
}

void ScreenshotWalk::ShowTip(fw::Window& form) {
  const auto tip_shown = [this] {
    for (fw::Window* window : app_.TopLevelWindows()) {
      if (window->kind() == fw::WindowKind::Popup && window->IsWindowVisible())
        return true;
    }
    return false;
  };
  // The mouse rests on each control in turn until one shows a tip; when
  // none did, a busy machine may have run the tip's timer late, and the
  // mouse rests longer on a second round.
  const std::vector<fw::Window*> controls = form.children();
  bool found = false;
  for (const int rest : kTipWaits) {
    for (fw::Window* control : controls) {
      if (found || !control->IsWindowVisible())
        continue;
      fw::UserMoveMouse(Centre(*control));
      found = SettleUntil(tip_shown, rest);
    }
  }
  if (found)
    ShootNewWindows();
  // Away from every control, and a key, so that no tip stays up.
  const fw::Rect area = form.GetWindowRect();
  fw::UserMoveMouse({area.right - 2, area.bottom - 2});
  fw::UserPressKey(form, fw::VK_SHIFT);
  Settle(100);
}

void ScreenshotWalk::WalkImage(fw::Window& form, const WalkSample& sample,
                               const std::filesystem::path& image) {
  log_ << "walking " << sample.kind << " image " << platform::PathText(image) << "\n";
  const std::string suffix = "-" + std::string(sample.kind);
  const bool experts = !sample.experts_script.empty();
  Click(form, IDC_FORM_CLEAR);
  answers_.push_back(image);
  box_name_ = "message-box";
  // Cancel leaves the check box as it is: it is checked for this image
  // only, and unchecked when its walk ends.
  if (experts && !Click(form, IDC_FORM_EXPERTS_ONLY)) {
    log_ << "  the form has no Experts Only check box\n";
    answers_.clear();
    return;
  }
  WalkPreParsed(form, sample, suffix);
  if (experts)
    Click(form, IDC_FORM_EXPERTS_ONLY);
}

void ScreenshotWalk::WalkPreParsed(fw::Window& form, const WalkSample& sample,
                                   const std::string& suffix) {
  const bool experts = !sample.experts_script.empty();
  if (!Click(form, IDC_FORM_SOURCE_BROWSE) || !Click(form, IDC_FORM_PREPARSE)) {
    log_ << "  the form has no Browse or Pre-Parse button\n";
    answers_.clear();
    return;
  }
  Settle(200);
  const fw::Window* parse = form.GetDlgItem(IDC_FORM_PARSE);
  if (parse == nullptr || !parse->IsWindowVisible())
    return;  // refused: its message box has been pictured
  if (experts) {
    std::error_code ec;
    answers_.push_back(
        std::filesystem::absolute(samples_ / sample.experts_script, ec).make_preferred());
    if (!Click(form, IDC_FORM_SCRIPT_BROWSE))
      Problem("main" + suffix + ": Experts Only shows no Open Script File row");
    Settle(100);
  }
  if (sample.after == After::ScrollToEnd) {
    if (!ScrollToEnd(form))
      Problem("main" + suffix + ": nothing on the page scrolls");
    Settle(100);
    Save(host_.ShootPage(), "main" + suffix);
    return;
  }
  Save(host_.ShootPage(), "main" + suffix);
  box_name_ = "message-box" + suffix;
  picture_suffix_ = experts ? suffix : std::string();
  Click(form, IDC_FORM_PARSE);
  Settle(300);
  ShootNewWindows();
  picture_suffix_.clear();
}

bool ScreenshotWalk::ScrollToEnd(fw::Window& window) {
  bool scrolled = false;
  for (fw::Window* child : window.children()) {
    auto* area = dynamic_cast<fw::ScrollArea*>(child);
    if (area == nullptr || !area->IsWindowVisible() || !area->CanScroll())
      continue;
    // As many arrow presses as there are pixels to go: enough at any step.
    fw::UserScroll(*area, area->ScrollLimit());
    scrolled = area->scroll_pos() == area->ScrollLimit();
  }
  return scrolled;
}

bool ScreenshotWalk::Click(fw::Window& window, uint32_t id) {
  fw::Window* control = window.GetDlgItem(id);
  if (control == nullptr || !control->IsWindowVisible() || !control->IsWindowEnabled())
    return false;
  fw::UserClick(*control);
  Settle(50);
  return true;
}

void ScreenshotWalk::ShootNewWindows() {
  std::vector<fw::Window*> fresh;
  for (fw::Window* window : app_.TopLevelWindows()) {
    if (window == app_.page() || !window->IsWindowVisible() || seen_.count(window->serial()) > 0)
      continue;
    seen_.insert(window->serial());
    fresh.push_back(window);
  }
  for (fw::Window* window : fresh) {
    const std::string name = PictureName(*window) + picture_suffix_;
    if (shot_.count(name) == 0)
      Save(host_.ShootWindow(*window), name);
  }
  for (fw::Window* window : fresh) {
    if (window->IsWindow() && window->kind() == fw::WindowKind::Dialog)
      Explore(*window);
  }
}

void ScreenshotWalk::Explore(fw::Window& dialog) {
  const bool experts = !picture_suffix_.empty();
  if (Click(dialog, experts ? kDescribedBlockButton : kFirstBlockButton)) {
    Settle(200);
    ShootNewWindows();
  } else if (experts && dialog.class_name() == "NuvNewButtonDialog") {
    ShowTip(dialog);
  }
}

void ScreenshotWalk::Save(WalkHost::Shot shot, const std::string& name) {
  shot_.insert(name);
  for (const std::string& problem : shot.problems)
    Problem(name + ": " + problem);
  const fw::Picture& picture = shot.picture;
  if (picture.empty()) {
    if (shot.problems.empty())
      Problem(name + ": the window could not be captured");
    return;
  }
  if (picture.IsOneColour()) {
    Problem(name + ": the picture is all one colour: nothing of the window was captured");
    return;
  }
  const std::filesystem::path file = out_ / (name + ".png");
  // Encoded whole before anything is written: no empty file where a
  // picture failed.
  const std::vector<uint8_t> png = fw::EncodePng(picture);
  if (png.empty()) {
    Problem(name + ": cannot encode the picture as PNG");
    return;
  }
  if (const platform::WriteResult written = platform::WriteFileReplacing(file, png);
      !written.ok()) {
    Problem(name + ": cannot write " + written.error());
    return;
  }
  log_ << "  " << platform::PathText(file) << " (" << picture.width << " x " << picture.height
       << ")\n";
}

void ScreenshotWalk::OnModal(WalkHost::Modal modal) {
  Settle(300);  // a file dialog reads its folder in the background
  if (modal == WalkHost::Modal::kFileDialog) {
    if (shot_.count("file-dialog") == 0)
      Save(host_.ShootModal(), "file-dialog");
    if (answers_.empty()) {
      Problem("a file dialog opened that the walk has no answer for");
      host_.CloseModal();
      return;
    }
    const std::filesystem::path answer = answers_.front();
    answers_.pop_front();
    if (!host_.AnswerFileDialog(answer)) {
      Problem("the file dialog did not take " + platform::PathText(answer));
      host_.CloseModal();
    }
    return;
  }
  std::string name = box_name_;
  for (int n = 2; shot_.count(name) > 0; ++n)
    name = box_name_ + "-" + std::to_string(n);
  Save(host_.ShootModal(), name);
  host_.CloseModal();
}

}  // namespace nuv::host
