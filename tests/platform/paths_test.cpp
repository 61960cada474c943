#include "platform/paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace nuv::platform {
namespace {

namespace fs = std::filesystem;

// Points the private root at a fresh folder for one test and restores the
// environment afterwards.
class PrivateRootTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = fs::temp_directory_path() /
            ("nuv-paths-" + std::to_string(getpid()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(base_);
    fs::create_directories(base_);
    root_ = base_ / "root";
    setenv("NUV_PRIVATE_ROOT", root_.c_str(), 1);
  }
  void TearDown() override {
    unsetenv("NUV_PRIVATE_ROOT");
    fs::remove_all(base_);
  }
  fs::path base_;
  fs::path root_;
};

TEST_F(PrivateRootTest, CreatesTheRootClosedToOthers) {
  NativePath root = PrivateRoot();
  ASSERT_TRUE(root.ok) << root.error;
  struct stat st {};
  ASSERT_EQ(lstat(root_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(PrivateRootTest, DriveDNamesLandUnderTheRoot) {
  NativePath path = ToNativePath("D:\\tmp\\script-qv.cfg.gz");
  ASSERT_TRUE(path.ok) << path.error;
  EXPECT_EQ(path.path, root_ / "tmp" / "script-qv.cfg.gz");
  EXPECT_EQ(ToNativePath("d:\\tmp").path, root_ / "tmp");
}

TEST_F(PrivateRootTest, RefusesARootOpenToOthers) {
  fs::create_directory(root_);
  chmod(root_.c_str(), 0755);
  NativePath path = ToNativePath("D:\\tmp");
  EXPECT_FALSE(path.ok);
  EXPECT_NE(path.error.find("0700"), std::string::npos) << path.error;
}

TEST_F(PrivateRootTest, RefusesARootThatIsALink) {
  fs::create_directory(base_ / "elsewhere");
  chmod((base_ / "elsewhere").c_str(), 0700);
  fs::create_directory_symlink(base_ / "elsewhere", root_);
  NativePath path = PrivateRoot();
  EXPECT_FALSE(path.ok);
  EXPECT_NE(path.error.find("symbolic link"), std::string::npos) << path.error;
}

TEST_F(PrivateRootTest, NeverFollowsALinkInsideTheRoot) {
  ASSERT_TRUE(PrivateRoot().ok);
  fs::create_directory(base_ / "victim");
  fs::create_directory_symlink(base_ / "victim", root_ / "tmp");
  NativePath path = ToNativePath("D:\\tmp\\script-qv.cfg.gz");
  EXPECT_FALSE(path.ok);
  EXPECT_NE(path.error.find("symbolic link"), std::string::npos) << path.error;
}

TEST_F(PrivateRootTest, RefusesNamesThatClimbOutOfTheRoot) {
  EXPECT_FALSE(ToNativePath("D:\\..\\etc\\passwd").ok);
  EXPECT_FALSE(ToNativePath("D:\\tmp\\..\\..\\x").ok);
}

TEST(PathsTest, DotBackslashIsTheCurrentDirectory) {
  NativePath path = ToNativePath(".\\quon.ini");
  ASSERT_TRUE(path.ok);
  EXPECT_EQ(path.path, fs::current_path() / "quon.ini");
  EXPECT_EQ(ToNativePath(".\\sub\\preset.xls").path, fs::current_path() / "sub" / "preset.xls");
}

TEST(PathsTest, OtherNamesAreNativePaths) {
  EXPECT_EQ(ToNativePath("/data/image.bin").path, fs::path("/data/image.bin"));
  EXPECT_EQ(ToNativePath("image.bin").path, fs::path("image.bin"));
}

TEST(PathsTest, FolderKeepsItsLastSeparator) {
  EXPECT_EQ(FolderWithSeparator("/data/images/flash.bin"), "/data/images/");
  EXPECT_EQ(FolderWithSeparator("C:\\work\\flash.bin"), "C:\\work\\");
  EXPECT_EQ(FolderWithSeparator("flash.bin"), "");
}

TEST(PathsTest, ProgramFolderHoldsTheRunningProgram) {
  EXPECT_TRUE(fs::exists(ProgramFolder() / "platform_tests"));
}

}  // namespace
}  // namespace nuv::platform
