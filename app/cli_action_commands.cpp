#include "app/cli.h"

namespace kr450 {

std::span<const CliCommand> ActionCommands() {
  return {};
}

}  // namespace kr450
