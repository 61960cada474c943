#include "framework/file_names.h"

#include "platform/paths.h"

namespace nuv::fw {
namespace {

// Splits at `separator` into pairs up to the first empty text.
FileFilter Pairs(std::string_view filter, char separator) {
  std::vector<std::string> texts;
  size_t start = 0;
  while (start < filter.size()) {
    const size_t end = filter.find(separator, start);
    if (end == std::string_view::npos)
      break;  // a piece without its terminator is not a whole entry
    if (end == start)
      break;  // an empty text ends the list
    texts.emplace_back(filter.substr(start, end - start));
    start = end + 1;
  }
  FileFilter pairs;
  for (size_t i = 0; i + 1 < texts.size(); i += 2)
    pairs.emplace_back(texts[i], texts[i + 1]);
  return pairs;
}

}  // namespace

std::string ApplyDefaultExtension(std::string_view path, std::string_view extension) {
  std::string result(path);
  if (extension.empty() || path.empty())
    return result;
  const std::string_view name = path.substr(platform::FolderWithSeparator(path).size());
  if (name.empty() || name.find('.') != std::string_view::npos)
    return result;
  result += '.';
  result += extension;
  return result;
}

FileFilter ParseBarFilter(std::string_view filter) {
  return Pairs(filter, '|');
}

FileFilter ParseNulFilter(std::string_view filter) {
  return Pairs(filter, '\0');
}

}  // namespace nuv::fw
