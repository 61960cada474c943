#include "platform/shared_library.h"

#include <dlfcn.h>

namespace nuv::platform {

Result<std::unique_ptr<SharedLibrary>> SharedLibrary::Load(const std::string& path) {
  // dlopen searches the system's library folders for a bare name.
  const std::string file = path.find('/') == std::string::npos ? "./" + path : path;
  void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* why = dlerror();
    return Failure{why != nullptr ? why : "unknown reason"};
  }
  return std::unique_ptr<SharedLibrary>(new SharedLibrary(handle));
}

SharedLibrary::~SharedLibrary() {
  dlclose(handle_);
}

void* SharedLibrary::Symbol(const char* name) const {
  return dlsym(handle_, name);
}

}  // namespace nuv::platform
