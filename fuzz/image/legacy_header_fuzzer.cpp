// Any bytes as a legacy image, through the steps of Pre-Parse that read it:
// the legacy header with its checks in order, the grid rows, the software
// version, and the configuration region that Export would write. The input
// is read where libFuzzer holds it, on the heap with exact bounds, so a read
// a byte past the image is caught.
#include <cstddef>
#include <cstdint>
#include <span>

#include "image_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  nuv::image::fuzz::CheckLegacy(std::span<const uint8_t>(data, size));
  return 0;
}
