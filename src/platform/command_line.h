#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/result.h"

namespace nuv::platform {

// Splits a Windows command line into the arguments a Windows program sees,
// by the rules of the Microsoft C runtime (and CommandLineToArgvW):
//  - arguments are separated by blanks and tabs;
//  - the first argument, the program, ends at a blank or tab outside double
//    quotes; its quotes are dropped and a backslash is always literal;
//  - in the other arguments a double quote opens or closes a quoted part in
//    which blanks and tabs are kept; 2n backslashes before a quote give n
//    backslashes and the quote opens or closes; 2n+1 backslashes before a
//    quote give n backslashes and a literal quote; backslashes not before a
//    quote are literal; inside a quoted part two quotes in a row give one
//    literal quote and end the quoted part (so "a""b" gives a"b and
//    "a"""b" also gives a"b); a quoted part left open runs to the end.
// An empty or blank line gives no arguments.
std::vector<std::string> SplitWindowsCommandLine(std::string_view line);

// The text of one argument (not the program) that SplitWindowsCommandLine
// reads back as exactly `arg`: quoted when it is empty or holds a blank, a
// tab or a quote, with the backslashes before a quote doubled. For command
// lines built from names that may hold blanks or quotes.
std::string QuoteWindowsArgument(std::string_view arg);

// A command line turned into the argument vector of a native program.
struct NativeCommand {
  std::string program;            // the program as the command line names it ("gzip.exe")
  std::vector<std::string> argv;  // argv[0]: the program, looked up as FindProgram does
};

// Why a command line gives no native command: the sentence for the user,
// and the program as the line names it (empty when it names none), so that
// the message can say which program could not be started.
struct CommandRefusal {
  std::string program;
  std::string message;
};

// Turns the fixed command lines of the tool into native argument vectors,
// never through a shell:
//  - the program: "gzip.exe" becomes `gzip` and "lzma.exe" becomes
//    `lzma_alone` (compared without regard to case); any other program
//    name loses a trailing ".exe" and is otherwise kept;
//  - an argument that begins with a drive letter, ':' and '\' ("D:\tmp\x")
//    or with ".\" is a Windows-style name: "D:\" names a working file of
//    the tool and is mapped with ToWorkingPath into this process's working
//    folder, ".\" with ToNativePath into the current directory; a drive
//    other than D: does not exist here and refuses the command;
//  - an argument that is a native absolute path ("/...") and holds a
//    backslash is a native folder with "\name" appended (lzma's working
//    files): its last backslash becomes the native separator
//    (FileInFolder), the others belong to the folder's names;
//  - every other argument ("-d", "e", a plain name) is passed unchanged.
// Refused when the line has no program or a name cannot be mapped.
Result<NativeCommand, CommandRefusal> ToNativeCommand(std::string_view command_line);

}  // namespace nuv::platform
