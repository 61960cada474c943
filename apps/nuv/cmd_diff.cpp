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

int Diff(std::span<const std::string> args);

const Command kDiff = {
    "diff", "OLD NEW [--script FILE] [--json]",
    "compares two flash images: header values; blocks (matched by id and name) added,\n"
    "      removed, moved, resized, changed in content (CRCs, first difference, bytes that\n"
    "      differ) or in their CRC only; differing bytes outside the blocks; and every\n"
    "      configuration field whose value differs, read with the script beside OLD (or\n"
    "      --script FILE) for legacy images, with each image's own script for new-format\n"
    "      ones; --json as one JSON object; exit 0 identical, 1 different, 2 trouble",
    "nothing", &Diff};

CommandRegistration register_diff(kDiff);

constexpr int kTrouble = 2;

int Trouble(std::string_view text) {
  UsageError(kDiff, text);
  return kTrouble;
}

int Diff(std::span<const std::string> args) {
  diff::DiffRequest request;
  std::vector<std::string> images;
  bool json = false;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--json") {
      json = true;
    } else if (args[i] == "--script") {
      if (i + 1 >= args.size() || args[i + 1].empty())
        return Trouble("--script needs a file");
      request.script_path = args[++i];
    } else if (args[i].size() > 1 && args[i][0] == '-') {
      return Trouble("unknown option " + args[i]);
    } else {
      images.push_back(args[i]);
    }
  }
  if (images.size() != 2)
    return Trouble("OLD and NEW are needed");
  request.old_path = images[0];
  request.new_path = images[1];

  StderrMessages messages;
  const diff::DiffOutcome outcome = diff::DiffImageFiles(request, messages);
  if (outcome.status == diff::DiffStatus::kError)
    return kTrouble;
  const std::string report = json ? DiffJson(outcome.diff) : DiffText(outcome.diff);
  std::fwrite(report.data(), 1, report.size(), stdout);
  if (std::fflush(stdout) != 0)
    return kTrouble;
  return outcome.status == diff::DiffStatus::kIdentical ? 0 : 1;
}

}  // namespace
}  // namespace nuv::cli
