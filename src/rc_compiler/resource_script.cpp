#include "rc_compiler/resource_script.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "framework/constants.h"
#include "rc_compiler/rc_lexer.h"
#include "rc_compiler/resource_symbols.h"

namespace nuv::rc {

using namespace fw;

namespace {

using Kind = RcLexer::Kind;
using Token = RcLexer::Token;

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

// The default style of each control statement, and the class it makes. The
// type bits of a combo box's default (CBS_SIMPLE) apply only when the
// statement gives no style, as with the resource compiler; every other
// default is combined with the style given (NOT takes bits away from it).
struct Statement {
  std::string_view name;
  std::string_view control_class;
  uint32_t default_style;
  bool has_text;
  uint32_t type_when_no_style = 0;
};

constexpr uint32_t kChildVisible = WS_CHILD | WS_VISIBLE;

constexpr Statement kStatements[] = {
    {"LTEXT", "STATIC", kChildVisible | WS_GROUP | SS_LEFT, true},
    {"CTEXT", "STATIC", kChildVisible | WS_GROUP | SS_CENTER, true},
    {"RTEXT", "STATIC", kChildVisible | WS_GROUP | SS_RIGHT, true},
    {"PUSHBUTTON", "BUTTON", kChildVisible | WS_TABSTOP | BS_PUSHBUTTON, true},
    {"DEFPUSHBUTTON", "BUTTON", kChildVisible | WS_TABSTOP | BS_DEFPUSHBUTTON, true},
    {"GROUPBOX", "BUTTON", kChildVisible | BS_GROUPBOX, true},
    {"CHECKBOX", "BUTTON", kChildVisible | WS_TABSTOP | BS_CHECKBOX, true},
    {"AUTOCHECKBOX", "BUTTON", kChildVisible | WS_TABSTOP | BS_AUTOCHECKBOX, true},
    {"EDITTEXT", "EDIT", kChildVisible | WS_TABSTOP | WS_BORDER | ES_LEFT, false},
    {"COMBOBOX", "COMBOBOX", kChildVisible | WS_TABSTOP, false, CBS_SIMPLE},
};

const Statement* FindStatement(std::string_view name) {
  for (const Statement& statement : kStatements) {
    if (statement.name == name)
      return &statement;
  }
  return nullptr;
}

class ScriptReader {
 public:
  ScriptReader(std::string_view script, std::string_view name, const ResourceSymbols& symbols)
      : lexer_(script), name_(name), symbols_(symbols) {
    Advance();
  }

  bool ReadAll(std::vector<ScriptDialog>& dialogs);
  const std::string& error() const { return error_; }

 private:
  void Advance() { token_ = lexer_.Next(); }
  bool Fail(std::string_view what) { return FailAt(token_.line, what); }
  bool FailAt(int line, std::string_view what) {
    if (error_.empty())
      error_ = std::string(name_) + ":" + std::to_string(line) + ": " + std::string(what);
    return false;
  }
  bool CheckLexer() { return token_.kind != Kind::Error || Fail(token_.text); }
  bool IsPunct(std::string_view p) const { return token_.kind == Kind::Punct && token_.text == p; }
  bool IsWord(std::string_view w) const { return token_.kind == Kind::Name && token_.text == w; }
  bool Expect(std::string_view p, std::string_view where) {
    if (!CheckLexer())
      return false;
    if (!IsPunct(p))
      return Fail("expected '" + std::string(p) + "' " + std::string(where) + ", found " +
                  Describe(token_));
    Advance();
    return true;
  }
  bool AcceptComma() {
    if (!IsPunct(","))
      return false;
    Advance();
    return true;
  }

  bool ReadDirective();
  bool ReadDialog(uint32_t id, std::vector<ScriptDialog>& dialogs);
  bool ReadDialogOptions(ScriptDialog& dialog, bool& has_style);
  bool ReadControl(ScriptDialog& dialog);
  bool ReadNumber(int64_t& value, std::string_view what);
  bool ReadPrimary(int64_t& value, std::string_view what);
  bool ReadStyle(uint32_t& style, std::string_view what);
  bool ReadText(std::string& text, std::string_view what);
  bool ReadId(int64_t& value, std::string_view what);
  // x, y, width, height, of `owner` ("the dialog's", "the control's").
  bool ReadPosition(std::string_view owner, int& x, int& y, int& cx, int& cy);
  bool KindOf(std::string_view control_class, uint32_t style, WindowKind& kind, int line);

  // Expressions nest through '-', '~' and parentheses; a script cannot nest
  // them deeper than this (and so cannot exhaust the stack).
  static constexpr int kMaxNesting = 64;

  RcLexer lexer_;
  std::string_view name_;
  const ResourceSymbols& symbols_;
  Token token_;
  std::string error_;
  int nesting_ = 0;
};

bool ScriptReader::ReadAll(std::vector<ScriptDialog>& dialogs) {
  for (;;) {
    if (!CheckLexer())
      return false;
    if (token_.kind == Kind::End)
      return true;
    if (token_.kind == Kind::Directive) {
      if (!ReadDirective())
        return false;
      continue;
    }
    int64_t id = 0;
    if (!ReadId(id, "a resource id"))
      return false;
    if (id <= 0 || id > 0xFFFF)
      return Fail("resource id " + std::to_string(id) + " is outside 1 to 65535");
    if (!CheckLexer())
      return false;
    if (token_.kind != Kind::Name)
      return Fail("expected a resource type after the id, found " + Describe(token_));
    const std::string type = token_.text;
    if (type != "DIALOGEX" && type != "DIALOG")
      return Fail("resources of type " + type + " are not understood; only DIALOG and DIALOGEX");
    Advance();
    const auto same = [&](const ScriptDialog& d) { return d.id == static_cast<uint32_t>(id); };
    if (std::any_of(dialogs.begin(), dialogs.end(), same))
      return Fail("dialog " + std::to_string(id) + " is declared twice");
    if (!ReadDialog(static_cast<uint32_t>(id), dialogs))
      return false;
  }
}

bool ScriptReader::ReadDirective() {
  RcLexer line(token_.text, token_.line);
  const Token keyword = line.Next();
  if (keyword.kind == Kind::Name && (keyword.text == "include" || keyword.text == "pragma")) {
    Advance();
    return true;
  }
  return Fail("the preprocessor line '#" + token_.text +
              "' is not understood; only #include and #pragma");
}

bool ScriptReader::ReadDialog(uint32_t id, std::vector<ScriptDialog>& dialogs) {
  ScriptDialog dialog;
  dialog.id = id;
  if (!ReadPosition("the dialog's", dialog.x, dialog.y, dialog.cx, dialog.cy))
    return false;
  if (AcceptComma()) {
    int64_t help_id = 0;
    if (!ReadNumber(help_id, "the dialog's help id"))
      return false;
  }

  bool has_style = false;
  if (!ReadDialogOptions(dialog, has_style))
    return false;
  if (!has_style)
    dialog.style = WS_POPUP | WS_BORDER | WS_SYSMENU;
  if (!CheckLexer())
    return false;
  if (!IsWord("BEGIN") && !IsPunct("{"))
    return Fail("expected BEGIN after the dialog's options, found " + Describe(token_));
  Advance();
  for (;;) {
    if (!CheckLexer())
      return false;
    if (IsWord("END") || IsPunct("}")) {
      Advance();
      break;
    }
    if (token_.kind == Kind::End)
      return Fail("the dialog " + std::to_string(id) + " has no END");
    if (!ReadControl(dialog))
      return false;
  }
  dialogs.push_back(std::move(dialog));
  return true;
}

bool ScriptReader::ReadDialogOptions(ScriptDialog& dialog, bool& has_style) {
  bool has_caption = false;
  for (;;) {
    if (!CheckLexer())
      return false;
    if (IsWord("STYLE")) {
      Advance();
      has_style = true;
      dialog.style = 0;
      if (!ReadStyle(dialog.style, "the dialog's style"))
        return false;
    } else if (IsWord("EXSTYLE")) {
      Advance();
      if (!ReadStyle(dialog.ex_style, "the dialog's extended style"))
        return false;
    } else if (IsWord("CAPTION")) {
      Advance();
      has_caption = true;
      if (!ReadText(dialog.caption, "the caption"))
        return false;
    } else if (IsWord("FONT")) {
      Advance();
      int64_t size = 0;
      if (!ReadNumber(size, "the font size") || !Expect(",", "after the font size") ||
          !ReadText(dialog.font.face, "the font name"))
        return false;
      dialog.font.point_size = static_cast<int>(size);
      // DIALOGEX adds weight, italic and character set.
      int64_t extra = 0;
      if (AcceptComma()) {
        if (!ReadNumber(extra, "the font weight"))
          return false;
        dialog.font.weight = static_cast<int>(extra);
        if (AcceptComma()) {
          if (!ReadNumber(extra, "the font's italic flag"))
            return false;
          dialog.font.italic = extra != 0;
          if (AcceptComma() && !ReadNumber(extra, "the font's character set"))
            return false;
        }
      }
    } else {
      break;
    }
  }
  // The resource compiler gives a dialog with a caption the caption style.
  if (has_caption)
    dialog.style |= WS_CAPTION;
  if (dialog.font.IsSet())
    dialog.style |= DS_SETFONT;
  return true;
}

bool ScriptReader::ReadControl(ScriptDialog& dialog) {
  if (token_.kind != Kind::Name)
    return Fail("expected a control statement, found " + Describe(token_));
  const std::string statement_name = token_.text;
  const int line = token_.line;
  ScriptControl control;
  int64_t id = 0;
  std::string control_class;

  if (statement_name == "CONTROL") {
    Advance();
    if (!ReadText(control.text, "the control's text") || !Expect(",", "after the control's text") ||
        !ReadId(id, "the control's id") || !Expect(",", "after the control's id"))
      return false;
    if (!CheckLexer())
      return false;
    if (token_.kind != Kind::Text && token_.kind != Kind::Name)
      return Fail("expected the control's class, found " + Describe(token_));
    control_class = Upper(token_.text);
    Advance();
    control.style = kChildVisible;
    if (!Expect(",", "after the control's class") ||
        !ReadStyle(control.style, "the control's style") ||
        !Expect(",", "after the control's style") ||
        !ReadPosition("the control's", control.x, control.y, control.cx, control.cy))
      return false;
    if (AcceptComma() && !ReadStyle(control.ex_style, "the control's extended style"))
      return false;
  } else {
    const Statement* statement = FindStatement(statement_name);
    if (statement == nullptr)
      return Fail("the control statement " + statement_name + " is not understood");
    Advance();
    control_class = statement->control_class;
    if (statement->has_text &&
        (!ReadText(control.text, "the control's text") || !Expect(",", "after the control's text")))
      return false;
    if (!ReadId(id, "the control's id") || !Expect(",", "after the control's id") ||
        !ReadPosition("the control's", control.x, control.y, control.cx, control.cy))
      return false;
    control.style = statement->default_style;
    if (AcceptComma()) {
      if (!ReadStyle(control.style, "the control's style"))
        return false;
      if (AcceptComma() && !ReadStyle(control.ex_style, "the control's extended style"))
        return false;
    } else {
      control.style |= statement->type_when_no_style;
    }
  }
  control.id = static_cast<uint32_t>(id);
  if (!KindOf(control_class, control.style, control.kind, line))
    return false;
  dialog.controls.push_back(std::move(control));
  return true;
}

bool ScriptReader::KindOf(std::string_view control_class, uint32_t style, WindowKind& kind,
                          int line) {
  if (control_class == "STATIC") {
    kind = WindowKind::Static;
  } else if (control_class == "EDIT") {
    kind = WindowKind::Edit;
  } else if (control_class == "COMBOBOX") {
    kind = WindowKind::ComboBox;
  } else if (control_class == "BUTTON") {
    switch (style & BS_TYPEMASK) {
      case BS_PUSHBUTTON:
      case BS_DEFPUSHBUTTON:
        kind = WindowKind::Button;
        break;
      case BS_CHECKBOX:
      case BS_AUTOCHECKBOX:
        kind = WindowKind::CheckBox;
        break;
      case BS_GROUPBOX:
        kind = WindowKind::GroupBox;
        break;
      default:
        return FailAt(line,
                      "the button type " + std::to_string(style & BS_TYPEMASK) +
                          " is not understood; only push buttons, check boxes and group boxes");
    }
  } else {
    return FailAt(line, "the control class " + std::string(control_class) +
                            " is not understood; only Button, Static, Edit and ComboBox");
  }
  return true;
}

bool ScriptReader::ReadPosition(std::string_view owner, int& x, int& y, int& cx, int& cy) {
  const std::string of(owner);
  int64_t values[4] = {};
  const char* names[4] = {"x", "y", "width", "height"};
  for (int i = 0; i < 4; ++i) {
    if (i > 0 && !Expect(",", "after " + of + " " + names[i - 1]))
      return false;
    if (!ReadNumber(values[i], of + " " + names[i]))
      return false;
  }
  x = static_cast<int>(values[0]);
  y = static_cast<int>(values[1]);
  cx = static_cast<int>(values[2]);
  cy = static_cast<int>(values[3]);
  return true;
}

bool ScriptReader::ReadText(std::string& text, std::string_view what) {
  if (!CheckLexer())
    return false;
  if (token_.kind != Kind::Text)
    return Fail("expected " + std::string(what) + " in quotes, found " + Describe(token_));
  text = token_.text;
  Advance();
  return true;
}

bool ScriptReader::ReadId(int64_t& value, std::string_view what) {
  if (!ReadNumber(value, what))
    return false;
  if (value < -1 || value > 0xFFFF)
    return Fail(std::string(what) + " " + std::to_string(value) + " is outside -1 to 65535");
  return true;
}

// number := primary { ('+' | '-' | '|') primary }
bool ScriptReader::ReadNumber(int64_t& value, std::string_view what) {
  if (!ReadPrimary(value, what))
    return false;
  while (IsPunct("+") || IsPunct("-") || IsPunct("|")) {
    const char op = token_.text[0];
    Advance();
    int64_t right = 0;
    if (!ReadPrimary(right, what))
      return false;
    value = op == '+' ? value + right : op == '-' ? value - right : (value | right);
  }
  if (value < -0x80000000LL || value > 0xFFFFFFFFLL)
    return Fail(std::string(what) + " does not fit 32 bits");
  return true;
}

// primary := number | name | '-' primary | '~' primary | '(' number ')'
bool ScriptReader::ReadPrimary(int64_t& value, std::string_view what) {
  struct Nesting {
    int& depth;
    explicit Nesting(int& d) : depth(++d) {}
    ~Nesting() { --depth; }
  } nesting(nesting_);
  if (nesting_ > kMaxNesting)
    return Fail(std::string(what) + " is nested too deeply");
  if (!CheckLexer())
    return false;
  if (token_.kind == Kind::Number) {
    value = token_.value;
    Advance();
    return true;
  }
  if (token_.kind == Kind::Name) {
    const std::optional<int64_t> found = symbols_.Find(token_.text);
    if (!found)
      return Fail("the name " + token_.text + " is not defined (in " + std::string(what) + ")");
    value = *found;
    Advance();
    return true;
  }
  if (IsPunct("-") || IsPunct("~")) {
    const bool negate = IsPunct("-");
    Advance();
    if (!ReadPrimary(value, what))
      return false;
    value = negate ? -value : static_cast<int64_t>(~static_cast<uint32_t>(value));
    return true;
  }
  if (IsPunct("(")) {
    Advance();
    return ReadNumber(value, what) && Expect(")", "to close the parenthesis");
  }
  return Fail("expected " + std::string(what) + ", found " + Describe(token_));
}

// style := [NOT] number { '|' [NOT] number }, starting from `style`.
bool ScriptReader::ReadStyle(uint32_t& style, std::string_view what) {
  for (;;) {
    if (!CheckLexer())
      return false;
    const bool remove = IsWord("NOT");
    if (remove)
      Advance();
    int64_t bits = 0;
    if (!ReadPrimary(bits, what))
      return false;
    const uint32_t mask = static_cast<uint32_t>(bits);
    style = remove ? (style & ~mask) : (style | mask);
    if (!IsPunct("|"))
      return true;
    Advance();
  }
}

}  // namespace

ResourceScript LoadResourceScript(std::string_view script, std::string_view header,
                                  std::string_view script_name, std::string_view header_name) {
  ResourceScript result;
  ResourceSymbols symbols;
  result.error = symbols.ReadHeader(header, header_name);
  if (!result.ok())
    return result;
  ScriptReader reader(script, script_name, symbols);
  if (!reader.ReadAll(result.dialogs)) {
    result.error = reader.error();
    result.dialogs.clear();
  }
  return result;
}

}  // namespace nuv::rc
