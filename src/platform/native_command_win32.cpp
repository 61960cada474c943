// The tool's command lines on Windows: they are Windows command lines
// already; only names on drive D: move to the private folder where there is
// no such drive.
#include "platform/drive_names.h"
#include "platform/native_arguments.h"
#include "platform/paths.h"
#include "platform/wide_text.h"

namespace nuv::platform {

Result<std::vector<std::string>> NativeArguments(std::vector<std::string> args) {
  for (std::string& arg : args) {
    if (&arg != &args.front() && IsDriveDName(arg)) {
      // The tool's command lines name its working files ("D:\tmp\x.gz"),
      // which belong to this process alone.
      const NativePath native = ToWorkingPath(arg);
      if (!native.ok())
        return native.failure();
      arg = Utf8FromPath(native.value());
    }
  }
  return args;
}

}  // namespace nuv::platform
