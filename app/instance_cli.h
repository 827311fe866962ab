#pragma once

#include <memory>
#include <optional>
#include <string_view>

#include "app/cli.h"
#include "app/instance_guard.h"
#include "app/instance_service_thread.h"

namespace kr450 {

// The single-instance guard of the command-line drivers `run` and `sim`: the same guard as the
// window's, served on a thread of its own. Two drivers of one mouse would perform every press
// twice.
class CliInstance {
 public:
  // Takes the guard for `command` ("run", "sim") on the key of the context's options. Null,
  // with the reason on context.err, when another driver holds it or no guard can be had.
  // Call it with the end signals blocked, so that the service thread inherits the mask.
  static std::unique_ptr<CliInstance> Claim(CliContext& context, std::string_view command);

  CliInstance(std::unique_ptr<InstanceGuard> guard, std::string_view identity);

 private:
  std::unique_ptr<InstanceGuard> guard_;
  std::optional<InstanceServiceThread> thread_;  // ends before the guard
};

}  // namespace kr450
