// setenv and unsetenv, which the tests use to set up the environment the
// tool reads and which the Windows C runtime lacks; given to every test
// program of the Windows build.
#pragma once

#ifdef _WIN32
#include <cstdlib>

inline int setenv(const char* name, const char* value, int overwrite) {
  if (!overwrite && std::getenv(name) != nullptr)
    return 0;
  return _putenv_s(name, value);
}

inline int unsetenv(const char* name) {
  return _putenv_s(name, "");
}
#endif
