// Any bytes as a settings file read with GetPrivateProfileString, with the
// host's buffer of 260, with a buffer of 0 to 7 (chosen by the length of the
// input) and with no limit. The file is a real one, kept in memory (memfd),
// so the reader runs exactly as the plug-in runs it.
//
// The value must fit the buffer with its NUL, be the whole value cut to the
// buffer, and be either the default or a piece of one line of the file.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "platform/profile.h"

namespace {

using nuv::fuzz::Check;
using nuv::platform::GetPrivateProfileString;

constexpr std::string_view kSection = "NUV";
constexpr std::string_view kKey = "Internal_tool_control";
constexpr std::string_view kDefault = "default value  ";
constexpr std::string_view kTrimmedDefault = "default value";
constexpr size_t kHostBufferSize = 260;

// One in-memory file for every run, rewritten each time.
const std::string& FilePath() {
  static const std::string path = [] {
    const int fd = memfd_create("nuv-profile-fuzz", MFD_CLOEXEC);
    Check(fd >= 0);
    return "/proc/self/fd/" + std::to_string(fd);
  }();
  return path;
}

void WriteFile(std::string_view text) {
  static const int fd = std::stoi(FilePath().substr(FilePath().rfind('/') + 1));
  Check(ftruncate(fd, 0) == 0);
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t wrote =
        pwrite(fd, text.data() + done, text.size() - done, static_cast<off_t>(done));
    Check(wrote > 0);
    done += static_cast<size_t>(wrote);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  WriteFile(text);
  const std::string whole = GetPrivateProfileString(kSection, kKey, kDefault, SIZE_MAX, FilePath());

  // The caller's buffer holds the value and its NUL.
  for (const size_t buffer_size : {kHostBufferSize, size % 8}) {
    const std::string value =
        GetPrivateProfileString(kSection, kKey, kDefault, buffer_size, FilePath());
    if (buffer_size == 0)
      Check(value.empty());
    else
      Check(value.size() < buffer_size && value == whole.substr(0, buffer_size - 1));
  }

  // The default without its trailing blanks, or a piece of one line.
  if (whole != kTrimmedDefault) {
    Check(whole.find('\n') == std::string::npos);
    Check(text.find(whole) != std::string_view::npos);
    // A value needs a section and a key.
    Check(text.find('[') != std::string_view::npos && text.find('=') != std::string_view::npos);
  }
  return 0;
}
