#include "verify/finding.h"

#include <algorithm>
#include <cstdio>

namespace nuv::verify {

BlockRef RefOf(const image::BlockEntry& entry) {
  return {entry.block_id(), entry.name()};
}

bool Sound(std::span<const Finding> findings) {
  return std::none_of(findings.begin(), findings.end(),
                      [](const Finding& f) { return f.severity == Severity::Error; });
}

std::string Hex(uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
  return text;
}

}  // namespace nuv::verify
