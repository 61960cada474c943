// nuv(1): the manual page, written in roff from the command table. The
// build runs `nuv --man` to make it, so a command, option or exit status
// added to the table is in the manual page too.
#include <cstdio>
#include <string>
#include <string_view>

#include "command.h"

namespace nuv::cli {
namespace {

void Print(std::FILE* out, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), out);
}

// A help text is laid out for a terminal: a line break goes on in the same
// column. The manual page fills its own lines.
std::string Unwrapped(std::string_view text) {
  std::string joined;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\n') {
      joined.push_back(text[i]);
      continue;
    }
    while (i + 1 < text.size() && text[i + 1] == ' ')
      ++i;
    joined.push_back(' ');
  }
  return joined;
}

// Text as roff prints it literally: a backslash is an escape, a leading dot
// or quote a request, and a hyphen in an option name must stay a minus sign
// that can be copied into a shell.
std::string Roff(std::string_view text) {
  std::string escaped;
  for (char c : text) {
    if (c == '\\')
      escaped += "\\e";
    else if (c == '-')
      escaped += "\\-";
    else if (c == '"')
      escaped += "\\(dq";
    else
      escaped.push_back(c);
  }
  if (!escaped.empty() && (escaped[0] == '.' || escaped[0] == '\''))
    escaped.insert(0, "\\&");
  return escaped;
}

constexpr std::string_view kHead = R"(.TH NUV 1 "" "NUV" "User Commands"
.SH NAME
nuv \- configure the flash images of set\-top boxes from the command line
.SH SYNOPSIS
.B nuv
.I COMMAND
.RI [ ARGS ]
.br
.B nuv
.I COMMAND
.B \-\-help
.br
.B nuv help
.SH DESCRIPTION
.B nuv
is the command\-line face of the NUV flash configuration tool: the flows of
the NUV page, one command each, for work on many images in a batch.
It pre\-parses an image and reports what the page shows, generates a new
legacy image from the script beside it as the Customer Config dialog does,
exports a new\-format image's configuration to a workbook and builds a new
image from the edited workbook as the New Format dialog does, saves and
loads single blocks, compares two images and checks that an image is sound.
.PP
What a window would show in a message box is printed on standard error,
each line starting with
.BR "nuv: " ;
a command's results go to standard output.
No command changes the image it reads: a new image goes to the file given
with
.BR \-o .
.SH COMMANDS
)";

constexpr std::string_view kTail = R"(.SH EXIT STATUS
Every command exits 0 when it did its work, 1 when its input was refused or
the work failed (the reason is on standard error), and 2 when its command
line is not one it takes.
A command whose status answers a question, as
.BR cmp (1)'s
does, exits 1 for the answer it looks for and 2 when it failed; its
entry above says which.
.SH ENVIRONMENT
.TP
.B NUV_CODEPAGE
The ANSI code page of the 8\-bit texts in images, scripts and workbook cells:
1252, 936, 932, 949, 950, 1250 to 1258, or 65001 (UTF\-8).
1252 when it is not set; any other value is refused with a message.
.TP
.B NUV_PRIVATE_ROOT
The folder in which each run of the tool makes its own working folder,
the one that stands for D:\etmp on Windows.
By default
.I $XDG_RUNTIME_DIR/nuv\-d
or
.IR /tmp/nuv\-d\-UID .
.SH EXAMPLES
Check every image of a folder before it goes to the factory:
.PP
.RS
.nf
for image in images/*.bin; do
    nuv verify "$image" || echo "$image: not sound"
done
.fi
.RE
.SH SEE ALSO
.BR nuvhost (1),
.BR nuv\-drive (1);
the user's guide,
.I docs/guide.md
in the source.
)";

}  // namespace

void PrintManualPage(std::FILE* out) {
  Print(out, kHead);
  for (const Command* command : Commands()) {
    Print(out, ".SS \"nuv ");
    Print(out, Roff(command->name));
    Print(out, " ");
    Print(out, Roff(Unwrapped(command->usage)));
    Print(out, "\"\n");
    Print(out, Roff(Unwrapped(command->summary)));
    Print(out, ".\n");
    for (const Option* option : HelpOptions(*command)) {
      Print(out, ".TP\n.B ");
      Print(out, Roff(OptionLabel(*option)));
      Print(out, "\n");
      Print(out, Roff(Unwrapped(option->help)));
      Print(out, "\n");
    }
    Print(out, ".PP\nExit status: ");
    Print(out, Roff(ExitStatus(*command)));
    Print(out, ".\n");
  }
  Print(out, kTail);
}

}  // namespace nuv::cli
