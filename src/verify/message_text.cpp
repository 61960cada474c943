#include <algorithm>

#include "verify/checks.h"

namespace nuv::verify {

std::string MessageText(const RecordedMessages& messages) {
  std::string text;
  for (const std::string& shown : messages.texts()) {
    if (!text.empty())
      text += " ";
    text += shown;
  }
  std::replace(text.begin(), text.end(), '\n', ' ');
  return text;
}

}  // namespace nuv::verify
