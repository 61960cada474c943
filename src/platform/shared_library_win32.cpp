#include <windows.h>

#include "platform/shared_library.h"
#include "platform/wide_text.h"

namespace nuv::platform {

Result<std::unique_ptr<SharedLibrary>> SharedLibrary::Load(const std::string& path) {
  // LoadLibraryW searches the system's folders for a bare name.
  const bool bare = path.find_first_of("\\/") == std::string::npos;
  const std::wstring file = ToWide(bare ? ".\\" + path : path);
  HMODULE module = LoadLibraryW(file.c_str());
  if (module == nullptr)
    return Failure{SystemMessage(GetLastError())};
  return std::unique_ptr<SharedLibrary>(new SharedLibrary(reinterpret_cast<void*>(module)));
}

SharedLibrary::~SharedLibrary() {
  FreeLibrary(static_cast<HMODULE>(handle_));
}

void* SharedLibrary::Symbol(const char* name) const {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

}  // namespace nuv::platform
