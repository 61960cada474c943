#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace nuv::samples {

// One generated sample file: its name inside the sample folder (may contain
// '/' for a sub-folder) and its bytes. Every generator is deterministic: the
// same build writes the same bytes, so nothing binary is committed.
struct SampleFile {
  std::string name;
  std::vector<uint8_t> bytes;
};

using Generator = void (*)(std::vector<SampleFile>& out);

// Each sample_*.cpp registers its generator with a static registration.
struct GeneratorRegistration {
  GeneratorRegistration(std::string_view name, Generator generator);
};

// Every registered generator's files, generators in name order.
std::vector<SampleFile> GenerateAll();

// Writes every sample into `folder` (created when missing). False with a
// message in `error` when a file cannot be written.
bool WriteAll(const std::filesystem::path& folder, std::string& error);

}  // namespace nuv::samples
