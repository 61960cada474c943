#include "framework/headless/headless_backend.h"

#include <algorithm>
#include <utility>

#include "framework/application.h"
#include "framework/headless/recording_painter.h"
#include "framework/window.h"

namespace nuv::fw::headless {
namespace {

// Windows raises shorter periods to its minimum of 10 ms; so do we, which
// also keeps a zero period from firing forever.
constexpr uint64_t kMinimumPeriod = 10;

}  // namespace

void HeadlessBackend::QueueAnswer(std::string path) {
  answers_.emplace_back(std::move(path));
}

void HeadlessBackend::QueueCancel() {
  answers_.emplace_back(std::nullopt);
}

void HeadlessBackend::Record(Event event) {
  events_.push_back(event);
  if (listener_)
    listener_(events_.back());
}

void HeadlessBackend::AdvanceClock(uint64_t ms) {
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

bool HeadlessBackend::HasTimer(const Window& window, uint32_t id) const {
  return std::any_of(timers_.begin(), timers_.end(), [&](const Timer& timer) {
    return timer.serial == window.serial() && timer.id == id;
  });
}

std::string HeadlessBackend::ShownText(const Window& window) const {
  auto it = shown_text_.find(window.serial());
  return it != shown_text_.end() ? it->second : std::string();
}

void HeadlessBackend::Paint(Window& window) {
  if (window.kind() != WindowKind::Popup || !window.IsWindowVisible())
    return;
  RecordingPainter painter;
  if (Application* app = Application::Current())
    app->RunCommand([&] { window.OnPaint(painter); });
  shown_text_[window.serial()] = painter.DrawnText();
}

void HeadlessBackend::Opened(Window& window) {
  Paint(window);
  Event event;
  event.type = Event::Type::WindowOpened;
  event.class_name = window.class_name();
  event.serial = window.serial();
  event.kind = window.kind();
  event.text = window.kind() == WindowKind::Popup ? ShownText(window) : window.GetWindowText();
  Record(std::move(event));
}

void HeadlessBackend::Closed(const Window& window) {
  Event event;
  event.type = Event::Type::WindowClosed;
  event.class_name = window.class_name();
  event.serial = window.serial();
  event.kind = window.kind();
  Record(std::move(event));
}

void HeadlessBackend::WindowCreated(Window& window) {
  if ((window.GetStyle() & WS_VISIBLE) != 0)
    Opened(window);
}

void HeadlessBackend::WindowChanged(Window& window, Change what) {
  if (what == Change::Visibility) {
    if ((window.GetStyle() & WS_VISIBLE) != 0)
      Opened(window);
    else
      Closed(window);
  } else if (what == Change::Geometry) {
    Paint(window);
  }
}

void HeadlessBackend::WindowDestroyed(Window& window) {
  if ((window.GetStyle() & WS_VISIBLE) != 0)
    Closed(window);
  std::erase_if(timers_, [&](const Timer& timer) { return timer.serial == window.serial(); });
  shown_text_.erase(window.serial());
}

void HeadlessBackend::Invalidate(Window& window) {
  Paint(window);
}

int HeadlessBackend::MessageBox(const Window*, std::string_view caption, std::string_view text,
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

std::optional<std::string> HeadlessBackend::FileDialog(const FileDialogRequest&) {
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

void HeadlessBackend::SetTimer(Window& window, uint32_t id, uint32_t elapse_ms) {
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

bool HeadlessBackend::KillTimer(Window& window, uint32_t id) {
  return std::erase_if(timers_, [&](const Timer& timer) {
           return timer.serial == window.serial() && timer.id == id;
         }) > 0;
}

Rect HeadlessBackend::MeasureText(const Font&, std::string_view text, const Rect& bounds,
                                  uint32_t flags) const {
  return MeasureWithFixedFont(text, bounds, flags);
}

Font HeadlessBackend::StatusFont() const {
  return Font{"Segoe UI", 9};
}

ColorRef HeadlessBackend::GetSysColour(SystemColour which) const {
  switch (which) {
    case SystemColour::TooltipBackground:
      return RGB(255, 255, 225);
    case SystemColour::TooltipText:
      return RGB(0, 0, 0);
  }
  return RGB(0, 0, 0);
}

}  // namespace nuv::fw::headless
