#include "framework/file_dialog.h"

#include <gtest/gtest.h>

#include <string>

#include "framework/file_names.h"
#include "framework/open_file_name.h"
#include "framework/window.h"
#include "framework_fixture.h"

namespace nuv::fw {
namespace {

TEST(DefaultExtension, IsAddedToANameTypedWithoutOne) {
  EXPECT_EQ(ApplyDefaultExtension("out", "bin"), "out.bin");
  EXPECT_EQ(ApplyDefaultExtension("dir.v2/out", "bin"), "dir.v2/out.bin");
  EXPECT_EQ(ApplyDefaultExtension("C:\\dir.v2\\out", "hex"), "C:\\dir.v2\\out.hex");
  EXPECT_EQ(ApplyDefaultExtension("/abs/out", "hex"), "/abs/out.hex");
}

TEST(DefaultExtension, LeavesNamesWithAnExtensionAndNothingToDoAlone) {
  EXPECT_EQ(ApplyDefaultExtension("out.txt", "bin"), "out.txt");
  EXPECT_EQ(ApplyDefaultExtension("out.tar.gz", "bin"), "out.tar.gz");
  EXPECT_EQ(ApplyDefaultExtension("name.", "bin"), "name.");
  EXPECT_EQ(ApplyDefaultExtension("out", ""), "out");
  EXPECT_EQ(ApplyDefaultExtension("", "bin"), "");
  EXPECT_EQ(ApplyDefaultExtension("dir/", "bin"), "dir/");
}

TEST(Filters, AreReadAsPairsUpToTheEmptyText) {
  const FileFilter bar = ParseBarFilter("BIN files(*.bin)|*.bin|All   files   (*.*)|*.*||");
  ASSERT_EQ(bar.size(), 2u);
  EXPECT_EQ(bar[0], (std::pair<std::string, std::string>{"BIN files(*.bin)", "*.bin"}));
  EXPECT_EQ(bar[1], (std::pair<std::string, std::string>{"All   files   (*.*)", "*.*"}));
  EXPECT_EQ(ParseBarFilter("a|*.a|b||c|*.c||").size(), 1u);  // "b" lacks its pattern
  EXPECT_TRUE(ParseBarFilter("").empty());

  const char nul[] = "bin files (*.bin)\0*.bin\0All Files (*.*)\0*.*\0";
  const FileFilter pairs = ParseNulFilter(std::string_view(nul, sizeof nul));
  ASSERT_EQ(pairs.size(), 2u);
  EXPECT_EQ(pairs[1].second, "*.*");
  // Without its final terminators the filter is read up to its last whole pair.
  EXPECT_EQ(ParseNulFilter(std::string_view("a\0*.a\0b\0*.b", 11)).size(), 1u);
}

using FileDialogTest = testing::FrameworkTest;

TEST_F(FileDialogTest, AsksTheBackendAndAppliesTheDefaultExtension) {
  Window owner;
  ASSERT_TRUE(owner.CreateEx(0, WindowKind::Dialog, "", WS_POPUP, {0, 0, 5, 5}, nullptr, 0));
  backend_.QueueAnswer("picked");
  backend_.QueueCancel();
  backend_.QueueAnswer("kept.txt");
  FileDialog save(false, "bin", "*.bin", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                  "BIN files(*.bin)|*.bin||", &owner);
  EXPECT_EQ(save.DoModal(), static_cast<int>(IDOK));
  EXPECT_EQ(save.GetPathName(), "picked.bin");
  EXPECT_EQ(save.DoModal(), static_cast<int>(IDCANCEL));
  FileDialog open(true, "", "", 0, "", nullptr);
  EXPECT_EQ(open.DoModal(), static_cast<int>(IDOK));
  EXPECT_EQ(open.GetPathName(), "kept.txt");
  EXPECT_EQ(backend_.unanswered_dialogs(), 0);
  EXPECT_EQ(open.DoModal(), static_cast<int>(IDCANCEL));  // nothing queued
  EXPECT_EQ(backend_.unanswered_dialogs(), 1);
}

TEST_F(FileDialogTest, TheSystemOpenDialogFillsThePathBuffer) {
  const char filter[] = "cfg files (*.cfg)\0*.cfg\0\0";
  OpenFileName ofn;
  ofn.filter = std::string_view(filter, sizeof filter);
  ofn.flags = OFN_EXPLORER;
  ofn.default_extension = "hex";
  backend_.QueueAnswer("sub/script");
  ASSERT_TRUE(GetOpenFileName(ofn));
  EXPECT_EQ(ofn.FileName(), "sub/script.hex");
  EXPECT_EQ(ofn.file[14], '\0');

  // A path that does not fit 260 characters is no choice; the buffer stays.
  backend_.QueueAnswer(std::string(256, 'x'));  // 260 with ".hex": no room for the NUL
  EXPECT_FALSE(GetOpenFileName(ofn));
  EXPECT_EQ(ofn.FileName(), "sub/script.hex");
  backend_.QueueAnswer(std::string(255, 'y'));  // 259 with ".hex": fits
  ASSERT_TRUE(GetOpenFileName(ofn));
  EXPECT_EQ(ofn.FileName(), std::string(255, 'y') + ".hex");
  EXPECT_EQ(ofn.file.back(), '\0');

  backend_.QueueCancel();
  EXPECT_FALSE(GetOpenFileName(ofn));
}

}  // namespace
}  // namespace nuv::fw
