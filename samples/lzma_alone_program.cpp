// The .lzma packing of the samples where liblzma is not at hand (the
// Windows build): the "e" command of the lzma program that the tool runs
// itself, found as the tool finds it, over files in a folder of its own.
#include <filesystem>
#include <optional>
#include <random>
#include <string>

#include "image_builder.h"
#include "platform/input_file.h"
#include "platform/paths.h"
#include "platform/spawn.h"
#include "sample_preset.h"

namespace nuv::samples {

std::vector<uint8_t> LzmaAloneCompress(std::span<const uint8_t> bytes) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path folder = fs::temp_directory_path(error) /
                          ("nuv-samples-lzma-" + std::to_string(std::random_device()()));
  if (error || !fs::create_directory(folder, error))
    return {};
  std::optional<std::vector<uint8_t>> packed;
  if (WriteBytesFile(folder / "in", bytes)) {
    const std::string args[] = {"lzma.exe", "e", platform::PathText(folder / "in"),
                                platform::PathText(folder / "out")};
    if (platform::RunToEnd(args).ok())
      if (platform::Result<platform::InputFile> out = platform::InputFile::Open(folder / "out");
          out.ok())
        packed = out.value().ReadAll();
  }
  fs::remove_all(folder, error);
  return packed ? std::move(*packed) : std::vector<uint8_t>();
}

}  // namespace nuv::samples
