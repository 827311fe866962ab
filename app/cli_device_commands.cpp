#include "app/cli.h"

namespace kr450 {

std::span<const CliCommand> DeviceCommands() {
  return {};
}

}  // namespace kr450
