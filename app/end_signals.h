#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <functional>
#include <memory>

namespace kr450 {

// SIGINT, SIGTERM and SIGHUP end the window program as its close does (the session manager,
// systemd's stop, Ctrl+C in a terminal): the handler only writes the signal to a pipe, and the
// window thread runs `onSignal` when it reads it.
class EndSignals final : public QObject {
  Q_OBJECT

 public:
  explicit EndSignals(std::function<void(int signal)> onSignal);
  ~EndSignals() override;  // the default actions come back
  EndSignals(const EndSignals&) = delete;
  EndSignals& operator=(const EndSignals&) = delete;

 private:
  void OnReadable();

  std::function<void(int)> onSignal_;
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace kr450
