#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace nuv::diff {

// Comparisons of two byte strings of equal length at memory speed: runs of
// equal bytes are passed over a page at a time, and only pages that differ
// are looked at word by word.

// Where `a` and `b` first differ; nothing when they are equal. Both must be
// equally long.
std::optional<size_t> FirstDifference(std::span<const uint8_t> a, std::span<const uint8_t> b);

// How many positions of `a` and `b` hold different bytes.
uint64_t CountDifferences(std::span<const uint8_t> a, std::span<const uint8_t> b);

// The end of the stretch of differences that starts at `from` (where the
// bytes differ): it goes on while fewer than `bridge` equal bytes lie
// between one differing byte and the next, and ends after its last
// differing byte. `bridge` is at least 8 (the differences inside one word
// are taken together).
size_t DifferenceRunEnd(std::span<const uint8_t> a, std::span<const uint8_t> b, size_t from,
                        size_t bridge);

}  // namespace nuv::diff
