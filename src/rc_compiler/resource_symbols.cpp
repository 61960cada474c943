#include "rc_compiler/resource_symbols.h"

#include <array>
#include <utility>

#include "framework/constants.h"
#include "rc_compiler/rc_lexer.h"

namespace nuv::rc {
namespace {

using namespace fw;

struct Win32Name {
  std::string_view name;
  int64_t value;
};

constexpr std::array kWin32Names = {
    Win32Name{"WS_OVERLAPPED", WS_OVERLAPPED},
    Win32Name{"WS_POPUP", WS_POPUP},
    Win32Name{"WS_CHILD", WS_CHILD},
    Win32Name{"WS_MINIMIZE", WS_MINIMIZE},
    Win32Name{"WS_VISIBLE", WS_VISIBLE},
    Win32Name{"WS_DISABLED", WS_DISABLED},
    Win32Name{"WS_CLIPSIBLINGS", WS_CLIPSIBLINGS},
    Win32Name{"WS_CLIPCHILDREN", WS_CLIPCHILDREN},
    Win32Name{"WS_MAXIMIZE", WS_MAXIMIZE},
    Win32Name{"WS_CAPTION", WS_CAPTION},
    Win32Name{"WS_BORDER", WS_BORDER},
    Win32Name{"WS_DLGFRAME", WS_DLGFRAME},
    Win32Name{"WS_VSCROLL", WS_VSCROLL},
    Win32Name{"WS_HSCROLL", WS_HSCROLL},
    Win32Name{"WS_SYSMENU", WS_SYSMENU},
    Win32Name{"WS_THICKFRAME", WS_THICKFRAME},
    Win32Name{"WS_GROUP", WS_GROUP},
    Win32Name{"WS_TABSTOP", WS_TABSTOP},
    Win32Name{"WS_MINIMIZEBOX", WS_MINIMIZEBOX},
    Win32Name{"WS_MAXIMIZEBOX", WS_MAXIMIZEBOX},
    Win32Name{"WS_EX_DLGMODALFRAME", WS_EX_DLGMODALFRAME},
    Win32Name{"WS_EX_NOPARENTNOTIFY", WS_EX_NOPARENTNOTIFY},
    Win32Name{"WS_EX_TOPMOST", WS_EX_TOPMOST},
    Win32Name{"WS_EX_TRANSPARENT", WS_EX_TRANSPARENT},
    Win32Name{"WS_EX_TOOLWINDOW", WS_EX_TOOLWINDOW},
    Win32Name{"WS_EX_CLIENTEDGE", WS_EX_CLIENTEDGE},
    Win32Name{"WS_EX_STATICEDGE", WS_EX_STATICEDGE},
    Win32Name{"DS_ABSALIGN", DS_ABSALIGN},
    Win32Name{"DS_SYSMODAL", DS_SYSMODAL},
    Win32Name{"DS_3DLOOK", DS_3DLOOK},
    Win32Name{"DS_FIXEDSYS", DS_FIXEDSYS},
    Win32Name{"DS_NOFAILCREATE", DS_NOFAILCREATE},
    Win32Name{"DS_LOCALEDIT", DS_LOCALEDIT},
    Win32Name{"DS_SETFONT", DS_SETFONT},
    Win32Name{"DS_MODALFRAME", DS_MODALFRAME},
    Win32Name{"DS_SETFOREGROUND", DS_SETFOREGROUND},
    Win32Name{"DS_CONTROL", DS_CONTROL},
    Win32Name{"DS_CENTER", DS_CENTER},
    Win32Name{"DS_SHELLFONT", DS_SHELLFONT},
    Win32Name{"SS_LEFT", SS_LEFT},
    Win32Name{"SS_CENTER", SS_CENTER},
    Win32Name{"SS_RIGHT", SS_RIGHT},
    Win32Name{"SS_NOTIFY", SS_NOTIFY},
    Win32Name{"SS_CENTERIMAGE", SS_CENTERIMAGE},
    Win32Name{"SS_SUNKEN", SS_SUNKEN},
    Win32Name{"ES_LEFT", ES_LEFT},
    Win32Name{"ES_CENTER", ES_CENTER},
    Win32Name{"ES_RIGHT", ES_RIGHT},
    Win32Name{"ES_MULTILINE", ES_MULTILINE},
    Win32Name{"ES_AUTOVSCROLL", ES_AUTOVSCROLL},
    Win32Name{"ES_AUTOHSCROLL", ES_AUTOHSCROLL},
    Win32Name{"ES_READONLY", ES_READONLY},
    Win32Name{"ES_WANTRETURN", ES_WANTRETURN},
    Win32Name{"ES_NUMBER", ES_NUMBER},
    Win32Name{"BS_PUSHBUTTON", BS_PUSHBUTTON},
    Win32Name{"BS_DEFPUSHBUTTON", BS_DEFPUSHBUTTON},
    Win32Name{"BS_CHECKBOX", BS_CHECKBOX},
    Win32Name{"BS_AUTOCHECKBOX", BS_AUTOCHECKBOX},
    Win32Name{"BS_RADIOBUTTON", BS_RADIOBUTTON},
    Win32Name{"BS_3STATE", BS_3STATE},
    Win32Name{"BS_AUTO3STATE", BS_AUTO3STATE},
    Win32Name{"BS_GROUPBOX", BS_GROUPBOX},
    Win32Name{"BS_AUTORADIOBUTTON", BS_AUTORADIOBUTTON},
    Win32Name{"CBS_SIMPLE", CBS_SIMPLE},
    Win32Name{"CBS_DROPDOWN", CBS_DROPDOWN},
    Win32Name{"CBS_DROPDOWNLIST", CBS_DROPDOWNLIST},
    Win32Name{"CBS_AUTOHSCROLL", CBS_AUTOHSCROLL},
    Win32Name{"CBS_SORT", CBS_SORT},
    Win32Name{"CBS_HASSTRINGS", CBS_HASSTRINGS},
    Win32Name{"IDOK", IDOK},
    Win32Name{"IDCANCEL", IDCANCEL},
    Win32Name{"IDC_STATIC", -1},
};

std::string AtLine(std::string_view name, int line, std::string_view what) {
  return std::string(name) + ":" + std::to_string(line) + ": " + std::string(what);
}

}  // namespace

std::optional<int64_t> ResourceSymbols::FindWin32(std::string_view name) {
  for (const Win32Name& entry : kWin32Names) {
    if (entry.name == name)
      return entry.value;
  }
  return std::nullopt;
}

std::optional<int64_t> ResourceSymbols::Find(std::string_view name) const {
  if (auto it = defines_.find(name); it != defines_.end())
    return it->second;
  return FindWin32(name);
}

std::string ResourceSymbols::ReadHeader(std::string_view text, std::string_view header_name) {
  RcLexer lexer(text);
  for (;;) {
    const RcLexer::Token token = lexer.Next();
    if (token.kind == RcLexer::Kind::End)
      return {};
    if (token.kind == RcLexer::Kind::Error)
      return AtLine(header_name, token.line, token.text);
    if (token.kind != RcLexer::Kind::Directive)
      return AtLine(header_name, token.line, "expected a #define line, found " + Describe(token));

    RcLexer line(token.text, token.line);
    const RcLexer::Token keyword = line.Next();
    if (keyword.kind == RcLexer::Kind::Name && keyword.text == "pragma") {
      const RcLexer::Token what = line.Next();
      if (what.kind == RcLexer::Kind::Name && what.text == "once" &&
          line.Next().kind == RcLexer::Kind::End)
        continue;
      return AtLine(header_name, token.line, "only '#pragma once' is understood");
    }
    if (keyword.kind != RcLexer::Kind::Name || keyword.text != "define")
      return AtLine(
          header_name, token.line,
          "only #define and #pragma once belong in an id header, found '#" + token.text + "'");

    const RcLexer::Token name = line.Next();
    if (name.kind != RcLexer::Kind::Name)
      return AtLine(header_name, token.line, "#define needs a name");
    // A value: [(] [-] number-or-name [)]
    RcLexer::Token next = line.Next();
    int64_t value = 1;
    if (next.kind != RcLexer::Kind::End) {
      const bool parenthesised = next.kind == RcLexer::Kind::Punct && next.text == "(";
      if (parenthesised)
        next = line.Next();
      const bool negative = next.kind == RcLexer::Kind::Punct && next.text == "-";
      if (negative)
        next = line.Next();
      if (next.kind == RcLexer::Kind::Number) {
        value = next.value;
      } else if (next.kind == RcLexer::Kind::Name && Find(next.text)) {
        value = *Find(next.text);
      } else {
        return AtLine(header_name, token.line,
                      "the value of " + name.text + " must be a number, found " + Describe(next));
      }
      if (negative)
        value = -value;
      if (parenthesised) {
        const RcLexer::Token close = line.Next();
        if (close.kind != RcLexer::Kind::Punct || close.text != ")")
          return AtLine(header_name, token.line, "a ')' is missing in the value of " + name.text);
      }
      if (const RcLexer::Token rest = line.Next(); rest.kind != RcLexer::Kind::End)
        return AtLine(header_name, token.line,
                      "unexpected " + Describe(rest) + " after the value of " + name.text);
    }
    if (auto it = defines_.find(name.text); it != defines_.end() && it->second != value)
      return AtLine(header_name, token.line, name.text + " is defined twice with different values");
    defines_[name.text] = value;
  }
}

}  // namespace nuv::rc
