// nuv-drive [--plugin LIBRARY] SCRIPT
//
// Loads the plug-in into a headless host, replays the script's user actions
// and prints the transcript on standard output. Exit status: 0 when every
// line was carried out, 1 when a line was refused or a file dialog or a box
// with Yes and No found no answer, 2 when the command line or the script
// file is wrong.
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "drive_backend.h"
#include "platform/input_file.h"
#include "platform/paths.h"
#include "script_runner.h"

namespace {

constexpr std::string_view kUsage =
    "usage: nuv-drive [--plugin LIBRARY] SCRIPT\n"
    "  Replays the user actions of SCRIPT on the plug-in (default: nuv.so beside\n"
    "  nuv-drive) in a headless host and prints the transcript.\n"
    "  Script lines: load | answer PATH|cancel|yes|no | click W ID | check W ID 0|1 |\n"
    "  type W ID TEXT | pick W ID N | wait MS | mouse W X Y |\n"
    "  key W [shift|escape|return|tab|space|LETTER|DIGIT] | scroll W ID N |\n"
    "  show W | sh COMMAND\n"
    "  scroll W ID N: the down arrow of the scroll bar of area ID is pressed N\n"
    "  times (the up arrow for negative N); show W then prints the line\n"
    "  `area ID pos=P max=M @L,T,R,B` and only the area's controls in view.\n"
    "  Windows W: main, config, field, newfmt, tip.\n";

int Usage(std::string_view problem) {
  std::cerr << "nuv-drive: " << problem << "\n" << kUsage;
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
#ifdef _WIN32
  constexpr const char* kPluginName = "nuv.dll";
#else
  constexpr const char* kPluginName = "nuv.so";
#endif
  std::string plugin = (nuv::platform::ProgramFolder() / kPluginName).string();
  std::string script_path;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--plugin") {
      if (i + 1 >= args.size())
        return Usage("--plugin needs a library");
      plugin = args[++i];
    } else if (args[i] == "--help" || args[i] == "-h") {
      std::cout << kUsage;
      return 0;
    } else if (!args[i].empty() && args[i][0] == '-') {
      return Usage("unknown option " + args[i]);
    } else if (script_path.empty()) {
      script_path = args[i];
    } else {
      return Usage("only one script can be replayed");
    }
  }
  if (script_path.empty())
    return Usage("no script given");

  const nuv::platform::Result<std::vector<uint8_t>> bytes =
      nuv::platform::ReadWholeFile(script_path);
  if (!bytes.ok())
    return Usage("cannot read the script " + script_path);
  std::istringstream script(std::string(bytes.value().begin(), bytes.value().end()));

  int status = 0;
  {
    nuv::drive::ScriptRunner runner(std::cout, std::cerr, plugin, nuv::drive::MakeDriveBackend());
    status = runner.Run(script);
  }
  std::cout.flush();
  return status;
}
