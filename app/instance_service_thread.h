#pragma once

#include <thread>

#include "app/instance_guard.h"

namespace kr450 {

// Serves a guard's requests on a thread of its own, for a driver without an event loop
// (`kr450-cli run`, `sim`). The handler set on the guard is called on that thread. The thread
// sleeps in poll() until a request or a client's timeout comes.
class InstanceServiceThread {
 public:
  // Starts the thread; `guard` must outlive this object. Without an eventfd no thread starts
  // and requests stay unanswered (the driver itself runs on).
  explicit InstanceServiceThread(InstanceGuard& guard);
  // Stops and joins the thread.
  ~InstanceServiceThread();
  InstanceServiceThread(const InstanceServiceThread&) = delete;
  InstanceServiceThread& operator=(const InstanceServiceThread&) = delete;

  bool running() const { return thread_.joinable(); }

 private:
  void Serve();

  InstanceGuard& guard_;
  int stop_;  // an eventfd, written once to end the thread
  std::thread thread_;
};

}  // namespace kr450
