// What the resource compiler refuses, and how it says so: each refusal
// stops the build with the file, the line and what is wrong.
#include "rc_compiler/resource_script.h"

#include <gtest/gtest.h>

#include <fstream>
#include <ostream>
#include <sstream>
#include <string>

namespace nuv::rc {
namespace {

struct BadScript {
  std::string script;
  std::string header;
  std::string error;  // the whole message
};

// Names a case by its message in test listings.
void PrintTo(const BadScript& bad, std::ostream* out) {
  *out << bad.error;
}

class ResourceScriptErrors : public ::testing::TestWithParam<BadScript> {};

TEST_P(ResourceScriptErrors, NameTheFileTheLineAndWhatIsWrong) {
  const ResourceScript read =
      LoadResourceScript(GetParam().script, GetParam().header, "t.rc", "t.h");
  EXPECT_EQ(read.error, GetParam().error);
  EXPECT_TRUE(read.dialogs.empty());
}

// Expressions nest through '-', '~' and parentheses; the reader refuses them
// before they exhaust its stack.
const std::string kDeepMinus = "1 DIALOG " + std::string(100000, '-') + "0,0,1,1 BEGIN END\n";
const std::string kDeepParentheses =
    "1 DIALOG " + std::string(70, '(') + "0" + std::string(70, ')') + ",0,1,1 BEGIN END\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, ResourceScriptErrors,
    ::testing::Values(
        BadScript{"1 DIALOG 0,0,1,1\nBEGIN\n  LISTBOX 3, 0,0,1,1\nEND\n", "",
                  "t.rc:3: the control statement LISTBOX is not understood"},
        BadScript{"1 DIALOG 0,0,1,1\nBEGIN\n  EDITTEXT IDC_NOPE, 0,0,1,1\nEND\n", "",
                  "t.rc:3: the name IDC_NOPE is not defined (in the control's id)"},
        BadScript{"1 DIALOG 0,0,1,1\nBEGIN\n  LTEXT \"x\", 2, 0,0,1,1\n", "",
                  "t.rc:4: the dialog 1 has no END"},
        BadScript{"1 DIALOG 0,0,1,1\nBEGIN\n  LTEXT \"open, 2, 0,0,1,1\nEND\n", "",
                  "t.rc:3: a quoted text is not closed on its line"},
        BadScript{"/* never closed\n1 DIALOG 0,0,1,1\n", "", "t.rc:1: a comment is not closed"},
        BadScript{"1 DIALOG 0,0,1,1 BEGIN END\n1 DIALOG 0,0,1,1 BEGIN END\n", "",
                  "t.rc:2: dialog 1 is declared twice"},
        BadScript{"1 MENU BEGIN END\n", "",
                  "t.rc:1: resources of type MENU are not understood; only DIALOG and DIALOGEX"},
        BadScript{"#ifdef X\n", "",
                  "t.rc:1: the preprocessor line '#ifdef X' is not understood; only #include "
                  "and #pragma"},
        BadScript{"1 DIALOG 0,0,1,1\nBEGIN\n CONTROL \"r\", 2, \"Button\", 4, 0,0,1,1\nEND\n", "",
                  "t.rc:3: the button type 4 is not understood; only push buttons, check boxes "
                  "and group boxes"},
        BadScript{"1 DIALOG 0,0,1,1\nBEGIN\n CONTROL \"r\", 2, \"ListBox\", 0, 0,0,1,1\nEND\n", "",
                  "t.rc:3: the control class LISTBOX is not understood; only Button, Static, "
                  "Edit and ComboBox"},
        BadScript{"1 DIALOG 0,0,1,1\nBEGIN\n PUSHBUTTON \"b\" 2, 0,0,1,1\nEND\n", "",
                  "t.rc:3: expected ',' after the control's text, found 2"},
        BadScript{"1 DIALOG 0,0,99999999999,1\n", "",
                  "t.rc:1: the number 99999999999 does not fit 32 bits"},
        BadScript{"1 DIALOG 0,0,1,1\nBEGIN\n PUSHBUTTON \"b\", 70000, 0,0,1,1\nEND\n", "",
                  "t.rc:3: the control's id 70000 is outside -1 to 65535"},
        BadScript{"0 DIALOG 0,0,1,1 BEGIN END\n", "",
                  "t.rc:1: resource id 0 is outside 1 to 65535"},
        BadScript{"1 DIALOG 0,0,1,1 BEGIN END\n", "#define A 1\nint x;\n",
                  "t.h:2: expected a #define line, found 'int'"},
        BadScript{"1 DIALOG 0,0,1,1 BEGIN END\n", "#define A B\n",
                  "t.h:1: the value of A must be a number, found 'B'"},
        BadScript{"1 DIALOG 0,0,1,1 BEGIN END\n", "#define A 1\n#define A 2\n",
                  "t.h:2: A is defined twice with different values"},
        BadScript{"1 DIALOG 0,0,1,1 BEGIN END\n", "#ifndef GUARD\n",
                  "t.h:1: only #define and #pragma once belong in an id header, found "
                  "'#ifndef GUARD'"},
        BadScript{"1 DIALOG 0,0,1,1 BEGIN @ END\n", "", "t.rc:1: unexpected character '@'"},
        BadScript{"1 DIALOG 0,0,1,1\nBEGIN\n LTEXT \"x\", 2, 0,0,1,1, WS_CHILD + 3\nEND\n", "",
                  "t.rc:3: expected a control statement, found '+'"},
        BadScript{kDeepMinus, "", "t.rc:1: the dialog's x is nested too deeply"},
        BadScript{kDeepParentheses, "", "t.rc:1: the dialog's x is nested too deeply"}));

std::string ReadSource(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(ResourceScript, EveryTruncationOfTheToolsScriptIsReadOrRefusedWithALine) {
  // Cut anywhere, the script either still reads (a cut between dialogs) or
  // is refused with the file and a line; the reader never runs past its end.
  const std::string script = ReadSource(NUV_RESOURCES_DIR "/nuv.rc");
  const std::string header = ReadSource(NUV_RESOURCES_DIR "/resource.h");
  ASSERT_TRUE(LoadResourceScript(script, header, "nuv.rc", "resource.h").ok());
  int refused = 0;
  // A prime stride cuts inside every kind of token somewhere along the way.
  for (size_t length = 0; length < script.size(); length += 31) {
    const ResourceScript cut =
        LoadResourceScript(script.substr(0, length), header, "nuv.rc", "resource.h");
    if (!cut.ok()) {
      ++refused;
      EXPECT_EQ(cut.error.rfind("nuv.rc:", 0), 0u) << cut.error;
    }
  }
  EXPECT_GT(refused, static_cast<int>(script.size() / 31) / 2);  // most cuts break a dialog
  for (size_t length = 0; length < header.size(); ++length) {
    const ResourceScript cut =
        LoadResourceScript("", header.substr(0, length), "nuv.rc", "resource.h");
    EXPECT_TRUE(cut.ok() || cut.error.rfind("resource.h:", 0) == 0) << cut.error;
  }
}

}  // namespace
}  // namespace nuv::rc
