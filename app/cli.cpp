#include "app/cli.h"

#include <ostream>

#include "app/paths.h"
#include "config/decimal.h"

namespace kr450 {
namespace {

void PrintUsage(std::ostream& os) {
  os << "usage: kr450-cli [--data DIR] [--simulate] [--trace] [--input xtest|uinput|record] "
        "COMMAND [ARGS]\ncommands:\n";
  for (auto table : {ActionCommands(), DeviceCommands(), ConfigCommands()}) {
    for (const CliCommand& command : table) os << "  " << command.usage << "\n";
  }
}

const CliCommand* FindCommand(std::string_view name) {
  for (auto table : {ActionCommands(), DeviceCommands(), ConfigCommands()}) {
    for (const CliCommand& command : table) {
      if (command.name == name) return &command;
    }
  }
  return nullptr;
}

}  // namespace

bool ParseConfigNumber(std::string_view text, int max, int* n) {
  if (text.empty() || text.size() > 2) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  int value = ParseDecimal(text);
  if (value < 1 || value > max) return false;
  *n = value;
  return true;
}

int RunCli(int argc, char** argv, std::ostream& out, std::ostream& err) {
  CliOptions options;
  int i = 1;
  for (; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (arg == "--data" || arg == "--input") {
      if (i + 1 >= argc) {
        err << "kr450-cli: " << arg << " needs a value\n";
        return 2;
      }
      (arg == "--data" ? options.dataDir : options.input) = argv[++i];
    } else if (arg == "--simulate") {
      options.simulate = true;
    } else if (arg == "--trace") {
      options.trace = true;
    } else if (arg == "--help" || arg == "-h") {
      PrintUsage(out);
      return 0;
    } else if (arg.starts_with("--")) {
      err << "kr450-cli: unknown option " << arg << "\n";
      return 2;
    } else {
      break;
    }
  }
  if (i >= argc) {
    PrintUsage(err);
    return 2;
  }
  const CliCommand* command = FindCommand(argv[i]);
  if (command == nullptr) {
    err << "kr450-cli: unknown command " << argv[i] << "\n";
    PrintUsage(err);
    return 2;
  }
  if (!options.input.empty() && options.input != "xtest" && options.input != "uinput" &&
      options.input != "record") {
    err << "kr450-cli: --input must be xtest, uinput or record\n";
    return 2;
  }
  CliContext context{options, {}, out, err};
  context.dataDirectory = options.dataDir.empty() ? DataDirectory() : options.dataDir;
  if (Status status = EnsureConfigFile(context.dataDirectory); !status) {
    err << "kr450-cli: " << status.message() << "\n";
    return 1;
  }
  std::vector<std::string> args(argv + i + 1, argv + argc);
  return command->run(context, args);
}

}  // namespace kr450
