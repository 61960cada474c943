#pragma once

#include <memory>
#include <string>

#include "platform/result.h"

namespace nuv::platform {

// A shared library loaded into the process, unloaded when dropped.
class SharedLibrary {
 public:
  // Loads the library at `path`; a path without a folder names a file in
  // the current directory, never one the system would search for. The
  // system's reason when it cannot be loaded.
  static Result<std::unique_ptr<SharedLibrary>> Load(const std::string& path);

  ~SharedLibrary();
  SharedLibrary(const SharedLibrary&) = delete;
  SharedLibrary& operator=(const SharedLibrary&) = delete;

  // The address of the exported symbol `name`, or null when there is none.
  void* Symbol(const char* name) const;

 private:
  explicit SharedLibrary(void* handle) : handle_(handle) {}
  void* handle_;
};

}  // namespace nuv::platform
