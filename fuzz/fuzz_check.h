#pragma once

#include <cstdlib>

namespace nuv::fuzz {

// A property that must hold for every input; libFuzzer keeps the input
// that breaks it.
inline void Check(bool condition) {
  if (!condition)
    std::abort();
}

}  // namespace nuv::fuzz
