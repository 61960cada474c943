// ParseHwInfo on any bytes: it never reads or writes outside its records,
// ends for every input (a section without "##" included), and reports a
// failure with its standard message last.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "legacy/hw_info.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace nuv::legacy;
  using nuv::fuzz::Check;
  nuv::common::LineReader in;
  in.OpenText(std::string(reinterpret_cast<const char*>(data), size));
  nuv::RecordedMessages messages;
  const std::optional<HwInfo> info = ParseHwInfo(in, messages);
  if (info) {
    Check(messages.shown().empty());
    Check(info->panel.count() <= kMaxPanelValues);
    Check(info->led.count() <= kMaxLedBytes / 2);
    return 0;
  }
  Check(!messages.shown().empty() && messages.shown().size() <= 2);
  const std::string& last = messages.shown().back().second;
  Check(last == "error while parsing panel hw info" || last == "error while parsing led bitmap");
  return 0;
}
