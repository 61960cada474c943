#include "platform/paths.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

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
  // Modes are POSIX's; on Windows the folder's access list lets the user alone in.
  const auto only_the_user_may_enter = [](const fs::path& folder) {
#ifndef _WIN32
    struct stat st {};
    ASSERT_EQ(lstat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
#else
    EXPECT_TRUE(fs::is_directory(folder));
#endif
  };
  only_the_user_may_enter(root);
  EXPECT_EQ(ToNativePath("D:\\out\\new.bin").value(), root / "out" / "new.bin");
  EXPECT_EQ(ToNativePath("d:\\tmp").value(), root / "tmp");
  EXPECT_FALSE(ToNativePath("D:\\..\\etc\\passwd").ok());
  EXPECT_FALSE(ToNativePath("D:\\tmp\\..\\..\\x").ok());
  // A part that names a root, joined on, would replace the private root.
  EXPECT_EQ(ToNativePath("D:\\\\etc\\passwd").value(), root / "etc" / "passwd");
#ifdef _WIN32
  EXPECT_FALSE(ToNativePath("D:\\C:\\Windows").ok());
#endif

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
  only_the_user_may_enter(folder.value());

  // Never through a symbolic link: neither inside the root nor as the root.
  // (On Windows a link needs a privilege that users lack.)
#ifndef _WIN32
  fs::create_directory_symlink(base / "elsewhere", root / "tmp");
  EXPECT_NE(ToNativePath("D:\\tmp\\x").error().find("symbolic link"), std::string::npos);
  fs::remove_all(root);
  chmod((base / "elsewhere").c_str(), 0700);
  fs::create_directory_symlink(base / "elsewhere", root);
  const NativePath linked = PrivateRoot();
  EXPECT_FALSE(linked.ok());
  EXPECT_NE(linked.error().find("symbolic link"), std::string::npos) << linked.error();
#endif
}

TEST(PathsTest, OtherNamesAndFolders) {
  const NativePath ini = ToNativePath(".\\quon.ini");
  ASSERT_TRUE(ini.ok());
  EXPECT_EQ(ini.value(), fs::current_path() / "quon.ini");
  EXPECT_EQ(ToNativePath(".\\sub\\preset.xls").value(), fs::current_path() / "sub" / "preset.xls");
  EXPECT_EQ(ToNativePath(".\\Grüße 画.ini").value(), fs::current_path() / u8"Grüße 画.ini");
  EXPECT_EQ(ToNativePath("/data/image.bin").value(), fs::path("/data/image.bin"));
  EXPECT_EQ(PathText(fs::path(u8"/data/Grüße 画.bin")), "/data/Grüße 画.bin");
  const std::pair<const char*, const char*> folders[] = {
      {"/data/images/flash.bin", "/data/images/"},
#ifdef _WIN32  // both separators
      {"dir/my\\image.bin", "dir/my\\"},
      {"C:\\work\\flash.bin", "C:\\work\\"},
#else  // a backslash is part of a name
      {"dir/my\\image.bin", "dir/"},
      {"C:\\work\\flash.bin", ""},
#endif
  };
  for (const auto& [path, folder] : folders)
    EXPECT_EQ(FolderWithSeparator(path), folder) << path;
#ifdef _WIN32
  EXPECT_TRUE(fs::exists(ProgramFolder() / "platform_tests.exe"));
#else
  EXPECT_TRUE(fs::exists(ProgramFolder() / "platform_tests"));
#endif
}

}  // namespace
}  // namespace nuv::platform
