#include <unistd.h>

#include "platform/file_descriptor.h"

namespace nuv::platform {

void FileDescriptor::reset() {
  if (handle_ >= 0)
    close(static_cast<int>(handle_));
  handle_ = kInvalid;
}

}  // namespace nuv::platform
