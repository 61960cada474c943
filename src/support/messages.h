#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace nuv {

// Which caption a message box carries: the window's own "error" box, or the
// box of the application framework, captioned with the host's title.
enum class BoxCaption { Error, Application };

// Where the core reports what the user must see. A window passes a sink that
// opens a modal box owned by itself; the command line prints to standard
// error; tests record. The operation that detects a failure shows its
// message before it returns.
struct Messages {
  virtual void Show(BoxCaption caption, std::string_view text) = 0;

 protected:
  ~Messages() = default;
};

// Keeps every message in order; for tests and for callers that decide later
// how to present what happened.
class RecordedMessages final : public Messages {
 public:
  void Show(BoxCaption caption, std::string_view text) override {
    shown_.emplace_back(caption, std::string(text));
  }
  const std::vector<std::pair<BoxCaption, std::string>>& shown() const { return shown_; }
  std::vector<std::string> texts() const {
    std::vector<std::string> out;
    for (const auto& [caption, text] : shown_)
      out.push_back(text);
    return out;
  }
  void clear() { shown_.clear(); }

 private:
  std::vector<std::pair<BoxCaption, std::string>> shown_;
};

}  // namespace nuv
