#include "app/instance_cli.h"

#include <ostream>
#include <string>

#include "app/instance_paths.h"
#include "app/instance_protocol.h"

namespace kr450 {

std::unique_ptr<CliInstance> CliInstance::Claim(CliContext& context, std::string_view command) {
  const std::string identity = "kr450-cli " + std::string(command);
  const bool simulate = context.options.simulate;
  InstanceGuard::Acquired acquired =
      InstanceGuard::Acquire(InstanceKey(simulate, context.dataDirectory), identity);
  switch (acquired.outcome) {
    case InstanceGuard::Outcome::Primary:
      return std::make_unique<CliInstance>(std::move(acquired.guard), identity);
    case InstanceGuard::Outcome::AlreadyRunning: {
      const std::string name = RunningInstanceName(acquired.answer);
      context.err << "kr450-cli: "
                  << (simulate ? "a simulated KR-450 driver is already running on this data folder"
                               : "a KR-450 driver is already running")
                  << " (" << (name.empty() ? "it does not answer" : name)
                  << "); not starting a second one\n";
      return nullptr;
    }
    case InstanceGuard::Outcome::Error:
      break;
  }
  context.err << "kr450-cli: cannot make sure that only one driver runs: " << acquired.message
              << "\n";
  return nullptr;
}

CliInstance::CliInstance(std::unique_ptr<InstanceGuard> guard, std::string_view identity)
    : guard_(std::move(guard)) {
  // A driver without a window has nothing to show: a second start learns what runs instead.
  guard_->SetRequestHandler([busy = BusyAnswer(identity)](std::string_view request) {
    return request == REQUEST_RESTORE ? busy : std::string();
  });
  thread_.emplace(*guard_);
}

}  // namespace kr450
