#pragma once

#include <string>
#include <vector>

#include "image/pre_parse.h"
#include "support/messages.h"
#include "verify/finding.h"

namespace nuv::verify {

struct VerifyRequest {
  std::string image_path;
  // Legacy images: the script to check. Empty: the one beside the image
  // that Parse reads (the image's folder and its software version).
  std::string script_path{};
};

// kRefused: Pre-Parse refused the image, its message has been shown and
// nothing was checked.
enum class VerifyResult { kChecked, kRefused };
struct [[nodiscard]] VerifyOutcome {
  VerifyResult result = VerifyResult::kChecked;
  image::ImageKind kind = image::ImageKind::None;
  std::vector<Finding> findings;  // in the order the checks ran

  bool sound() const { return result == VerifyResult::kChecked && Sound(findings); }
};

// Everything an engineer checks before an image goes to the factory. The
// image is pre-parsed as the Pre-Parse button does (a refusal's message
// goes to `messages`); then, for both kinds, every block's data lies inside
// the image and matches its CRC, no two blocks of a bank overlap one
// another or the bank's header, and every counted entry is written;
// new-format images: blocks A4 and A8 are aligned, the banks agree on the
// SDRAM size, the "toolcfg" script unpacks and parses, and the "preset"
// block unpacks to a table the export reads; legacy images: the
// configuration area lies inside the image, tail entries lie where
// Generate keeps them, the "ssdata" block names the software version, and
// the script parses with every field inside its block. What the tool's
// own operations would show while checking goes into the findings'
// texts, not to `messages`.
//
// Runs gzip and lzma as Parse and the export do. Raises nuv::FileError when
// what the extraction left cannot be removed.
VerifyOutcome VerifyImage(const VerifyRequest& request, Messages& messages);

}  // namespace nuv::verify
