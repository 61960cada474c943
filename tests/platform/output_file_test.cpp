// The one writer of the tool's output files, against every kind of target a
// user can name. What each caller shows is tested with the caller.
#include "platform/output_file.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/paths.h"
#include "test_files.h"

namespace nuv::platform {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

const Bytes kNew = {'n', 'e', 'w', ' ', 'b', 'y', 't', 'e', 's'};

// A name of the table, in UTF-8 on every system.
fs::path Utf8Path(const char* utf8) {
  return fs::path(std::u8string(reinterpret_cast<const char8_t*>(utf8)));
}

void WriteOld(const fs::path& path, fs::perms perms) {
  std::ofstream(path, std::ios::binary).write("old", 3);
  fs::permissions(path, perms);
}

// Every entry below `folder`: its kind (and a link's target) and a file's
// bytes, so that "nothing changed" and "no temporary file left" are one
// comparison.
std::map<std::string, std::string> Listing(const fs::path& folder) {
  std::map<std::string, std::string> out;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    const std::string name = PathText(entry.path().lexically_relative(folder));
    const fs::file_status status = entry.symlink_status();
    if (fs::is_symlink(status)) {
      out[name] = "link " + fs::read_symlink(entry.path()).string();
    } else if (fs::is_regular_file(status)) {
      out[name] = "file " + test::ReadText(entry.path());
    } else {
      out[name] = "other";
    }
  }
  return out;
}

#ifndef _WIN32
// As a full disk would: the file size limit stops the write after 4 bytes.
WriteResult WriteWithSizeLimit(const fs::path& target, std::span<const uint8_t> bytes) {
  rlimit old_limit{};
  getrlimit(RLIMIT_FSIZE, &old_limit);
  const auto old_handler = signal(SIGXFSZ, SIG_IGN);
  rlimit limit = old_limit;
  limit.rlim_cur = 4;
  setrlimit(RLIMIT_FSIZE, &limit);
  WriteResult result = WriteFileReplacing(target, bytes);
  setrlimit(RLIMIT_FSIZE, &old_limit);
  signal(SIGXFSZ, old_handler);
  return result;
}
#endif

// Modes, the umask and links are POSIX's: on Windows a file's mode is not
// checked and a link needs a privilege that users lack.
class OutputFileTest : public ::testing::Test {
 protected:
#ifndef _WIN32
  void SetUp() override {
    old_mask_ = umask(027);
  }
  void TearDown() override {
    umask(old_mask_);
  }
  mode_t old_mask_ = 0;
#endif

  test::TempFolder folder_;
};

TEST_F(OutputFileTest, EachKindOfTarget) {
  const struct Case {
    const char* what;
    std::function<void(const fs::path&)> make;
    const char* target;               // in the folder; absolute names are taken as they are
    std::optional<WriteError> error;  // nothing: written
    const char* expect;      // written: the file that holds the bytes; else part of the error
    unsigned mode = 0;       // written: that file's permission bits afterwards
    bool disk_full = false;  // the disk refuses the bytes half-way
  } cases[] = {
      {"a new file gets 0666 less the umask", [](const fs::path&) {}, "new.bin", std::nullopt,
       "new.bin", 0640},
      {"an existing file keeps its mode",
       [](const fs::path& f) { WriteOld(f / "out.bin", fs::perms(0604)); }, "out.bin", std::nullopt,
       "out.bin", 0604},
      {"a name with any character", [](const fs::path&) {}, "画 Grüße 🙂.bin", std::nullopt,
       "画 Grüße 🙂.bin", 0640},
      {"a folder", [](const fs::path& f) { fs::create_directory(f / "dir"); }, "dir",
       WriteError::kRefused, "is a folder"},
#ifdef _WIN32
      {"a device", [](const fs::path&) {}, "NUL", WriteError::kRefused, "is a device"},
      {"the console", [](const fs::path&) {}, "CON", WriteError::kRefused, "is a device"},
      {"a read-only file",
       [](const fs::path& f) { WriteOld(f / "out.bin", fs::perms::owner_read); }, "out.bin",
       WriteError::kRefused, "out.bin\": it is read-only"},
      {"a folder that does not exist", [](const fs::path&) {}, "no/such/out.bin",
       WriteError::kCannotCreate, "out.bin\": "},
#else
      {"a link is written through and stays a link",
       [](const fs::path& f) {
         WriteOld(f / "t.bin", fs::perms(0600));
         fs::create_symlink("t.bin", f / "link.bin");
       },
       "link.bin", std::nullopt, "t.bin", 0600},
      {"a chain of links through another folder",
       [](const fs::path& f) {
         WriteOld(f / "t.bin", fs::perms(0644));
         fs::create_directory(f / "sub");
         fs::create_symlink("../t.bin", f / "sub" / "b.bin");
         fs::create_symlink("sub/b.bin", f / "a.bin");
       },
       "a.bin", std::nullopt, "t.bin", 0644},
      {"a link that leads nowhere is not followed",
       [](const fs::path& f) { fs::create_symlink("nowhere.bin", f / "dangling.bin"); },
       "dangling.bin", WriteError::kRefused, "does not exist"},
      {"a named pipe", [](const fs::path& f) { ASSERT_EQ(mkfifo((f / "pipe").c_str(), 0600), 0); },
       "pipe", WriteError::kRefused, "named pipe"},
      {"a link to a device",
       [](const fs::path& f) { fs::create_symlink("/dev/null", f / "null.bin"); }, "null.bin",
       WriteError::kRefused, "is a device"},
      {"a device", [](const fs::path&) {}, "/dev/null", WriteError::kRefused,
       "\"/dev/null\": it is a device"},
      {"a folder that does not exist", [](const fs::path&) {}, "no/such/out.bin",
       WriteError::kCannotCreate, "No such file or directory"},
      {"a disk that refuses the bytes",
       [](const fs::path& f) { WriteOld(f / "out.bin", fs::perms(0644)); }, "out.bin",
       WriteError::kCannotWrite, "out.bin\": File too large", 0, true},
#endif
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const fs::path folder = folder_ / std::to_string(&c - cases);
    fs::create_directory(folder);
    c.make(folder);
    std::map<std::string, std::string> expected = Listing(folder);
    const bool written = !c.error;
    if (written)
      expected[c.expect] = "file new bytes";

    const fs::path target = folder / Utf8Path(c.target);
#ifdef _WIN32
    const WriteResult result = WriteFileReplacing(target, kNew);
#else
    const WriteResult result =
        c.disk_full ? WriteWithSizeLimit(target, kNew) : WriteFileReplacing(target, kNew);
#endif
    ASSERT_EQ(result.ok(), written);
    EXPECT_EQ(Listing(folder), expected);
    if (written) {
#ifndef _WIN32
      EXPECT_EQ(fs::status(folder / c.expect).permissions(), fs::perms(c.mode));
#endif
    } else {
      EXPECT_EQ(result.failure().kind, *c.error);
      EXPECT_NE(result.error().find(c.expect), std::string::npos) << result.error();
    }
  }
#ifndef _WIN32
  struct stat null {};
  ASSERT_EQ(stat("/dev/null", &null), 0);
  EXPECT_TRUE(S_ISCHR(null.st_mode));
#endif
}

}  // namespace
}  // namespace nuv::platform
