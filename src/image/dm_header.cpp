#include "image/dm_header.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace nuv::image {
namespace {

// Three bytes of the magic that rule out almost every position on their own:
// the first, the last and the 'D' in between. Data made of one repeated byte
// passes at most one of them.
constexpr size_t kProbeMid = 5;
constexpr size_t kProbeLast = kDmMagic.size() - 1;

bool MatchesAt(const uint8_t* at) {
  return std::memcmp(at, kDmMagic.data(), kDmMagic.size()) == 0 && at[kDmMarkerOffset] == kDmMarker;
}

#if defined(__SSE2__)
__m128i Load(const uint8_t* at) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

// Lane i is all ones when a header starts at at + i (lanes of `mask` only).
__m128i FullMatch(const uint8_t* at, __m128i mask) {
  for (size_t k = 0; k < kDmMagic.size(); ++k)
    mask = _mm_and_si128(
        mask, _mm_cmpeq_epi8(Load(at + k), _mm_set1_epi8(static_cast<char>(kDmMagic[k]))));
  return _mm_and_si128(mask, _mm_cmpeq_epi8(Load(at + kDmMarkerOffset),
                                            _mm_set1_epi8(static_cast<char>(kDmMarker))));
}
#endif

#if defined(__x86_64__) && defined(__GNUC__)
#define NUV_HAVE_AVX2_SCAN 1
// The same search 32 positions at a time, on processors with AVX2. Returns
// the first position it did not examine (fewer than 32 remain from there to
// `last`), or `last + 1` once `found` holds max_count positions.
__attribute__((target("avx2"))) __m256i Equal(const uint8_t* at, uint8_t byte) {
  return _mm256_cmpeq_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(at)),
                           _mm256_set1_epi8(static_cast<char>(byte)));
}

__attribute__((target("avx2"))) size_t FindAvx2(const uint8_t* data, size_t last,
                                                std::vector<size_t>& found, size_t max_count) {
  size_t pos = 0;
  for (; pos <= last && last - pos >= 31; pos += 32) {
    const uint8_t* at = data + pos;
    __m256i hit = _mm256_and_si256(
        _mm256_and_si256(Equal(at, kDmMagic[0]), Equal(at + kProbeMid, kDmMagic[kProbeMid])),
        Equal(at + kProbeLast, kDmMagic[kProbeLast]));
    if (_mm256_testz_si256(hit, hit))
      continue;
    for (size_t k = 1; k < kDmMagic.size(); ++k)
      hit = _mm256_and_si256(hit, Equal(at + k, kDmMagic[k]));
    hit = _mm256_and_si256(hit, Equal(at + kDmMarkerOffset, kDmMarker));
    auto mask = static_cast<uint32_t>(_mm256_movemask_epi8(hit));
    while (mask != 0) {
      found.push_back(pos + static_cast<size_t>(__builtin_ctz(mask)));
      if (found.size() == max_count)
        return last + 1;
      mask &= mask - 1;
    }
  }
  return pos;
}
#endif

}  // namespace

bool IsDmHeaderAt(std::span<const uint8_t> image, size_t pos) {
  if (pos > image.size() || image.size() - pos < kDmHeaderFixedSize)
    return false;
  return MatchesAt(image.data() + pos);
}

std::vector<size_t> FindDmHeaders(std::span<const uint8_t> image, size_t max_count) {
  std::vector<size_t> found;
  if (image.size() < kDmHeaderFixedSize || max_count == 0)
    return found;
  const uint8_t* data = image.data();
  // Candidate positions are 0 .. last; every byte read below stays inside
  // [pos, pos + kDmHeaderFixedSize) of a candidate, hence inside the image.
  const size_t last = image.size() - kDmHeaderFixedSize;
  size_t pos = 0;
#if defined(NUV_HAVE_AVX2_SCAN)
  if (__builtin_cpu_supports("avx2")) {
    pos = FindAvx2(data, last, found, max_count);
    if (found.size() == max_count)
      return found;
  }
#endif
#if defined(__SSE2__)
  const __m128i first = _mm_set1_epi8(static_cast<char>(kDmMagic[0]));
  const __m128i mid = _mm_set1_epi8(static_cast<char>(kDmMagic[kProbeMid]));
  const __m128i end = _mm_set1_epi8(static_cast<char>(kDmMagic[kProbeLast]));
  for (; pos <= last && last - pos >= 15; pos += 16) {
    const uint8_t* at = data + pos;
    const __m128i hit = _mm_and_si128(
        _mm_and_si128(_mm_cmpeq_epi8(Load(at), first), _mm_cmpeq_epi8(Load(at + kProbeMid), mid)),
        _mm_cmpeq_epi8(Load(at + kProbeLast), end));
    if (_mm_movemask_epi8(hit) == 0)
      continue;
    // Some position passed the three probes: check all 13 bytes of these 16
    // positions at once, so that data made of magics costs a few vector
    // compares per 16 bytes rather than a comparison per position.
    unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(FullMatch(at, hit)));
    while (mask != 0) {
      found.push_back(pos + static_cast<size_t>(__builtin_ctz(mask)));
      if (found.size() == max_count)
        return found;
      mask &= mask - 1;
    }
  }
#endif
  // The rest (or everything, without SSE2): jump from '*' to '*'.
  while (pos <= last) {
    const void* star = std::memchr(data + pos, kDmMagic[0], last - pos + 1);
    if (star == nullptr)
      break;
    pos = static_cast<size_t>(static_cast<const uint8_t*>(star) - data);
    if (MatchesAt(data + pos)) {
      found.push_back(pos);
      if (found.size() == max_count)
        break;
    }
    ++pos;
  }
  return found;
}

}  // namespace nuv::image
