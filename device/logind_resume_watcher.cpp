// The only file that talks to D-Bus: logind's PrepareForSleep signal through sd-bus.
#include <poll.h>
#include <sys/eventfd.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <mutex>
#include <thread>

#include "device/resume_watcher.h"

namespace kr450 {
namespace {

constexpr const char* PREPARE_FOR_SLEEP_MATCH =
    "type='signal',interface='org.freedesktop.login1.Manager',member='PrepareForSleep',"
    "path='/org/freedesktop/login1'";

class LogindResumeWatcher final : public ResumeWatcher {
 public:
  explicit LogindResumeWatcher(std::string busAddress) : busAddress_(std::move(busAddress)) {}
  ~LogindResumeWatcher() override { Stop(); }

  bool Start(std::function<void()> onResume) override {
    std::lock_guard lock(mutex_);
    if (thread_.joinable()) return false;
    sd_bus* bus = Connect();
    if (bus == nullptr) return false;
    onResume_ = std::move(onResume);
    if (sd_bus_add_match(bus, nullptr, PREPARE_FOR_SLEEP_MATCH, &OnSignal, this) < 0) {
      sd_bus_flush_close_unref(bus);
      return false;
    }
    stopFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (stopFd_ < 0) {
      sd_bus_flush_close_unref(bus);
      return false;
    }
    // The match is in place once the bus has it; a resume after Start returns is not missed.
    while (sd_bus_process(bus, nullptr) > 0) {
    }
    thread_ = std::thread([this, bus] { Loop(bus); });
    return true;
  }

  void Stop() override {
    std::lock_guard lock(mutex_);
    if (!thread_.joinable()) return;
    const uint64_t one = 1;
    ssize_t ignored = write(stopFd_, &one, sizeof one);
    (void)ignored;
    thread_.join();
    close(stopFd_);
    stopFd_ = -1;
  }

 private:
  sd_bus* Connect() {
    sd_bus* bus = nullptr;
    if (busAddress_.empty()) {
      if (sd_bus_open_system(&bus) < 0) return nullptr;
      return bus;
    }
    if (sd_bus_new(&bus) < 0) return nullptr;
    if (sd_bus_set_address(bus, busAddress_.c_str()) < 0 || sd_bus_set_bus_client(bus, 1) < 0 ||
        sd_bus_start(bus) < 0) {
      sd_bus_unref(bus);
      return nullptr;
    }
    return bus;
  }

  static int OnSignal(sd_bus_message* message, void* userdata, sd_bus_error*) {
    int sleeping = 1;
    if (sd_bus_message_read(message, "b", &sleeping) < 0) return 0;
    if (!sleeping) static_cast<LogindResumeWatcher*>(userdata)->onResume_();
    return 0;
  }

  void Loop(sd_bus* bus) {
    for (;;) {
      int processed = 0;
      while ((processed = sd_bus_process(bus, nullptr)) > 0) {
      }
      if (processed < 0) break;  // the bus went away: no more resumes to hear of
      pollfd fds[2] = {{sd_bus_get_fd(bus), static_cast<short>(sd_bus_get_events(bus)), 0},
                       {stopFd_, POLLIN, 0}};
      if (poll(fds, 2, -1) < 0) continue;
      if (fds[1].revents & POLLIN) break;
    }
    sd_bus_flush_close_unref(bus);
  }

  const std::string busAddress_;
  std::mutex mutex_;
  std::thread thread_;
  int stopFd_ = -1;
  std::function<void()> onResume_;
};

}  // namespace

std::unique_ptr<ResumeWatcher> MakeLogindResumeWatcher(std::string busAddress) {
  return std::make_unique<LogindResumeWatcher>(std::move(busAddress));
}

}  // namespace kr450
