#include "app/cli.h"

#include <optional>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

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

// Passes everything on to another stream and remembers whether anything came, so that a
// command that rejects its arguments without a word still gets its usage line printed.
class WatchedStream final : public std::streambuf {
 public:
  explicit WatchedStream(std::ostream& target) : target_(target) {}
  bool used() const { return used_; }

 protected:
  int overflow(int c) override {
    if (c == traits_type::eof()) return traits_type::not_eof(c);
    used_ = true;
    target_.put(static_cast<char>(c));
    return c;
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    used_ = used_ || n > 0;
    target_.write(s, n);
    return n;
  }
  int sync() override {
    target_.flush();
    return 0;
  }

 private:
  std::ostream& target_;
  bool used_ = false;
};

const CliCommand* FindCommand(std::string_view name) {
  for (auto table : {ActionCommands(), DeviceCommands(), ConfigCommands()}) {
    for (const CliCommand& command : table) {
      if (command.name == name) return &command;
    }
  }
  return nullptr;
}

// Reads the options before the command into `options` and leaves `*next` at the command. An
// exit status when the command line ends there (--help, an unknown option, a missing value).
std::optional<int> ParseOptions(int argc, char** argv, CliOptions& options, int* next,
                                std::ostream& out, std::ostream& err) {
  int& i = *next;
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
  return std::nullopt;
}

bool IsInputBackendName(const std::string& input) {
  return input.empty() || input == "xtest" || input == "uinput" || input == "record";
}

// Runs the command on the data folder; a command that rejects its arguments without a word
// gets its usage line printed.
int RunCommand(const CliCommand& command, const CliOptions& options,
               const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  WatchedStream watched(err);
  std::ostream commandErr(&watched);
  CliContext context{options, {}, out, commandErr};
  context.dataDirectory = options.dataDir.empty() ? DataDirectory() : options.dataDir;
  if (Status status = EnsureConfigFile(context.dataDirectory); !status) {
    err << "kr450-cli: " << status.message() << "\n";
    return 1;
  }
  const int status = command.run(context, args);
  if (status == 2 && !watched.used()) {
    err << "usage: kr450-cli [OPTIONS] " << command.usage.substr(0, command.usage.find("  "))
        << "\n";
  }
  return status;
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
  if (const std::optional<int> exit = ParseOptions(argc, argv, options, &i, out, err)) {
    return *exit;
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
  if (!IsInputBackendName(options.input)) {
    err << "kr450-cli: --input must be xtest, uinput or record\n";
    return 2;
  }
  return RunCommand(*command, options, std::vector<std::string>(argv + i + 1, argv + argc), out,
                    err);
}

}  // namespace kr450
