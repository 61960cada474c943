#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <set>
#include <string>
#include <string_view>

#include "walk_host.h"

namespace nuv::fw {
class Application;
class Window;
}  // namespace nuv::fw

namespace nuv::host {

struct WalkSample;

// Walks the sample images through the tool's windows as a user would, with
// the same user-input entry points nuv-drive uses, and saves a picture of
// every window that appears: the main form at start, with a balloon tip,
// after Pre-Parse of a new-format and of a legacy image, and of a 64-block
// image with its block list scrolled to the last rows, the windows their
// Parse opens (the New Format dialog, the Customer Config dialog and the
// field edit dialog behind its first block button), a file dialog and the
// message boxes shown on the way; then the legacy image once more with
// "Experts Only" checked: the page with its script row, the Customer
// Config dialog with its byte patch, and a field edit dialog whose fields
// carry descriptions, with one of them shown in its balloon tip. Each
// picture is checked: the window must be shown, the picture must not be all
// one colour (nothing of the window captured), and every text in it must
// have rendered where the windowing system can tell (on Qt). The windowing
// system behind it is the WalkHost's.
class ScreenshotWalk {
 public:
  ScreenshotWalk(WalkHost& host, fw::Application& app, std::filesystem::path out,
                 std::filesystem::path samples, std::ostream& log);
  ~ScreenshotWalk();
  ScreenshotWalk(const ScreenshotWalk&) = delete;
  ScreenshotWalk& operator=(const ScreenshotWalk&) = delete;

  // Returns the number of problems found (0: every window was shown and
  // drawn its texts).
  int Run();

 private:
  void CheckFont();
  void ShowTip(fw::Window& form);
  void WalkImage(fw::Window& form, const WalkSample& sample, const std::filesystem::path& image);
  // The rest of the walk, from the image's Pre-Parse on.
  void WalkPreParsed(fw::Window& form, const WalkSample& sample, const std::string& suffix);
  // Scrolls every scrolling area of `window` to its end; false when none
  // could scroll.
  bool ScrollToEnd(fw::Window& window);
  // Clicks a visible, enabled control of `window`; false when there is none.
  bool Click(fw::Window& window, uint32_t id);
  // Saves every visible top-level window of the tool not pictured yet.
  void ShootNewWindows();
  // Opens what a block button of the dialog opens.
  void Explore(fw::Window& dialog);
  // Checks the picture and saves it as NAME.png.
  void Save(WalkHost::Shot shot, const std::string& name);
  void OnModal(WalkHost::Modal modal);
  void Problem(const std::string& text);
  void Settle(int ms) { host_.Settle(ms); }
  // Lets the windowing system run until `done` holds, at most `longest_ms`;
  // whether it held.
  bool SettleUntil(const std::function<bool()>& done, int longest_ms);

  WalkHost& host_;
  fw::Application& app_;
  std::filesystem::path out_;
  std::filesystem::path samples_;
  std::ostream& log_;
  std::deque<std::filesystem::path> answers_;  // for the next file dialogs
  std::set<std::string> shot_;                 // names pictured so far
  std::set<uint64_t> seen_;                    // windows pictured or passed over
  std::string box_name_;                       // for the next message box
  std::string picture_suffix_;                 // ends the names of the windows that open
  int problems_ = 0;
};

}  // namespace nuv::host
