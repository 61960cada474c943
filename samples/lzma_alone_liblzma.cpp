// The .lzma packing of the samples, with liblzma.
#include <lzma.h>

#include "sample_preset.h"

namespace nuv::samples {

std::vector<uint8_t> LzmaAloneCompress(std::span<const uint8_t> bytes) {
  lzma_options_lzma options;
  if (lzma_lzma_preset(&options, 6))
    return {};
  lzma_stream stream = LZMA_STREAM_INIT;
  if (lzma_alone_encoder(&stream, &options) != LZMA_OK)
    return {};
  std::vector<uint8_t> out(bytes.size() + bytes.size() / 2 + 4096);
  stream.next_in = bytes.data();
  stream.avail_in = bytes.size();
  stream.next_out = out.data();
  stream.avail_out = out.size();
  const lzma_ret status = lzma_code(&stream, LZMA_FINISH);
  out.resize(stream.total_out);
  lzma_end(&stream);
  if (status != LZMA_STREAM_END)
    return {};
  return out;
}

}  // namespace nuv::samples
