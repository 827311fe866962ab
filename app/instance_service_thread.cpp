#include "app/instance_service_thread.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace kr450 {

InstanceServiceThread::InstanceServiceThread(InstanceGuard& guard)
    : guard_(guard), stop_(::eventfd(0, EFD_CLOEXEC)) {
  if (stop_ >= 0) thread_ = std::thread([this] { Serve(); });
}

InstanceServiceThread::~InstanceServiceThread() {
  if (thread_.joinable()) {
    const uint64_t one = 1;
    [[maybe_unused]] ssize_t ignored = ::write(stop_, &one, sizeof one);
    thread_.join();
  }
  if (stop_ >= 0) ::close(stop_);
}

void InstanceServiceThread::Serve() {
  pollfd watched[2] = {{guard_.fd(), POLLIN, 0}, {stop_, POLLIN, 0}};
  for (;;) {
    if (::poll(watched, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (watched[1].revents != 0) return;
    if (watched[0].revents != 0) guard_.HandleReadable();
  }
}

}  // namespace kr450
