#include <ostream>

#include "app/cli.h"
#include "config/config_store.h"

namespace kr450 {
namespace {

bool ReportFailure(CliContext& context, const Status& status) {
  if (status) return false;
  context.err << "kr450-cli: " << status.message() << "\n";
  return true;
}

Result<int> TakeNumber(const std::vector<std::string>& args) {
  int n = 0;
  if (args.size() != 1 || !ParseConfigNumber(args[0], USER_CONFIG_COUNT, &n)) {
    return Status::Error("expected a configuration number 1..5");
  }
  return n;
}

Result<std::string> TakePath(const std::vector<std::string>& args) {
  if (args.size() != 1 || args[0].empty()) return Status::Error("expected one file name");
  return args[0];
}

DriverState& LoadedState(CliContext& context) {
  static DriverState state;
  LoadAtStartup(state, context.dataDirectory);
  return state;
}

void PrintConfig(CliContext& context, int current, const DeviceConfig& config) {
  context.out << "CurConfig=" << current << "\n";
  for (const auto& [key, value] : ConfigKeyValues(config)) {
    context.out << key << "=" << value << "\n";
  }
}

int Show(CliContext& context, const std::vector<std::string>& args) {
  DriverState& state = LoadedState(context);
  const int current = state.Snapshot().currentConfig;
  if (!args.empty()) {
    const Result<int> n = TakeNumber(args);
    if (ReportFailure(context, n.status())) return 2;
    ReadConfig(state, state.configFilePath, *n, false);
  }
  PrintConfig(context, current, state.Config());
  return 0;
}

int Select(CliContext& context, const std::vector<std::string>& args) {
  const Result<int> n = TakeNumber(args);
  if (ReportFailure(context, n.status())) return 2;
  DriverState& state = LoadedState(context);
  SelectConfig(state, *n);
  // The selection lasts beyond this process only through Init/CurConfig.
  Status status = UpdateIniFile(state.configFilePath, [&](IniDocument& doc) {
    doc.Set("Init", "CurConfig", std::to_string(*n));
  });
  return ReportFailure(context, status) ? 1 : 0;
}

int Save(CliContext& context, const std::vector<std::string>& args) {
  if (!args.empty()) return 2;
  DriverState& state = LoadedState(context);
  return ReportFailure(context, SaveCurrentConfig(state)) ? 1 : 0;
}

// The window keeps edits in memory until they are saved or applied; revert throws them away
// and goes back to what the mouse has. The command line holds no edits, so it shows the
// configuration the driver goes back to (with the stage chosen on the mouse) and stores
// nothing but that stage, as the window does.
int Revert(CliContext& context, const std::vector<std::string>& args) {
  if (!args.empty()) return 2;
  DriverState& state = LoadedState(context);
  if (ReportFailure(context, RevertToApplied(state))) return 1;
  PrintConfig(context, state.Snapshot().currentConfig, state.Config());
  return 0;
}

int Import(CliContext& context, const std::vector<std::string>& args) {
  const Result<std::string> chosen = TakePath(args);
  if (ReportFailure(context, chosen.status())) return 2;
  const std::string& path = *chosen;
  DriverState& state = LoadedState(context);
  // The import is stored at once here, so a file that holds no exported configuration must
  // not replace the current one with an empty configuration.
  if (const Result<IniDocument> doc = ReadIniFile(path);
      doc && !doc->HasSection(ConfigSectionName(EXCHANGE_CONFIG))) {
    context.err << "kr450-cli: no section " << ConfigSectionName(EXCHANGE_CONFIG) << " in " << path
                << "\n";
    return 1;
  }
  if (ReportFailure(context, ImportConfig(state, path))) return 1;
  // Without a window the imported configuration would vanish with the process: keep it as
  // the current configuration's saved state.
  return ReportFailure(context, SaveCurrentConfig(state)) ? 1 : 0;
}

int Export(CliContext& context, const std::vector<std::string>& args) {
  const Result<std::string> chosen = TakePath(args);
  if (ReportFailure(context, chosen.status())) return 2;
  const std::string& path = *chosen;
  DriverState& state = LoadedState(context);
  return ReportFailure(context, ExportConfig(state, path)) ? 1 : 0;
}

constexpr CliCommand COMMANDS[] = {
    {"show", "show [N]          print configuration N (default: the current one)", Show},
    {"select", "select N          make configuration N current", Select},
    {"save", "save              store the current configuration", Save},
    {"revert",
     "revert            show the configuration last applied, which the driver goes back to",
     Revert},
    {"import", "import FILE       take configuration 7 of FILE as the current one", Import},
    {"export", "export FILE       write the current configuration as configuration 7 of FILE",
     Export},
};

}  // namespace

std::span<const CliCommand> ConfigCommands() {
  return COMMANDS;
}

}  // namespace kr450
