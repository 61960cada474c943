#include "framework/driven_backend.h"

#include <algorithm>
#include <utility>

#include "framework/application.h"
#include "framework/headless/recording_painter.h"
#include "framework/window.h"

namespace nuv::fw {
namespace {

// Windows raises shorter periods to its minimum of 10 ms; so do we, which
// also keeps a zero period from firing forever.
constexpr uint64_t kMinimumPeriod = 10;

}  // namespace

void DrivenBackend::QueueAnswer(std::string path) {
  answers_.emplace_back(std::move(path));
}

void DrivenBackend::QueueCancel() {
  answers_.emplace_back(std::nullopt);
}

void DrivenBackend::Record(Event event) {
  events_.push_back(event);
  if (listener_)
    listener_(events_.back());
}

void DrivenBackend::AdvanceClock(uint64_t ms) {
  const uint64_t until = now_ + ms;
  for (;;) {
    auto next = timers_.end();
    for (auto it = timers_.begin(); it != timers_.end(); ++it) {
      if (it->due > until)
        continue;
      if (next == timers_.end() || it->due < next->due ||
          (it->due == next->due && it->order < next->order))
        next = it;
    }
    if (next == timers_.end())
      break;
    now_ = next->due;
    next->due += next->period;
    // The handler may set or kill timers: take what is needed first.
    const WindowRef<> target = next->window;
    const uint32_t id = next->id;
    Window* window = target.get();
    Application* app = Application::Current();
    if (window == nullptr || app == nullptr) {
      timers_.erase(next);
      continue;
    }
    app->RunCommand([&] { window->OnTimer(id); });
  }
  now_ = until;
}

bool DrivenBackend::HasTimer(const Window& window, uint32_t id) const {
  return std::any_of(timers_.begin(), timers_.end(), [&](const Timer& timer) {
    return timer.serial == window.serial() && timer.id == id;
  });
}

std::string DrivenBackend::ShownText(const Window& window) const {
  auto it = shown_text_.find(window.serial());
  return it != shown_text_.end() ? it->second : std::string();
}

void DrivenBackend::Paint(Window& window) {
  if (window.kind() != WindowKind::Popup || !window.IsWindowVisible())
    return;
  headless::RecordingPainter painter;
  if (Application* app = Application::Current())
    app->RunCommand([&] { window.OnPaint(painter); });
  shown_text_[window.serial()] = painter.DrawnText();
}

void DrivenBackend::Opened(Window& window) {
  Paint(window);
  Event event;
  event.type = Event::Type::WindowOpened;
  event.class_name = window.class_name();
  event.serial = window.serial();
  event.kind = window.kind();
  event.text = window.kind() == WindowKind::Popup ? ShownText(window) : window.GetWindowText();
  Record(std::move(event));
}

void DrivenBackend::Closed(const Window& window) {
  Event event;
  event.type = Event::Type::WindowClosed;
  event.class_name = window.class_name();
  event.serial = window.serial();
  event.kind = window.kind();
  Record(std::move(event));
}

void DrivenBackend::WindowCreated(Window& window) {
  if ((window.GetStyle() & WS_VISIBLE) != 0)
    Opened(window);
}

void DrivenBackend::WindowChanged(Window& window, Change what) {
  if (what == Change::Visibility) {
    if ((window.GetStyle() & WS_VISIBLE) != 0)
      Opened(window);
    else
      Closed(window);
  } else if (what == Change::Geometry) {
    Paint(window);
  }
}

void DrivenBackend::WindowDestroyed(Window& window) {
  if ((window.GetStyle() & WS_VISIBLE) != 0)
    Closed(window);
  std::erase_if(timers_, [&](const Timer& timer) { return timer.serial == window.serial(); });
  shown_text_.erase(window.serial());
}

void DrivenBackend::Invalidate(Window& window) {
  Paint(window);
}

int DrivenBackend::MessageBox(const Window*, std::string_view caption, std::string_view text,
                              uint32_t type) {
  Event event;
  event.type = Event::Type::BoxShown;
  event.caption = std::string(caption);
  event.text = std::string(text);
  if ((type & 0xF) != MB_YESNO) {
    Record(std::move(event));
    return static_cast<int>(IDOK);
  }
  if (yes_no_answers_.empty()) {
    ++unanswered_questions_;
    event.type = Event::Type::QuestionUnanswered;
    Record(std::move(event));
    return static_cast<int>(IDNO);
  }
  const bool yes = yes_no_answers_.front();
  yes_no_answers_.pop_front();
  event.answer = yes ? "yes" : "no";
  Record(std::move(event));
  return static_cast<int>(yes ? IDYES : IDNO);
}

std::optional<std::string> DrivenBackend::FileDialog(const FileDialogRequest&) {
  Event event;
  if (answers_.empty()) {
    ++unanswered_;
    event.type = Event::Type::FileDialogUnanswered;
    Record(std::move(event));
    return std::nullopt;
  }
  std::optional<std::string> answer = std::move(answers_.front());
  answers_.pop_front();
  event.type = Event::Type::FileDialogAnswered;
  event.text = answer.value_or("");
  Record(std::move(event));
  return answer;
}

void DrivenBackend::SetTimer(Window& window, uint32_t id, uint32_t elapse_ms) {
  const uint64_t period = std::max<uint64_t>(elapse_ms, kMinimumPeriod);
  auto it = std::find_if(timers_.begin(), timers_.end(), [&](const Timer& timer) {
    return timer.serial == window.serial() && timer.id == id;
  });
  if (it == timers_.end()) {
    timers_.push_back(Timer{WindowRef<>(&window), window.serial(), id, 0, 0, 0});
    it = timers_.end() - 1;
  }
  it->period = period;
  it->due = now_ + period;
  it->order = ++timer_order_;
}

bool DrivenBackend::KillTimer(Window& window, uint32_t id) {
  return std::erase_if(timers_, [&](const Timer& timer) {
           return timer.serial == window.serial() && timer.id == id;
         }) > 0;
}

}  // namespace nuv::fw
