#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "framework/backend.h"
#include "framework/window_kind.h"
#include "framework/window_ref.h"

namespace nuv::fw {

// Something the user would have seen happen.
struct DrivenEvent {
  enum class Type {
    BoxShown,            // caption, text; answer for a box with Yes and No
    QuestionUnanswered,  // a box with Yes and No found no answer queued: caption, text
    WindowOpened,        // a window became visible: class_name, text = its title
    WindowClosed,        // a visible window was hidden or destroyed: class_name
    FileDialogAnswered,  // text = the answer given ("" when cancelled)
    FileDialogUnanswered,
  };
  Type type = Type::BoxShown;
  std::string caption;
  std::string text;
  std::string answer;  // "yes" or "no" for a box with Yes and No, else empty
  std::string class_name;
  uint64_t serial = 0;
  WindowKind kind = WindowKind::Frame;
};

// A backend that a script drives (nuv-drive, the tests): message boxes are
// recorded and answered OK (boxes with Yes and No from a queue of answers),
// file dialogs are answered from a queue, timers run on a virtual clock that
// the script advances, and what the user would have seen is reported to a
// listener. The windowing system behind it (none, or a real one that mirrors
// the windows) is the derived class's.
class DrivenBackend : public Backend {
 public:
  using Event = DrivenEvent;

  // --- file dialogs ---
  // The next file dialog of any kind gets `path` as if the user typed it.
  void QueueAnswer(std::string path);
  // The next file dialog is cancelled.
  void QueueCancel();
  size_t queued_answers() const { return answers_.size(); }
  // File dialogs that found no answer in the queue (and were cancelled).
  int unanswered_dialogs() const { return unanswered_; }

  // --- boxes with Yes and No ---
  // The next box with Yes and No gets this answer. One that finds none
  // queued is answered No.
  void QueueYesNo(bool yes) { yes_no_answers_.push_back(yes); }
  int unanswered_questions() const { return unanswered_questions_; }

  // --- the virtual clock ---
  uint64_t now() const { return now_; }
  // Lets `ms` milliseconds pass: due timers fire in order of their due time,
  // timers due at the same time in the order they were set.
  void AdvanceClock(uint64_t ms);
  bool HasTimer(const Window& window, uint32_t id) const;

  // Lets the windowing system handle what it has pending (painting, the
  // messages a change caused), as between two actions of a user.
  virtual void Settle() {}

  // Where what the windowing system shows of a window (its text, place,
  // state) differs from the framework's state of it, in words; empty when
  // they agree or when there is no windowing system behind the backend.
  virtual std::string ShownDifference(const Window&) const { return {}; }

  // --- what happened ---
  void SetListener(std::function<void(const Event&)> listener) { listener_ = std::move(listener); }
  const std::vector<Event>& events() const { return events_; }
  void ClearEvents() { events_.clear(); }
  // The text a custom-painted window drew when it was last painted.
  std::string ShownText(const Window& window) const;

  // --- Backend ---
  void WindowCreated(Window& window) override;
  void WindowChanged(Window& window, Change what) override;
  void WindowDestroyed(Window& window) override;
  void Invalidate(Window& window) override;
  int MessageBox(const Window* owner, std::string_view caption, std::string_view text,
                 uint32_t type) override;
  std::optional<std::string> FileDialog(const FileDialogRequest& request) override;
  void SetTimer(Window& window, uint32_t id, uint32_t elapse_ms) override;
  bool KillTimer(Window& window, uint32_t id) override;

 private:
  struct Timer {
    WindowRef<> window;
    uint64_t serial = 0;
    uint32_t id = 0;
    uint64_t period = 0;
    uint64_t due = 0;
    uint64_t order = 0;
  };

  void Record(Event event);
  // Paints a shown pop-up into a recording, to know the text it shows.
  void Paint(Window& window);
  void Opened(Window& window);
  void Closed(const Window& window);

  std::deque<std::optional<std::string>> answers_;
  int unanswered_ = 0;
  std::deque<bool> yes_no_answers_;
  int unanswered_questions_ = 0;
  uint64_t now_ = 0;
  uint64_t timer_order_ = 0;
  std::vector<Timer> timers_;
  std::vector<Event> events_;
  std::function<void(const Event&)> listener_;
  std::map<uint64_t, std::string> shown_text_;  // by window serial
};

}  // namespace nuv::fw
