#include "sample_set.h"

#include <algorithm>
#include <fstream>
#include <utility>

namespace nuv::samples {
namespace {

std::vector<std::pair<std::string, Generator>>& Registry() {
  static std::vector<std::pair<std::string, Generator>> registry;
  return registry;
}

}  // namespace

GeneratorRegistration::GeneratorRegistration(std::string_view name, Generator generator) {
  Registry().emplace_back(std::string(name), generator);
}

std::vector<SampleFile> GenerateAll() {
  auto generators = Registry();
  std::sort(generators.begin(), generators.end());
  std::vector<SampleFile> files;
  for (const auto& [name, generator] : generators) generator(files);
  return files;
}

bool WriteAll(const std::filesystem::path& folder, std::string& error) {
  for (const SampleFile& file : GenerateAll()) {
    const std::filesystem::path path = folder / file.name;
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.bytes.data()),
              static_cast<std::streamsize>(file.bytes.size()));
    if (!out) {
      error = "cannot write " + path.string();
      return false;
    }
  }
  return true;
}

}  // namespace nuv::samples
