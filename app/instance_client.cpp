#include "app/instance_client.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "app/instance_paths.h"
#include "app/instance_protocol.h"

namespace kr450 {
namespace {

using Deadline = std::chrono::steady_clock::time_point;

int MillisecondsUntil(Deadline deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      deadline - std::chrono::steady_clock::now());
  return left.count() <= 0 ? 0 : static_cast<int>(left.count()) + 1;
}

// A connected non-blocking socket, or -1 when nothing listens at `path`.
int Connect(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return -1;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  // Non-blocking: a driver whose queue of connections is full must not hold the asker up.
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// Reads until a whole line came, the peer closed or the deadline passed.
InstanceReply ReadAnswer(int fd, Deadline deadline) {
  LineCollector line;
  char buffer[512];
  for (;;) {
    pollfd readable{fd, POLLIN, 0};
    const int ready = ::poll(&readable, 1, MillisecondsUntil(deadline));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return {InstanceReply::Outcome::NoAnswer, {}};
    const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
    if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (got <= 0) return {InstanceReply::Outcome::NoAnswer, {}};
    switch (line.Feed(std::string_view(buffer, static_cast<size_t>(got)))) {
      case LineCollector::State::Incomplete:
        continue;
      case LineCollector::State::Complete:
        return {InstanceReply::Outcome::Answered, CleanLine(line.line())};
      case LineCollector::State::TooLong:
        return {InstanceReply::Outcome::NoAnswer, {}};
    }
  }
}

}  // namespace

InstanceReply AskAtSocket(const std::string& socketPath, std::string_view request,
                          Deadline deadline) {
  const int fd = Connect(socketPath);
  if (fd < 0) return {InstanceReply::Outcome::NoListener, {}};
  const std::string line = CleanLine(request) + "\n";
  InstanceReply reply{InstanceReply::Outcome::NoAnswer, {}};
  if (::send(fd, line.data(), line.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(line.size())) {
    reply = ReadAnswer(fd, deadline);
  }
  ::close(fd);
  return reply;
}

std::string AskInstance(std::string_view key, std::string_view request,
                        std::chrono::milliseconds timeout) {
  std::string folder;
  if (!InstanceFolder(&folder)) return {};
  return AskAtSocket(InstanceSocketPath(folder, key), request,
                     std::chrono::steady_clock::now() + timeout)
      .answer;
}

std::string RequestRestore(std::string_view key) {
  return AskInstance(key, REQUEST_RESTORE);
}

}  // namespace kr450
