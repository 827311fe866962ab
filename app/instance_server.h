#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/instance_protocol.h"
#include "config/status.h"

namespace kr450 {

// The listening side of the single-instance socket. Nothing here blocks: the owner watches
// fd() and calls HandleReadable() when it is readable, on whichever thread it likes; the
// request handler is called there.
class InstanceServer {
 public:
  // Answers one request line; empty for a request it does not know.
  using RequestHandler = std::function<std::string(std::string_view request)>;

  // A client that has not sent its line by then is dropped.
  static constexpr std::chrono::milliseconds CLIENT_TIMEOUT{1000};
  // Connections served at once; a new one beyond them replaces the oldest.
  static constexpr size_t MAX_CLIENTS = 16;

  // Listens on `socketPath`, replacing whatever a crashed driver left there. Only the holder
  // of the instance lock may call it.
  // Null, with the reason in `status`, when it cannot listen.
  static std::unique_ptr<InstanceServer> Listen(const std::string& socketPath, std::string identity,
                                                Status* status);

  // Closes every connection and removes the socket file.
  ~InstanceServer();
  InstanceServer(const InstanceServer&) = delete;
  InstanceServer& operator=(const InstanceServer&) = delete;

  void SetRequestHandler(RequestHandler handler) { handler_ = std::move(handler); }
  // Readable while a connection, a request or a timeout waits for HandleReadable().
  int fd() const { return poll_; }
  // Accepts, reads, answers and drops what is ready, without waiting for anything.
  void HandleReadable();
  // Connections open now.
  size_t clientCount() const { return clients_.size(); }

 private:
  using Deadline = std::chrono::steady_clock::time_point;
  struct Client {
    int fd;
    Deadline deadline;
    LineCollector line;
  };

  InstanceServer(std::string socketPath, std::string identity, int listener, int poll, int timer);
  void AcceptClients();
  // False once the client is done with (answered, gone or failed).
  bool ServeClient(Client& client);
  void Answer(const Client& client, std::string_view answer);
  std::string AnswerFor(std::string_view request) const;
  void DropExpiredClients();
  void ArmTimer();
  void Close(int fd);

  const std::string socketPath_;
  const std::string identity_;
  const int listener_;
  const int poll_;   // an epoll set of the listener, the clients and the timer
  const int timer_;  // fires at the earliest client deadline
  std::vector<Client> clients_;
  RequestHandler handler_;
};

}  // namespace kr450
