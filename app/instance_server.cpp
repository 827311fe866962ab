#include "app/instance_server.h"

#include <sys/epoll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/timerfd.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "config/errno_text.h"

namespace kr450 {
namespace {

constexpr int BACKLOG = 8;

Status ErrnoStatus(const std::string& what) {
  return Status::Error(what + ": " + ErrnoText(errno));
}

bool FillAddress(const std::string& path, sockaddr_un* address) {
  *address = {};
  address->sun_family = AF_UNIX;
  if (path.size() >= sizeof address->sun_path) return false;
  std::memcpy(address->sun_path, path.c_str(), path.size() + 1);
  return true;
}

bool Watch(int poll, int fd) {
  epoll_event event{};
  event.events = EPOLLIN;
  event.data.fd = fd;
  return ::epoll_ctl(poll, EPOLL_CTL_ADD, fd, &event) == 0;
}

// Opens the three descriptors of a server; the caller closes what it got on failure.
Status OpenDescriptors(const std::string& socketPath, int* listener, int* poll, int* timer) {
  sockaddr_un address;
  if (!FillAddress(socketPath, &address)) return Status::Error("path too long: " + socketPath);
  *listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (*listener < 0) return ErrnoStatus("socket");
  // The file a crashed holder of the lock left behind.
  ::unlink(socketPath.c_str());
  if (::bind(*listener, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    return ErrnoStatus("cannot listen on " + socketPath);
  }
  ::chmod(socketPath.c_str(), 0600);  // the folder is private already; this is belt and braces
  if (::listen(*listener, BACKLOG) != 0) return ErrnoStatus("cannot listen on " + socketPath);
  *poll = ::epoll_create1(EPOLL_CLOEXEC);
  if (*poll < 0) return ErrnoStatus("epoll");
  *timer = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
  if (*timer < 0) return ErrnoStatus("timerfd");
  if (!Watch(*poll, *listener) || !Watch(*poll, *timer)) return ErrnoStatus("epoll");
  return Status::Ok();
}

}  // namespace

std::unique_ptr<InstanceServer> InstanceServer::Listen(const std::string& socketPath,
                                                       std::string identity, Status* status) {
  int listener = -1, poll = -1, timer = -1;
  *status = OpenDescriptors(socketPath, &listener, &poll, &timer);
  if (!*status) {
    for (int fd : {listener, poll, timer}) {
      if (fd >= 0) ::close(fd);
    }
    return nullptr;
  }
  return std::unique_ptr<InstanceServer>(
      new InstanceServer(socketPath, std::move(identity), listener, poll, timer));
}

InstanceServer::InstanceServer(std::string socketPath, std::string identity, int listener, int poll,
                               int timer)
    : socketPath_(std::move(socketPath)),
      identity_(std::move(identity)),
      listener_(listener),
      poll_(poll),
      timer_(timer) {}

InstanceServer::~InstanceServer() {
  for (const Client& client : clients_) ::close(client.fd);
  ::unlink(socketPath_.c_str());
  ::close(listener_);
  ::close(timer_);
  ::close(poll_);
}

void InstanceServer::HandleReadable() {
  epoll_event events[MAX_CLIENTS + 2];
  const int count = ::epoll_wait(poll_, events, static_cast<int>(std::size(events)), 0);
  for (int i = 0; i < count; ++i) {
    const int fd = events[i].data.fd;
    if (fd == listener_) {
      AcceptClients();
    } else if (fd == timer_) {
      uint64_t expirations;
      [[maybe_unused]] ssize_t ignored = ::read(timer_, &expirations, sizeof expirations);
    } else {
      auto client = std::find_if(clients_.begin(), clients_.end(),
                                 [fd](const Client& c) { return c.fd == fd; });
      if (client != clients_.end() && !ServeClient(*client)) {
        Close(client->fd);
        clients_.erase(client);
      }
    }
  }
  DropExpiredClients();
  ArmTimer();
}

// At most MAX_CLIENTS at a time, so that a stream of connections cannot keep the owner's
// thread here; the rest wait for the next call.
void InstanceServer::AcceptClients() {
  for (size_t accepted = 0; accepted < MAX_CLIENTS; ++accepted) {
    const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) {
      if (errno == EINTR || errno == ECONNABORTED) continue;
      return;  // EAGAIN: no one else waits; anything else: try again at the next call
    }
    // Room for the newest: clients that keep silent must not shut out an honest one.
    if (clients_.size() >= MAX_CLIENTS) {
      Close(clients_.front().fd);
      clients_.erase(clients_.begin());
    }
    if (!Watch(poll_, fd)) {
      ::close(fd);
      continue;
    }
    clients_.push_back({fd, std::chrono::steady_clock::now() + CLIENT_TIMEOUT, {}});
  }
}

bool InstanceServer::ServeClient(Client& client) {
  char buffer[512];
  for (;;) {
    const ssize_t got = ::recv(client.fd, buffer, sizeof buffer, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return errno == EAGAIN || errno == EWOULDBLOCK;
    if (got == 0) return false;  // gone without a whole line
    switch (client.line.Feed(std::string_view(buffer, static_cast<size_t>(got)))) {
      case LineCollector::State::Incomplete:
        continue;
      case LineCollector::State::Complete:
        Answer(client, AnswerFor(client.line.line()));
        return false;
      case LineCollector::State::TooLong:
        Answer(client, ANSWER_LINE_TOO_LONG);
        return false;
    }
  }
}

std::string InstanceServer::AnswerFor(std::string_view request) const {
  if (request == REQUEST_HELLO) return HelloAnswer(identity_);
  std::string answer = handler_ ? handler_(request) : std::string();
  return answer.empty() ? std::string(ANSWER_UNKNOWN_REQUEST) : answer;
}

// The answer is far smaller than a socket's buffer and goes whole; a client that does not
// take it loses it.
void InstanceServer::Answer(const Client& client, std::string_view answer) {
  const std::string line = CleanLine(answer) + "\n";
  [[maybe_unused]] ssize_t ignored =
      ::send(client.fd, line.data(), line.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
}

void InstanceServer::DropExpiredClients() {
  const Deadline now = std::chrono::steady_clock::now();
  std::erase_if(clients_, [&](const Client& client) {
    if (client.deadline > now) return false;
    Close(client.fd);
    return true;
  });
}

void InstanceServer::ArmTimer() {
  itimerspec when{};  // all zero: disarmed
  if (!clients_.empty()) {
    Deadline earliest = clients_.front().deadline;
    for (const Client& client : clients_) earliest = std::min(earliest, client.deadline);
    const auto left = std::max<std::chrono::nanoseconds>(
        earliest - std::chrono::steady_clock::now(), std::chrono::nanoseconds(1));
    when.it_value.tv_sec = static_cast<time_t>(left.count() / 1000000000);
    when.it_value.tv_nsec = static_cast<long>(left.count() % 1000000000);
  }
  ::timerfd_settime(timer_, 0, &when, nullptr);
}

void InstanceServer::Close(int fd) {
  ::epoll_ctl(poll_, EPOLL_CTL_DEL, fd, nullptr);
  ::close(fd);
}

}  // namespace kr450
