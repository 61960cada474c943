// Block Save and Load as a user sees them are the newfmt_blocks UI script
// and the CLI test; here what they cannot see: the name match and the
// working block after a refused load.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "sample_preset.h"
#include "toolcfg/block_file.h"

namespace nuv::toolcfg {
namespace {

TEST(BlockFile, PicksByNameAndIdAndARefusedLoadChangesNothing) {
  image::FlashImage image;
  image.snapshot.records = {samples::OwnBlockRecord(0x24, "logo", {1, 2, 3, 4}),
                            samples::OwnBlockRecord(0x25, "longname", {5})};
  image.table = image.snapshot;
  EXPECT_EQ(FindPickedBlock(image.snapshot, "logo", 0x24), 0u);
  EXPECT_EQ(FindPickedBlock(image.snapshot, "longnameXYZ", 0x25), 1u);  // 8 characters count
  EXPECT_FALSE(FindPickedBlock(image.snapshot, "logo", 0x25).has_value());
  EXPECT_FALSE(FindPickedBlock(image.snapshot, "", 0).has_value());

  const std::filesystem::path empty =
      std::filesystem::temp_directory_path() / ("nuv-empty-block-" + std::to_string(getpid()));
  std::ofstream(empty).close();
  RecordedMessages messages;
  EXPECT_EQ(LoadBlockFile(image, "logo", 0x24, empty.string(), messages),
            BlockFileResult::kFileError);
  std::filesystem::remove(empty);
  EXPECT_EQ(LoadBlockFile(image, "logo", 0x24, empty.string(), messages),
            BlockFileResult::kFileError);
  EXPECT_EQ(messages.texts().size(), 2u);
  EXPECT_EQ(image.table.records[0].entry.size(), 4u);
  EXPECT_EQ(image.table.records[0].data.size(), 4u);
}

}  // namespace
}  // namespace nuv::toolcfg
