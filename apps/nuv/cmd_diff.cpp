// nuv diff OLD NEW [--script FILE] [--json]: every change between two
// images, down to the named field, for the engineer who checks what goes to
// the factory. Exit status as cmp and diff give it.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "command.h"
#include "diff/image_diff.h"
#include "diff_report.h"

namespace nuv::cli {
namespace {

Outcome Diff(const Arguments& args, Messages& messages);

const Command kDiff = {
    .name = "diff",
    .usage = "OLD NEW [--script FILE] [--json]",
    .summary =
        "compares two flash images: header values; blocks (matched by id and name) added,\n"
        "      removed, moved, resized, changed in content (CRCs, first difference, bytes that\n"
        "      differ) or in their CRC only; differing bytes outside the blocks; and every\n"
        "      configuration field whose value differs, read with the script beside OLD for\n"
        "      legacy images, with each image's own script for new-format ones; exit 0\n"
        "      identical, 1 different, 2 trouble",
    .modifies = "nothing",
    .operands = {"OLD", "NEW"},
    .options = {{"--script", "FILE", "reads the fields of legacy images with this script"},
                {"--json", "", "prints one JSON object"}},
    .found = "the images differ",
    .run = &Diff};

CommandRegistration register_diff(kDiff);

Outcome Diff(const Arguments& args, Messages& messages) {
  diff::DiffRequest request{args.operands[0], args.operands[1], std::nullopt};
  if (args.Has("--script"))
    request.script_path = args.Value("--script");
  const diff::DiffOutcome outcome = diff::DiffImageFiles(request, messages);
  if (outcome.status == diff::DiffStatus::kError)
    return Outcome::Failed();
  const std::string report = args.Has("--json") ? DiffJson(outcome.diff) : DiffText(outcome.diff);
  std::fwrite(report.data(), 1, report.size(), stdout);
  return outcome.status == diff::DiffStatus::kIdentical ? Outcome::Done() : Outcome::Found();
}

}  // namespace
}  // namespace nuv::cli
