// Samples of new-format images that carry their tool-config script,
// gzip-compressed, in a "toolcfg" block.
#include "sample_toolcfg.h"

#include <zlib.h>

namespace nuv::samples {

std::vector<uint8_t> GzipCompress(std::span<const uint8_t> bytes) {
  z_stream stream{};
  // 15 bits of window plus 16: a gzip header and trailer instead of zlib's.
  constexpr int kGzipWindowBits = 15 + 16;
  if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, kGzipWindowBits, 8,
                   Z_DEFAULT_STRATEGY) != Z_OK)
    return {};
  std::vector<uint8_t> out(deflateBound(&stream, static_cast<uLong>(bytes.size())) + 32);
  stream.next_in = const_cast<Bytef*>(bytes.data());
  stream.avail_in = static_cast<uInt>(bytes.size());
  stream.next_out = out.data();
  stream.avail_out = static_cast<uInt>(out.size());
  const int status = deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  if (status != Z_STREAM_END)
    return {};
  return out;
}

}  // namespace nuv::samples
