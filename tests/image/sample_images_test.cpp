#include <gtest/gtest.h>

#include <map>

#include "image/pre_parse.h"
#include "image_builder.h"
#include "sample_set.h"
#include "support/messages.h"
#include "temp_folder.h"

namespace nuv::image {
namespace {

class SampleImagesTest : public testing::TempFolder {};

// Each sample image is what its name says: read as its kind, or refused
// with the message for its one fault.
TEST_F(SampleImagesTest, EachImageIsReadOrRefusedAsItsNameSays) {
  const std::map<std::string, std::string> expected = {
      {"images/new-two-banks.bin", "new format"},
      {"images/new-three-banks.bin", "new format"},
      {"images/legacy.bin", "legacy"},
      {"images/bad-length.bin", "Wrong binary file!"},
      {"images/empty.bin", "The flash file is empty!"},
      {"images/too-many-blocks.bin", "Wrong bin file!"},
      {"images/legacy-too-many-entries.bin", "Too many blocks!"},
      {"images/legacy-wrong-flash-size.bin", "Wrong bin file!"},
      {"images/new-data-outside.bin", "Wrong binary file, data of block 20 beyond the image end!"},
  };
  std::map<std::string, std::string> got;
  for (const samples::SampleFile& file : samples::GenerateAll()) {
    if (!expected.contains(file.name))
      continue;
    const std::string path = Path("image.bin");
    ASSERT_TRUE(samples::WriteBytesFile(path, file.bytes));
    FlashImage flash;
    RecordedMessages messages;
    const PreParseOutcome outcome = PreParse(flash, {.source_path = path}, messages);
    if (outcome.ok)
      got[file.name] = outcome.kind == ImageKind::NewFormat ? "new format" : "legacy";
    else
      got[file.name] = messages.texts().empty() ? "?" : messages.texts().back();
  }
  EXPECT_EQ(got, expected);
}

TEST_F(SampleImagesTest, GenerationIsDeterministic) {
  std::map<std::string, std::vector<uint8_t>> first;
  for (samples::SampleFile& file : samples::GenerateAll()) {
    if (file.name.rfind("images/", 0) == 0)
      first[file.name] = std::move(file.bytes);
  }
  ASSERT_FALSE(first.empty());
  for (const samples::SampleFile& file : samples::GenerateAll()) {
    if (first.contains(file.name)) {
      EXPECT_EQ(file.bytes, first[file.name]) << file.name;
    }
  }
}

}  // namespace
}  // namespace nuv::image
