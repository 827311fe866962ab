#include "app/end_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <array>
#include <cerrno>

namespace kr450 {
namespace {

constexpr std::array<int, 3> END_SIGNALS = {SIGINT, SIGTERM, SIGHUP};
int signalPipe[2] = {-1, -1};

extern "C" void WriteSignal(int signal) {
  const unsigned char byte = static_cast<unsigned char>(signal);
  const int saved = errno;
  [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
  errno = saved;
}

}  // namespace

EndSignals::EndSignals(std::function<void(int)> onSignal) : onSignal_(std::move(onSignal)) {
  if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  notifier_ = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, &EndSignals::OnReadable);
  struct sigaction action {};
  action.sa_handler = WriteSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : END_SIGNALS) sigaction(signal, &action, nullptr);
}

EndSignals::~EndSignals() {
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  for (int signal : END_SIGNALS) sigaction(signal, &action, nullptr);
  notifier_.reset();
  if (signalPipe[0] >= 0) ::close(signalPipe[0]);
  if (signalPipe[1] >= 0) ::close(signalPipe[1]);
  signalPipe[0] = signalPipe[1] = -1;
}

void EndSignals::OnReadable() {
  unsigned char byte = 0;
  while (::read(signalPipe[0], &byte, 1) == 1) onSignal_(byte);
}

}  // namespace kr450
