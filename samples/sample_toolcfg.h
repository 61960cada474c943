#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace nuv::samples {

// `bytes` in the gzip format, as `gzip` writes it (no name, no time stamp),
// so the same bytes always give the same file.
std::vector<uint8_t> GzipCompress(std::span<const uint8_t> bytes);

}  // namespace nuv::samples
