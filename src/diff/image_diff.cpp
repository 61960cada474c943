#include "diff/image_diff.h"

#include <algorithm>
#include <optional>
#include <thread>
#include <utility>

#include "diff/block_changes.h"
#include "diff/byte_ranges.h"
#include "diff/field_changes.h"
#include "image/image_layout.h"
#include "image/pre_parse.h"

namespace nuv::diff {
namespace {

image::PreParseResult Load(const std::string& path, image::FlashImage& flash, Messages& messages) {
  return image::PreParse(flash, {path, false, false, image::ImageLoading::kMap}, messages).result;
}

struct LoadedImages {
  image::FlashImage old_image;
  image::FlashImage new_image;
};

// Pre-parses both images, mapped, each on a thread of its own: the header
// scan over every byte of large images is most of a comparison's time.
// What Pre-Parse shows is shown afterwards, the old image's first, each
// after its path. Nothing when either is refused.
std::optional<LoadedImages> LoadBoth(const DiffRequest& request, Messages& messages) {
  LoadedImages loaded;
  RecordedMessages old_messages;
  RecordedMessages new_messages;
  image::PreParseResult old_result = image::PreParseResult::kRefused;
  std::jthread reader([&] { old_result = Load(request.old_path, loaded.old_image, old_messages); });
  const image::PreParseResult new_result = Load(request.new_path, loaded.new_image, new_messages);
  reader.join();
  for (const auto& [path, recorded] :
       {std::pair{&request.old_path, &old_messages}, std::pair{&request.new_path, &new_messages}})
    for (const std::string& text : recorded->texts())
      messages.Show(BoxCaption::Error, *path + ": " + text);
  if (old_result != image::PreParseResult::kParsed || new_result != image::PreParseResult::kParsed)
    return std::nullopt;
  return loaded;
}

std::string KindText(image::ImageKind kind) {
  return kind == image::ImageKind::NewFormat ? "new format" : "legacy";
}

// The header values as the main form shows them.
std::vector<HeaderChange> CompareHeaders(const image::FlashImage& x, const image::FlashImage& y) {
  std::vector<HeaderChange> changes;
  const auto add = [&](std::string name, Value old_value, Value new_value) {
    if (old_value != new_value)
      changes.push_back({std::move(name), std::move(old_value), std::move(new_value)});
  };
  add("Kind", KindText(x.kind), KindText(y.kind));
  add("SDRAM Size", int64_t{static_cast<int32_t>(x.sdram_size)},
      int64_t{static_cast<int32_t>(y.sdram_size)});
  add("Flash Size", uint64_t{x.flash_size}, uint64_t{y.flash_size});
  add("Block Number", uint64_t{x.block_number}, uint64_t{y.block_number});
  add("Software Version", x.software_version, y.software_version);
  return changes;
}

// Shows each text once, after `prefix`.
void ShowOnce(const RecordedMessages& recorded, BoxCaption caption, const std::string& prefix,
              Messages& messages) {
  std::vector<std::string> shown;
  for (const std::string& text : recorded.texts()) {
    if (std::find(shown.begin(), shown.end(), text) != shown.end())
      continue;
    shown.push_back(text);
    messages.Show(caption, prefix + text);
  }
}

// The changed fields; none where no script describes both images. Nothing
// when a script file that was asked for cannot be used.
std::optional<std::vector<FieldChange>> CompareFields(const DiffRequest& request,
                                                      const image::FlashImage& a,
                                                      const image::FlashImage& b,
                                                      Messages& messages) {
  if (a.kind != b.kind) {
    messages.Show(BoxCaption::Application,
                  "Fields not compared: a legacy and a new-format image have no script in "
                  "common.");
    return std::vector<FieldChange>();
  }
  RecordedMessages recorded;
  std::optional<std::vector<FieldChange>> fields = a.kind == image::ImageKind::Legacy
                                                       ? CompareLegacyFields(a, b, recorded)
                                                       : CompareToolConfigItems(a, b, recorded);
  if (!fields && request.script_path) {
    ShowOnce(recorded, BoxCaption::Error, request.script_path.value() + ": ", messages);
    return std::nullopt;
  }
  ShowOnce(recorded, BoxCaption::Application,
           fields ? "Fields: " : "Fields not compared: ", messages);
  return fields.value_or(std::vector<FieldChange>());
}

}  // namespace

DiffOutcome DiffImageFiles(const DiffRequest& request, Messages& messages) {
  DiffOutcome outcome;
  std::optional<LoadedImages> loaded = LoadBoth(request, messages);
  if (!loaded)
    return outcome;
  image::FlashImage& old_image = loaded->old_image;
  const image::FlashImage& new_image = loaded->new_image;
  if (request.script_path) {
    if (old_image.kind != image::ImageKind::Legacy || new_image.kind != image::ImageKind::Legacy) {
      messages.Show(BoxCaption::Error,
                    "A script file describes legacy images; a new-format image carries its own.");
      return outcome;
    }
    old_image.script_path = *request.script_path;
  }

  ImageDiff& diff = outcome.diff;
  diff.header = CompareHeaders(old_image, new_image);
  const image::ImageLayout old_layout = image::LayoutOf(old_image);
  const image::ImageLayout new_layout = image::LayoutOf(new_image);
  diff.blocks = CompareBlocks(old_layout.blocks, new_layout.blocks);
  diff.bytes = CompareBytesOutsideBlocks(old_image, new_image, old_layout, new_layout);
  // Fields live in the bytes compared so far: where none differ, neither
  // does a field, and no script need be read.
  if (!diff.identical()) {
    std::optional<std::vector<FieldChange>> fields =
        CompareFields(request, old_image, new_image, messages);
    if (!fields)
      return outcome;
    diff.fields = std::move(*fields);
  }
  outcome.status = diff.identical() ? DiffStatus::kIdentical : DiffStatus::kDifferent;
  return outcome;
}

}  // namespace nuv::diff
