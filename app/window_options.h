#pragma once

#include <string>
#include <string_view>

namespace kr450 {

// The options of the window program.
struct WindowOptions {
  bool simulate = false;  // --simulate: the simulated mouse instead of the system's devices
  bool trace = false;     // --trace: reports, synthesised calls and start-up steps on stdout
  bool tray = false;      // --tray: start hidden in the notification area
  std::string dataDir;    // --data DIR: folder of config.ini instead of the program's
};

// Parses the arguments after the program name. False with *error set for anything it does not
// know (the usage is then shown); *help for --help.
bool ParseWindowOptions(int argc, char** argv, WindowOptions* options, bool* help,
                        std::string* error);

inline constexpr std::string_view WINDOW_USAGE =
    "usage: kr450 [--simulate] [--data DIR] [--trace] [--tray]\n"
    "  --simulate  a simulated KR-450 instead of the system's devices\n"
    "  --data DIR  the folder of config.ini and Macro.dat instead of the program's\n"
    "  --trace     print feature reports, synthesised input and start-up steps\n"
    "  --tray      start with the window hidden in the notification area\n";

}  // namespace kr450
