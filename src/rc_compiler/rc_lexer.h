#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace nuv::rc {

// Splits the text of a resource script or of its id header into tokens:
// names, numbers, quoted texts, punctuation, and preprocessor lines (whole).
// Comments are skipped.
class RcLexer {
 public:
  enum class Kind { Name, Number, Text, Punct, Directive, End, Error };

  struct Token {
    Kind kind = Kind::End;
    std::string text;   // the name, the text (unquoted), the punctuation, the
                        // directive line without '#', or the error
    int64_t value = 0;  // of a number
    int line = 0;
  };

  RcLexer(std::string_view source, int first_line = 1);

  Token Next();

 private:
  Token Make(Kind kind, std::string text, int line) const;
  bool SkipBlanksAndComments(std::string& error);
  Token ReadNumber();
  Token ReadText();
  bool AtLineStart() const;

  std::string_view source_;
  size_t pos_ = 0;
  int line_;
};

// A short description of a token for error messages: 'x', "text", 12, end.
std::string Describe(const RcLexer::Token& token);

}  // namespace nuv::rc
