#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace nuv::fw {

class Window;

// One run of a window's DoDataExchange, in one direction.
class DataExchange {
 public:
  DataExchange(Window& window, bool save_and_validate)
      : window_(window), save_and_validate_(save_and_validate) {}

  // True: controls into members; false: members into controls.
  bool saving() const { return save_and_validate_; }
  Window& window() const { return window_; }
  // A control refused its value; the rest of the exchange is skipped.
  bool failed() const { return failed_; }
  // Tells the user what is wrong (an application box) and fails the run.
  void Fail(std::string_view message);

 private:
  Window& window_;
  bool save_and_validate_;
  bool failed_ = false;
};

// Exchange the text of control `id` with a member. Numbers are shown in
// decimal (signed or unsigned as the member is); a text that is not such a
// number when saving fails the exchange with "Please enter an integer." or,
// for an unsigned member, "Please enter a positive integer.", and leaves the
// member unchanged. A control that does not exist is passed over.
void DDX_Text(DataExchange& dx, uint32_t id, std::string& value);
void DDX_Text(DataExchange& dx, uint32_t id, int32_t& value);
void DDX_Text(DataExchange& dx, uint32_t id, uint32_t& value);

// The number parsing of DDX_Text: blanks and tabs around the number, an
// optional sign ('-' only when signed), decimal digits, within range.
bool ParseDecimal(std::string_view text, int32_t& value);
bool ParseDecimal(std::string_view text, uint32_t& value);

}  // namespace nuv::fw
