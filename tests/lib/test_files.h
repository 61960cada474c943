#pragma once

// Files, folders, the environment and programs as tests use them: every
// test that writes a file, reads one back or runs a command line takes
// these, so that each folder is fresh and goes again, whatever the test.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32  // as <windows.h> declares it, which would bring its macros
extern "C" __declspec(dllimport) int __stdcall SetEnvironmentVariableA(const char* name,
                                                                       const char* value);
#endif

namespace nuv::test {

inline std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

inline std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

inline void WriteFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

inline void WriteFile(const std::filesystem::path& path, std::string_view text) {
  WriteFile(path, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

// A fresh folder, removed with everything in it afterwards.
class TempFolder {
 public:
  TempFolder() {
#ifdef _WIN32  // no mkdtemp: a random name, made only if nobody has it
    std::random_device random;
    for (int attempt = 0; attempt < 16 && path_.empty(); ++attempt) {
      const std::filesystem::path candidate =
          std::filesystem::temp_directory_path() / ("nuv-test-" + std::to_string(random()));
      std::error_code error;
      if (std::filesystem::create_directory(candidate, error))
        path_ = candidate;
    }
    if (path_.empty())
      ADD_FAILURE() << "cannot make a temporary folder";
#else
    std::string pattern = (std::filesystem::temp_directory_path() / "nuv-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
      ADD_FAILURE() << "cannot make a temporary folder";
    path_ = pattern;
#endif
  }
  ~TempFolder() {
    std::error_code ignored;
#ifdef _WIN32  // a read-only file cannot be removed there
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored))
      std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_write,
                                   std::filesystem::perm_options::add, ignored);
#endif
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const {
    return path_;
  }
  std::filesystem::path operator/(std::string_view name) const {
    return path_ / name;
  }

  // Writes the file `name` in the folder; its path.
  std::string Write(const std::string& name, std::span<const std::uint8_t> bytes) const {
    WriteFile(path_ / name, bytes);
    return (path_ / name).string();
  }
  std::string Write(const std::string& name, std::string_view text) const {
    WriteFile(path_ / name, text);
    return (path_ / name).string();
  }
  // A name that opens something other than a file: a named pipe that
  // nobody writes to, which reading would wait on for ever; on Windows,
  // which makes no pipes in folders, the null device.
  std::string Pipe(const std::string& name) const {
#ifdef _WIN32
    static_cast<void>(name);
    return "\\\\.\\NUL";
#else
    EXPECT_EQ(mkfifo((path_ / name).c_str(), 0600), 0);
    return (path_ / name).string();
#endif
  }
  std::vector<std::uint8_t> Read(const std::string& name) const {
    return ReadBytes(path_ / name);
  }

 private:
  std::filesystem::path path_;
};

// Puts an environment variable back as it was when the object goes; the
// second constructor first sets it, or removes it for no value.
class ScopedEnv {
 public:
  explicit ScopedEnv(std::string name) : name_(std::move(name)) {
    if (const char* old = std::getenv(name_.c_str()))
      old_ = old;
  }
  ScopedEnv(std::string name, const std::optional<std::string>& value)
      : ScopedEnv(std::move(name)) {
    Set(value);
  }
  ~ScopedEnv() { Set(old_); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  void Set(const std::optional<std::string>& value) {
#ifdef _WIN32
    // An empty value removes the C runtime's variable; the process
    // environment, which the tool reads and children inherit, can hold one.
    _putenv_s(name_.c_str(), value ? value->c_str() : "");
    if (value && value->empty())
      SetEnvironmentVariableA(name_.c_str(), "");
#else
    if (value)
      ::setenv(name_.c_str(), value->c_str(), 1);
    else
      ::unsetenv(name_.c_str());
#endif
  }
  std::string name_;
  std::optional<std::string> old_;
};

// The private root ("D:\") in a fresh folder for the object's life; the
// tool makes the root itself when it first needs it.
class PrivateRootFolder {
 public:
  const std::filesystem::path& path() const { return root_; }

 private:
  TempFolder folder_;
  std::filesystem::path root_ = folder_ / "d";
  ScopedEnv env_{"NUV_PRIVATE_ROOT", root_.string()};
};

// A path as one word of a command line: in single quotes for sh, in
// double quotes for cmd.exe.
inline std::string Quote(const std::filesystem::path& path) {
#ifdef _WIN32
  return "\"" + path.string() + "\"";
#else
  return "'" + path.string() + "'";
#endif
}

// Runs a command line with /bin/sh (cmd.exe on Windows); its exit status.
inline int Shell(const std::string& command) {
  const int status = std::system(command.c_str());
#ifdef _WIN32
  return status;
#else
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

struct RunResult {
  int status = -1;
  std::string out, err;
};

// Runs a command line with /bin/sh (cmd.exe on Windows) in `folder`, its
// standard output and error caught in files there.
inline RunResult Run(const std::string& command, const std::filesystem::path& folder) {
  const std::filesystem::path out = folder / "stdout", err = folder / "stderr";
#ifdef _WIN32  // Wine's cmd.exe takes no redirection after a group: one command
  const int status =
      Shell("cd /d " + Quote(folder) + " && " + command + " >" + Quote(out) + " 2>" + Quote(err));
#else
  const int status =
      Shell("cd " + Quote(folder) + " && (" + command + ") >" + Quote(out) + " 2>" + Quote(err));
#endif
#ifdef _WIN32  // a console program ends its lines with "\r\n" there
  const auto lines = [](std::string text) {
    for (size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos;)
      text.erase(at, 1);
    return text;
  };
  return {status, lines(ReadText(out)), lines(ReadText(err))};
#else
  return {status, ReadText(out), ReadText(err)};
#endif
}

}  // namespace nuv::test
