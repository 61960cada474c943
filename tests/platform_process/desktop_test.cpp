// A file opened as a double click on it would open it: in the program that
// the desktop associates with its kind.
#include "platform/desktop.h"

#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "test_files.h"

namespace nuv::platform {
namespace {

class Desktop : public ::testing::Test {
 protected:
  // What the associated program copied of the opened file, waited for up
  // to 10 seconds; empty when it never did.
  std::string Shown() {
    for (int i = 0; i < 200 && !std::filesystem::exists(folder_ / "shown"); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // done writing
    return test::ReadText(folder_ / "shown");
  }

  test::TempFolder folder_;
};

#ifdef _WIN32
// A kind of file of the test's own, its "open" command copying the file to
// "shown", registered while the test runs. Among the classes of the
// machine: Wine's shell reads no others.
class FileKind {
 public:
  FileKind(const std::wstring& extension, const std::wstring& command) : extension_(extension) {
    Set(extension_, L"NuvTestShown");
    Set(L"NuvTestShown\\shell\\open\\command", command);
  }
  ~FileKind() {
    RegDeleteTreeW(HKEY_CLASSES_ROOT, (extension_).c_str());
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L"NuvTestShown");
  }
  FileKind(const FileKind&) = delete;
  FileKind& operator=(const FileKind&) = delete;

 private:
  static void Set(const std::wstring& key, const std::wstring& value) {
    ASSERT_EQ(RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, REG_SZ, value.c_str(),
                              static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
  }
  std::wstring extension_;
};

TEST_F(Desktop, TheShellOpensAFileWithTheProgramOfItsKindAndNamesAKindWithoutOne) {
  const FileKind kind(L".nuvshown",
                      L"cmd.exe /c copy \"%1\" \"" + (folder_ / "shown").wstring() + L"\"");
  folder_.Write("a book.nuvshown", "workbook");
  const Result<DesktopOpen> opened = OpenWithDesktop(folder_ / "a book.nuvshown");
  ASSERT_TRUE(opened.ok()) << opened.error();
  EXPECT_EQ(opened.value(), DesktopOpen::kStarted);
  EXPECT_EQ(Shown(), "workbook");

  folder_.Write("b.nuvunknown", "workbook");
  const Result<DesktopOpen> unknown = OpenWithDesktop(folder_ / "b.nuvunknown");
  ASSERT_FALSE(unknown.ok());
  EXPECT_EQ(unknown.error(), "Windows knows no program that opens \".nuvunknown\" files");
}
#else
TEST_F(Desktop, XdgOpenOpensAFileWhereThereIsADisplayAndNothingStartsWithout) {
  folder_.Write("xdg-open", "#!/bin/sh\ncat \"$1\" > '" + (folder_ / "shown").string() + "'\n");
  ::chmod((folder_ / "xdg-open").c_str(), 0755);
  const test::ScopedEnv path("PATH", folder_.path().string() + ":" + std::getenv("PATH"));
  const test::ScopedEnv no_display("DISPLAY", std::nullopt),
      no_wayland("WAYLAND_DISPLAY", std::nullopt);
  folder_.Write("a book.xls", "workbook");

  const Result<DesktopOpen> unseen = OpenWithDesktop(folder_ / "a book.xls");
  ASSERT_TRUE(unseen.ok()) << unseen.error();
  EXPECT_EQ(unseen.value(), DesktopOpen::kNoDesktop);

  const test::ScopedEnv wayland("WAYLAND_DISPLAY", "wayland-0");
  const Result<DesktopOpen> opened = OpenWithDesktop(folder_ / "a book.xls");
  ASSERT_TRUE(opened.ok()) << opened.error();
  EXPECT_EQ(opened.value(), DesktopOpen::kStarted);
  EXPECT_EQ(Shown(), "workbook");
}
#endif

}  // namespace
}  // namespace nuv::platform
