#include "app/window_options.h"

namespace kr450 {

bool ParseWindowOptions(int argc, char** argv, WindowOptions* options, bool* help,
                        std::string* error) {
  *help = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--simulate") {
      options->simulate = true;
    } else if (arg == "--trace") {
      options->trace = true;
    } else if (arg == "--tray") {
      options->tray = true;
    } else if (arg == "--data") {
      if (i + 1 >= argc) {
        *error = "--data needs a folder";
        return false;
      }
      options->dataDir = argv[++i];
    } else if (arg == "--help" || arg == "-h") {
      *help = true;
    } else {
      *error = "unknown argument " + std::string(arg);
      return false;
    }
  }
  return true;
}

}  // namespace kr450
