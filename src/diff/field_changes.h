#pragma once

#include <optional>
#include <vector>

#include "diff/image_diff.h"
#include "image/flash_image.h"
#include "support/messages.h"

namespace nuv::diff {

// Two legacy images: the script at the old image's script path is parsed
// as Parse does it, and both images' field blocks are read as the field
// edit dialog reads them (each image with its own entry table, so a block
// that moved is read where it is now). A number or list field's value is
// its number, a text field's the text its edit shows. Fields that cannot be
// read in one image (the dialog's set-up stops there) have no value there.
// What Parse and the set-up show goes to `messages`. Nothing when no script
// described the fields of both images.
std::optional<std::vector<FieldChange>> CompareLegacyFields(const image::FlashImage& old_image,
                                                            const image::FlashImage& new_image,
                                                            Messages& messages);

// Two new-format images: each one's tool-config script is extracted and
// parsed against its blocks as Parse does it, and the items, matched by
// sheet, block name and id, and name (in order among equal ones), are
// compared by the values the workbook shows: numbers, or texts. An item
// only one script has has no value in the other image. What extraction
// and parse show goes to `messages`. Nothing when either script could not
// be extracted or parsed.
std::optional<std::vector<FieldChange>> CompareToolConfigItems(const image::FlashImage& old_image,
                                                               const image::FlashImage& new_image,
                                                               Messages& messages);

}  // namespace nuv::diff
