#include "rc_compiler/rc_lexer.h"

#include <limits>

namespace nuv::rc {
namespace {

bool IsNameStart(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsNameChar(char c) {
  return IsNameStart(c) || IsDigit(c);
}

int HexDigit(char c) {
  if (IsDigit(c))
    return c - '0';
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  return -1;
}

}  // namespace

RcLexer::RcLexer(std::string_view source, int first_line) : source_(source), line_(first_line) {}

RcLexer::Token RcLexer::Make(Kind kind, std::string text, int line) const {
  Token token;
  token.kind = kind;
  token.text = std::move(text);
  token.line = line;
  return token;
}

bool RcLexer::AtLineStart() const {
  for (size_t i = pos_; i > 0; --i) {
    const char c = source_[i - 1];
    if (c == '\n')
      return true;
    if (c != ' ' && c != '\t' && c != '\r')
      return false;
  }
  return true;
}

bool RcLexer::SkipBlanksAndComments(std::string& error) {
  while (pos_ < source_.size()) {
    const char c = source_[pos_];
    if (c == '\n') {
      ++line_;
      ++pos_;
    } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
      ++pos_;
    } else if (source_.substr(pos_, 2) == "//") {
      while (pos_ < source_.size() && source_[pos_] != '\n')
        ++pos_;
    } else if (source_.substr(pos_, 2) == "/*") {
      const size_t end = source_.find("*/", pos_ + 2);
      if (end == std::string_view::npos) {
        error = "a comment is not closed";
        return false;
      }
      for (size_t i = pos_; i < end; ++i)
        line_ += source_[i] == '\n' ? 1 : 0;
      pos_ = end + 2;
    } else {
      return true;
    }
  }
  return true;
}

RcLexer::Token RcLexer::Next() {
  std::string error;
  if (!SkipBlanksAndComments(error))
    return Make(Kind::Error, error, line_);
  if (pos_ >= source_.size())
    return Make(Kind::End, "", line_);

  const char c = source_[pos_];
  const int line = line_;
  if (c == '#' && AtLineStart()) {
    const size_t end = source_.find('\n', pos_);
    const size_t stop = end == std::string_view::npos ? source_.size() : end;
    std::string directive(source_.substr(pos_ + 1, stop - pos_ - 1));
    if (!directive.empty() && directive.back() == '\r')
      directive.pop_back();
    pos_ = stop;
    return Make(Kind::Directive, std::move(directive), line);
  }
  if (c == 'L' && pos_ + 1 < source_.size() && source_[pos_ + 1] == '"') {
    ++pos_;  // a wide text reads like any other
    return ReadText();
  }
  if (IsNameStart(c)) {
    const size_t start = pos_;
    while (pos_ < source_.size() && IsNameChar(source_[pos_]))
      ++pos_;
    return Make(Kind::Name, std::string(source_.substr(start, pos_ - start)), line);
  }
  if (IsDigit(c))
    return ReadNumber();
  if (c == '"')
    return ReadText();
  if (std::string_view(",|(){}+-~").find(c) != std::string_view::npos) {
    ++pos_;
    return Make(Kind::Punct, std::string(1, c), line);
  }
  return Make(Kind::Error, "unexpected character '" + std::string(1, c) + "'", line);
}

RcLexer::Token RcLexer::ReadNumber() {
  const int line = line_;
  const size_t start = pos_;
  uint64_t value = 0;
  const uint64_t limit = std::numeric_limits<uint32_t>::max();
  bool too_big = false;
  if (source_.substr(pos_, 2) == "0x" || source_.substr(pos_, 2) == "0X") {
    pos_ += 2;
    size_t digits = 0;
    while (pos_ < source_.size() && HexDigit(source_[pos_]) >= 0) {
      value = value * 16 + static_cast<uint64_t>(HexDigit(source_[pos_]));
      too_big = too_big || value > limit;
      ++pos_;
      ++digits;
    }
    if (digits == 0)
      return Make(Kind::Error, "a hexadecimal number has no digits", line);
  } else {
    while (pos_ < source_.size() && IsDigit(source_[pos_])) {
      value = value * 10 + static_cast<uint64_t>(source_[pos_] - '0');
      too_big = too_big || value > limit;
      ++pos_;
    }
  }
  while (pos_ < source_.size() &&
         std::string_view("uUlL").find(source_[pos_]) != std::string_view::npos)
    ++pos_;
  const std::string spelled(source_.substr(start, pos_ - start));
  if (pos_ < source_.size() && IsNameChar(source_[pos_]))
    return Make(Kind::Error, "malformed number '" + spelled + source_[pos_] + "'", line);
  if (too_big)
    return Make(Kind::Error, "the number " + spelled + " does not fit 32 bits", line);
  Token token = Make(Kind::Number, spelled, line);
  token.value = static_cast<int64_t>(value);
  return token;
}

RcLexer::Token RcLexer::ReadText() {
  const int line = line_;
  ++pos_;  // the opening quote
  std::string text;
  while (pos_ < source_.size()) {
    const char c = source_[pos_];
    if (c == '\n')
      break;
    if (c == '"') {
      if (pos_ + 1 < source_.size() && source_[pos_ + 1] == '"') {
        text += '"';
        pos_ += 2;
        continue;
      }
      ++pos_;
      return Make(Kind::Text, std::move(text), line);
    }
    if (c == '\\' && pos_ + 1 < source_.size()) {
      const char e = source_[pos_ + 1];
      switch (e) {
        case 'n':
          text += '\n';
          break;
        case 't':
          text += '\t';
          break;
        case 'r':
          text += '\r';
          break;
        case '\\':
          text += '\\';
          break;
        case '"':
          text += '"';
          break;
        default:
          text += '\\';
          text += e;
          break;
      }
      pos_ += 2;
      continue;
    }
    text += c;
    ++pos_;
  }
  return Make(Kind::Error, "a quoted text is not closed on its line", line);
}

std::string Describe(const RcLexer::Token& token) {
  switch (token.kind) {
    case RcLexer::Kind::Name:
    case RcLexer::Kind::Punct:
      return "'" + token.text + "'";
    case RcLexer::Kind::Number:
      return token.text;
    case RcLexer::Kind::Text:
      return "\"" + token.text + "\"";
    case RcLexer::Kind::Directive:
      return "'#" + token.text + "'";
    case RcLexer::Kind::End:
      return "the end of the text";
    case RcLexer::Kind::Error:
      return token.text;
  }
  return {};
}

}  // namespace nuv::rc
