#include "toolcfg/extract.h"

#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <thread>

#include "platform/errors.h"
#include "platform/output_file.h"
#include "platform/paths.h"

namespace nuv::toolcfg {
namespace {

namespace fs = std::filesystem;

const image::BlockRecord* FindToolConfigBlock(const image::BlockTable& table) {
  for (const image::BlockRecord& record : table.records) {
    const auto name = record.entry.name_bytes();
    if (std::memcmp(name.data(), kToolConfigBlockName.data(), kToolConfigBlockName.size()) == 0)
      return &record;
  }
  return nullptr;
}

}  // namespace

ExtractResult ExtractToolConfig(const image::FlashImage& image, CommandRunner& runner,
                                Messages& messages) {
  if (image.table.total() == 0)
    return ExtractResult::kNoToolConfigBlock;
  const image::BlockRecord* block = FindToolConfigBlock(image.table);
  if (!block)
    return ExtractResult::kNoToolConfigBlock;

  const platform::NativePath folder = platform::ToWorkingPath(kTemporaryFolder);
  const platform::NativePath compressed = platform::ToWorkingPath(kCompressedScript);
  const platform::NativePath script = platform::ToWorkingPath(kExtractedScript);
  for (const platform::NativePath* path : {&folder, &compressed, &script}) {
    if (!path->ok()) {
      messages.Show(BoxCaption::Application, path->error());
      return ExtractResult::kNotWritten;
    }
  }
  std::error_code ignored;
  fs::create_directory(folder.value(), ignored);
  fs::remove(script.value(), ignored);

  // The block's data as it stands now: a Save New Flash may have moved the
  // block in the working table, and the loaded image no longer holds it
  // where the table says.
  if (!platform::WriteFileReplacing(compressed.value(), image::SizedData(*block)).ok()) {
    messages.Show(BoxCaption::Application, "Cannot write " + std::string(kCompressedScript) + " (" +
                                               compressed.value().string() + ")!");
    return ExtractResult::kNotWritten;
  }

  // A gzip that cannot start leaves no script: the parse says so, and the
  // runner's start_error says why.
  static_cast<void>(runner.Start(kGzipCommand, false));
  while (runner.IsRunning())
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  platform::SetFileHidden(script.value());
  return ExtractResult::kExtracted;
}

void RemoveExtractedToolConfig() {
  const platform::NativePath folder = platform::ToWorkingPath(kTemporaryFolder);
  const platform::NativePath compressed = platform::ToWorkingPath(kCompressedScript);
  const platform::NativePath script = platform::ToWorkingPath(kExtractedScript);
  if (!folder.ok() || !compressed.ok() || !script.ok())
    return;  // nothing can have been extracted there
  std::error_code error;
  if (!fs::remove(script.value(), error) && error)
    throw FileError(std::string(kExtractedScript) + " cannot be removed: " + error.message());
  fs::remove(compressed.value(), error);
  // Fails, as it should, when something else lies in the folder.
  fs::remove(folder.value(), error);
}

}  // namespace nuv::toolcfg
