#include "app/instance_guard.h"

#include <thread>

#include "app/instance_client.h"
#include "app/instance_paths.h"

namespace kr450 {
namespace {

// Between two looks at a lock holder that does not listen yet.
constexpr std::chrono::milliseconds RETRY_PAUSE{20};

}  // namespace

InstanceGuard::Acquired InstanceGuard::Acquire(std::string_view key, std::string_view identity,
                                               std::string_view askPeer) {
  std::string folder;
  if (Status status = InstanceFolder(&folder); !status) {
    return {Outcome::Error, nullptr, {}, status.message()};
  }
  const std::string lockPath = InstanceLockPath(folder, key);
  const std::string socketPath = InstanceSocketPath(folder, key);
  const auto deadline = std::chrono::steady_clock::now() + ASK_TIMEOUT;
  for (;;) {
    InstanceLock::Attempt attempt = InstanceLock::TryTake(lockPath);
    if (attempt.outcome == InstanceLock::Outcome::Failed) {
      return {Outcome::Error, nullptr, {}, attempt.message};
    }
    if (attempt.outcome == InstanceLock::Outcome::Taken) {
      Status status = Status::Ok();
      std::unique_ptr<InstanceServer> server =
          InstanceServer::Listen(socketPath, std::string(identity), &status);
      if (server == nullptr) return {Outcome::Error, nullptr, {}, status.message()};
      std::unique_ptr<InstanceGuard> guard(
          new InstanceGuard(std::move(attempt.lock), std::move(server), std::string(identity)));
      return {Outcome::Primary, std::move(guard), {}, {}};
    }
    InstanceReply reply = AskAtSocket(socketPath, askPeer, deadline);
    // The holder is starting (not listening yet) or ending (the lock is about to go): look
    // again, at the lock first.
    const bool holderBetweenStates = reply.outcome == InstanceReply::Outcome::NoListener;
    if (!holderBetweenStates || std::chrono::steady_clock::now() >= deadline) {
      return {Outcome::AlreadyRunning, nullptr, std::move(reply.answer), {}};
    }
    std::this_thread::sleep_for(RETRY_PAUSE);
  }
}

}  // namespace kr450
