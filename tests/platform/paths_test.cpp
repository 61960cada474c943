#include "platform/paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "test_files.h"

namespace nuv::platform {
namespace {

namespace fs = std::filesystem;

// A root open to others is refused where the user sees it: the extraction tests.
TEST(PathsTest, DriveDNamesLandUnderAPrivateRootThatIsNoLink) {
  const test::PrivateRootFolder private_root;
  const fs::path& root = private_root.path();
  const fs::path base = root.parent_path();
  fs::create_directories(base / "elsewhere");
  ASSERT_TRUE(PrivateRoot().ok());
  struct stat st {};
  ASSERT_EQ(lstat(root.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_EQ(ToNativePath("D:\\out\\new.bin").value(), root / "out" / "new.bin");
  EXPECT_EQ(ToNativePath("d:\\tmp").value(), root / "tmp");
  EXPECT_FALSE(ToNativePath("D:\\..\\etc\\passwd").ok());
  EXPECT_FALSE(ToNativePath("D:\\tmp\\..\\..\\x").ok());

  // The tool's working files lie in a private folder of this process alone
  // (two processes at once are the parallel runs test), made again when it
  // was removed.
  const NativePath folder = WorkingFolder();
  ASSERT_TRUE(folder.ok()) << folder.error();
  EXPECT_EQ(folder.value().parent_path(), root);
  EXPECT_EQ(ToWorkingPath("D:\\tmp\\script-qv.cfg.gz").value(),
            folder.value() / "tmp" / "script-qv.cfg.gz");
  fs::remove(folder.value());
  EXPECT_EQ(WorkingFolder().value(), folder.value());
  ASSERT_EQ(lstat(folder.value().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);

  // Never through a symbolic link: neither inside the root nor as the root.
  fs::create_directory_symlink(base / "elsewhere", root / "tmp");
  EXPECT_NE(ToNativePath("D:\\tmp\\x").error().find("symbolic link"), std::string::npos);
  fs::remove_all(root);
  chmod((base / "elsewhere").c_str(), 0700);
  fs::create_directory_symlink(base / "elsewhere", root);
  const NativePath linked = PrivateRoot();
  EXPECT_FALSE(linked.ok());
  EXPECT_NE(linked.error().find("symbolic link"), std::string::npos) << linked.error();
}

TEST(PathsTest, OtherNamesAndFolders) {
  const NativePath ini = ToNativePath(".\\quon.ini");
  ASSERT_TRUE(ini.ok());
  EXPECT_EQ(ini.value(), fs::current_path() / "quon.ini");
  EXPECT_EQ(ToNativePath(".\\sub\\preset.xls").value(), fs::current_path() / "sub" / "preset.xls");
  EXPECT_EQ(ToNativePath("/data/image.bin").value(), fs::path("/data/image.bin"));
  // A backslash is part of a name here.
  EXPECT_EQ(FolderWithSeparator("/data/images/flash.bin"), "/data/images/");
  EXPECT_EQ(FolderWithSeparator("dir/my\\image.bin"), "dir/");
  EXPECT_EQ(FolderWithSeparator("C:\\work\\flash.bin"), "");
  EXPECT_TRUE(fs::exists(ProgramFolder() / "platform_tests"));
}

}  // namespace
}  // namespace nuv::platform
