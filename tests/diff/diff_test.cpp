// The comparison of two image files built here with the samples' image
// builder: each case changes a known image in one way, and the expected
// changes are worked out from the image layout, not taken from a run.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "diff/image_diff.h"
#include "image_builder.h"
#include "test_files.h"

namespace nuv::diff {
namespace {

using Bytes = std::vector<uint8_t>;
using samples::BankPlan;
using samples::BlockPlan;
using samples::NewFormatPlan;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

BlockPlan Block(uint8_t id, std::string name, size_t size, uint32_t seed) {
  // A fixed crc field, so that a change of the data alone leaves the
  // headers as they were.
  return {.id = id, .name = std::move(name), .data = samples::PatternBytes(size, seed), .crc = 0};
}

// Bank 1 at 0: boot 0xAC, kernel 0x10AC, app 0x30AC. Bank 2 at 0x40000:
// app 0x4007C, data 0x4087C. Each bank's entries follow its 28 header bytes.
NewFormatPlan Base() {
  NewFormatPlan plan;
  BankPlan first{.header_offset = 0};
  first.blocks = {Block(0x01, "boot", 0x1000, 1), Block(0xA4, "kernel", 0x2000, 2),
                  Block(0x20, "app", 0x800, 3)};
  BankPlan second{.header_offset = 0x40000};
  second.blocks = {Block(0x20, "app", 0x800, 4), Block(0x30, "data", 0x400, 5)};
  plan.banks = {first, second};
  return plan;
}

std::string Hex(uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "%llX", static_cast<unsigned long long>(value));
  return text;
}

std::string Describe(const BlockChange& c) {
  const std::string name = c.name + " ";
  switch (c.change) {
    case BlockChangeKind::kAdded:
      return name + "added @" + Hex(c.new_place->offset);
    case BlockChangeKind::kRemoved:
      return name + "removed @" + Hex(c.old_place->offset);
    case BlockChangeKind::kMoved:
      return name + "moved " + Hex(c.old_place->offset) + ">" + Hex(c.new_place->offset);
    case BlockChangeKind::kResized:
      return name + "resized " + Hex(c.old_place->size) + ">" + Hex(c.new_place->size);
    case BlockChangeKind::kContent:
      return name + "content @" + Hex(c.old_place->offset) + " +" + Hex(c.first_difference) + " " +
             std::to_string(c.differing_bytes);
    case BlockChangeKind::kCrc:
      return name + "crc " + Hex(c.old_place->crc) + ">" + Hex(c.new_place->crc);
  }
  return "?";
}

std::vector<std::string> Describe(const ImageDiff& diff) {
  std::vector<std::string> out;
  for (const HeaderChange& c : diff.header)
    out.push_back(c.name + " changed");
  for (const BlockChange& c : diff.blocks)
    out.push_back(Describe(c));
  for (const ByteRange& r : diff.bytes)
    out.push_back(Hex(r.offset) + "+" + std::to_string(r.length) + " " + r.area);
  return out;
}

struct Pair {
  Bytes old_image;
  Bytes new_image;
};

Pair NewFormat(const std::function<void(NewFormatPlan&)>& change,
               const std::function<void(Bytes&)>& patch = {}) {
  NewFormatPlan plan = Base();
  Pair pair{samples::BuildNewFormatImage(plan).bytes, {}};
  change(plan);
  pair.new_image = samples::BuildNewFormatImage(plan).bytes;
  if (patch)
    patch(pair.new_image);
  return pair;
}

struct Case {
  const char* what;
  std::function<Pair()> make;
  std::vector<std::string> changes;  // header, blocks, byte ranges
};

const Case kCases[] = {
    {"identical", [] { return NewFormat([](NewFormatPlan&) {}); }, {}},
    {"bytes of a block",
     [] {
       return NewFormat([](NewFormatPlan& p) {
         Bytes& data = p.banks[0].blocks[1].data;
         data[0x10] ^= 1, data[0x11] ^= 1, data[0x100] ^= 1;
       });
     },
     {"kernel content @10AC +10 3"}},
    {"the crc field alone",
     [] { return NewFormat([](NewFormatPlan& p) { p.banks[0].blocks[1].crc = 5; }); },
     {"kernel crc 0>5", "58+1 DM header"}},
    // The kernel's size (entry 1, byte 9) and the app's offset (entry 2,
    // byte 5) change; the app's old bytes are now kernel bytes.
    {"a grown block pushes the next one",
     [] {
       return NewFormat([](NewFormatPlan& p) { p.banks[0].blocks[1].data.resize(0x2100, 7); });
     },
     {"kernel resized 2000>2100", "kernel content @10AC +2000 256", "app moved 30AC>31AC",
      "55+1 DM header", "81+1 DM header"}},
    // Of two blocks of one id and name, the one in the same bank is the
    // match: the second bank's app stays unchanged.
    {"a duplicate replaced in its bank",
     [] {
       return NewFormat([](NewFormatPlan& p) {
         p.banks[0].blocks[2].name = "logo";
         p.banks[0].blocks[2].id = 0x40;
       });
     },
     {"app removed @30AC", "logo added @30AC", "7C+1 DM header", "94+4 DM header"}},
    {"a duplicate changed in the second bank",
     [] { return NewFormat([](NewFormatPlan& p) { p.banks[1].blocks[0].data[5] ^= 0xFF; }); },
     {"app content @4007C +5 1"}},
    // Differences 15 equal bytes apart are one range, 16 apart two.
    {"bytes outside every block",
     [] {
       return NewFormat([](NewFormatPlan&) {},
                        [](Bytes& image) { image[0x10000] = image[0x10010] = image[0x10021] = 0; });
     },
     {"10000+17 ", "10021+1 "}},
    {"a longer image",
     [] { return NewFormat([](NewFormatPlan& p) { p.length = 0x100000; }); },
     {"Flash Size changed", "80000+524288 "}},
    // The legacy image's configuration region at 0x100 holds the key
    // record at 0x100 + 628.
    {"legacy areas",
     [] {
       samples::LegacyPlan plan;
       plan.config = samples::PatternBytes(0x400, 8);
       plan.blocks = {Block(0x10, "loader", 0x100, 9)};
       plan.blocks[0].offset = 0x2000;
       Pair pair{samples::BuildLegacyImage(plan).bytes, {}};
       plan.config[0] ^= 1;
       plan.config[628] ^= 1;
       plan.blocks[0].crc = 0x100;
       pair.new_image = samples::BuildLegacyImage(plan).bytes;
       return pair;
     },
     {"loader crc 0>100", "100+1 configuration region", "374+1 key record", "1019+1 block header"}},
};

void PrintTo(const Case& c, std::ostream* out) {
  *out << c.what;
}

class DiffTest : public ::testing::TestWithParam<Case> {
 protected:
  DiffOutcome Diff(const Pair& pair) {
    const auto old_path = folder_ / "old.bin";
    const auto new_path = folder_ / "new.bin";
    EXPECT_TRUE(samples::WriteBytesFile(old_path, pair.old_image));
    EXPECT_TRUE(samples::WriteBytesFile(new_path, pair.new_image));
    return DiffImageFiles({old_path.string(), new_path.string(), std::nullopt}, messages_);
  }

  nuv::test::TempFolder folder_;
  RecordedMessages messages_;
};

TEST_P(DiffTest, ReportsEveryChangeOnce) {
  const Case& c = GetParam();
  const DiffOutcome outcome = Diff(c.make());
  EXPECT_THAT(Describe(outcome.diff), ElementsAreArray(c.changes));
  EXPECT_EQ(outcome.status, c.changes.empty() ? DiffStatus::kIdentical : DiffStatus::kDifferent);
  EXPECT_TRUE(outcome.diff.fields.empty());
}

INSTANTIATE_TEST_SUITE_P(Pairs, DiffTest, ::testing::ValuesIn(kCases), [](const auto& param_info) {
  std::string name = param_info.param.what;
  for (char& ch : name)
    if (!std::isalnum(static_cast<unsigned char>(ch)))
      ch = '_';
  return name;
});

TEST_F(DiffTest, FieldsWithoutAScriptAreLeftOutAndSaidSo) {
  samples::LegacyPlan plan;
  plan.blocks = {Block(0x10, "loader", 0x100, 9)};
  Pair pair{samples::BuildLegacyImage(plan).bytes, {}};
  plan.blocks[0].data[0] ^= 1;
  pair.new_image = samples::BuildLegacyImage(plan).bytes;
  EXPECT_EQ(Diff(pair).status, DiffStatus::kDifferent);
  EXPECT_THAT(messages_.texts(),
              ElementsAre("Fields not compared: Please put the correct script file in the same "
                          "directory as the flash binary!"));
}

}  // namespace
}  // namespace nuv::diff
