#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <string_view>

#include "app/instance_lock.h"
#include "app/instance_protocol.h"
#include "app/instance_server.h"

namespace kr450 {

// One driver per user (or per data folder for a simulated session): the first start holds
// the lock of its key and listens on a socket in the user's private instance folder; a later
// start finds the lock held and asks the first one over the socket instead.
class InstanceGuard {
 public:
  using RequestHandler = InstanceServer::RequestHandler;

  enum class Outcome { Primary, AlreadyRunning, Error };
  struct Acquired {
    Outcome outcome;
    std::unique_ptr<InstanceGuard> guard;  // Primary: hold it as long as the driver runs
    std::string answer;   // AlreadyRunning: the running driver's answer; empty if it gave none
    std::string message;  // Error: why no guard could be had
  };

  // How long a later start waits for the first one to listen and answer: the first may hold
  // the lock and not listen yet.
  static constexpr std::chrono::milliseconds ASK_TIMEOUT{2000};

  // Takes the guard of `key` for a driver that calls itself `identity` ("kr450 window",
  // "kr450-cli run"), or, when another driver holds it, sends it `askPeer` (REQUEST_HELLO,
  // REQUEST_RESTORE) and returns its answer. No request is served before the owner first
  // calls HandleReadable(); until then they wait in the socket's queue.
  static Acquired Acquire(std::string_view key, std::string_view identity,
                          std::string_view askPeer = REQUEST_HELLO);

  // Stops listening, removes the socket and the lock file, and lets the next driver start.
  ~InstanceGuard() = default;
  InstanceGuard(const InstanceGuard&) = delete;
  InstanceGuard& operator=(const InstanceGuard&) = delete;

  // Answers every request but "hello", which the guard answers with "ok IDENTITY" itself.
  // Without a handler, or when it returns an empty line: ANSWER_UNKNOWN_REQUEST.
  void SetRequestHandler(RequestHandler handler) { server_->SetRequestHandler(std::move(handler)); }

  // Readable when requests wait: watch it (QSocketNotifier, poll) and call HandleReadable().
  int fd() const { return server_->fd(); }
  // Serves what waits, calling the handler on this thread. Never blocks.
  void HandleReadable() { server_->HandleReadable(); }

  const std::string& identity() const { return identity_; }

 private:
  InstanceGuard(std::unique_ptr<InstanceLock> lock, std::unique_ptr<InstanceServer> server,
                std::string identity)
      : lock_(std::move(lock)), server_(std::move(server)), identity_(std::move(identity)) {}

  // Members end in reverse order: the socket goes before the lock is let go.
  std::unique_ptr<InstanceLock> lock_;
  std::unique_ptr<InstanceServer> server_;
  std::string identity_;
};

}  // namespace kr450
