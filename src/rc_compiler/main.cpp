// nuv-rc: compiles the dialog templates of a resource script into C++
// tables at build time. A script it cannot read fails the build with the
// file, the line and what is wrong, in the form compilers use.
//
//   nuv-rc SCRIPT.rc HEADER.h OUT.cpp SYMBOL
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>

#include "rc_compiler/resource_script.h"
#include "rc_compiler/template_tables.h"

namespace {

std::optional<std::string> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Written beside the output and renamed over it, so a build that stops
// half way never leaves a truncated table behind.
bool WriteFile(const std::string& path, const std::string& text) {
  const std::string temporary = path + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out || !(out << text) || !out.flush())
      return false;
  }
  std::error_code error;
  std::filesystem::rename(temporary, path, error);
  return !error;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::cerr << "usage: nuv-rc SCRIPT.rc HEADER.h OUT.cpp SYMBOL\n";
    return 2;
  }
  const std::string script_path = argv[1];
  const std::string header_path = argv[2];
  const std::string out_path = argv[3];
  const std::optional<std::string> script = ReadFile(script_path);
  const std::optional<std::string> header = ReadFile(header_path);
  if (!script || !header) {
    std::cerr << (script ? header_path : script_path) << ": cannot be read\n";
    return 1;
  }
  const nuv::rc::ResourceScript read =
      nuv::rc::LoadResourceScript(*script, *header, script_path, header_path);
  if (!read.ok()) {
    std::cerr << read.error << "\n";
    return 1;
  }
  const std::string name = std::filesystem::path(script_path).filename().string();
  if (!WriteFile(out_path, nuv::rc::WriteTemplateTables(read, name, argv[4]))) {
    std::cerr << out_path << ": cannot be written\n";
    return 1;
  }
  return 0;
}
