#pragma once

#include <string>

#include "diff/image_diff.h"

namespace nuv::cli {

// What `nuv diff` prints: one line per change, in sections (header values,
// blocks, bytes outside the blocks, fields grouped under their block), the
// columns of each section aligned. Nothing for identical images.
std::string DiffText(const diff::ImageDiff& diff);

// The same as one JSON object, numbers as JSON numbers.
std::string DiffJson(const diff::ImageDiff& diff);

}  // namespace nuv::cli
