#include "framework/headless/fixed_font_metrics.h"

#include <algorithm>

#include "framework/constants.h"

namespace nuv::fw::headless {
namespace {

int CharCount(std::string_view text) {
  int count = 0;
  for (char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
      ++count;
  }
  return count;
}

std::string ExpandTabs(std::string_view text) {
  std::string out;
  int column = 0;
  for (char c : text) {
    if (c == '\t') {
      do {
        out += ' ';
        ++column;
      } while (column % 8 != 0);
    } else {
      out += c;
      if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
        ++column;
    }
  }
  return out;
}

std::vector<std::string> Paragraphs(std::string_view text, bool single_line) {
  std::vector<std::string> paragraphs;
  std::string current;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
        ++i;
      if (single_line)
        continue;
      paragraphs.push_back(std::move(current));
      current.clear();
    } else {
      current += c;
    }
  }
  paragraphs.push_back(std::move(current));
  return paragraphs;
}

std::string TrimTrailingBlanks(std::string line) {
  while (!line.empty() && line.back() == ' ')
    line.pop_back();
  return line;
}

// Greedy word wrapping of one paragraph.
void Wrap(const std::string& paragraph, int max_chars, std::vector<std::string>& lines) {
  std::string line;     // the words placed so far, with the blanks between them
  std::string pending;  // blanks after the last word placed
  size_t i = 0;
  while (i < paragraph.size()) {
    if (paragraph[i] == ' ') {
      pending += ' ';
      ++i;
      continue;
    }
    size_t end = paragraph.find(' ', i);
    if (end == std::string::npos)
      end = paragraph.size();
    const std::string word = paragraph.substr(i, end - i);
    i = end;
    const bool starts_line = line.empty();
    if (!starts_line && CharCount(line) + CharCount(pending) + CharCount(word) > max_chars) {
      lines.push_back(line);  // the blanks in `pending` are where it broke
      line = word;
    } else {
      line += pending + word;
    }
    pending.clear();
  }
  lines.push_back(line.empty() ? pending : line);
}

}  // namespace

TextLayout LayoutText(std::string_view text, int max_width, uint32_t flags) {
  TextLayout layout;
  if (text.empty())
    return layout;
  const std::string expanded = (flags & DT_EXPANDTABS) != 0 ? ExpandTabs(text) : std::string(text);
  const bool word_break = (flags & DT_WORDBREAK) != 0 && (flags & DT_SINGLELINE) == 0;
  const int max_chars = std::max(0, max_width) / kCharWidth;
  for (const std::string& paragraph : Paragraphs(expanded, (flags & DT_SINGLELINE) != 0)) {
    if (word_break)
      Wrap(paragraph, max_chars, layout.lines);
    else
      layout.lines.push_back(paragraph);
  }
  for (std::string& line : layout.lines) {
    line = TrimTrailingBlanks(std::move(line));
    layout.width = std::max(layout.width, CharCount(line) * kCharWidth);
  }
  layout.height = static_cast<int>(layout.lines.size()) * kLineHeight;
  return layout;
}

}  // namespace nuv::fw::headless
