#include "recording_backend.h"

namespace nuv::plugin::test {

std::vector<std::string> RecordingBackend::Boxes() const {
  std::vector<std::string> boxes;
  for (const fw::headless::Event& event : inner_.events()) {
    if (event.type == fw::headless::Event::Type::BoxShown)
      boxes.push_back(event.caption + ": " + event.text);
  }
  return boxes;
}

}  // namespace nuv::plugin::test
