#include "device/input_reader.h"

#include <algorithm>
#include <vector>

#include "device/worker_scheduling.h"

namespace kr450 {
namespace {

constexpr auto FIRST_RETRY_PAUSE = std::chrono::milliseconds(2);
constexpr auto LONGEST_RETRY_PAUSE = std::chrono::milliseconds(1000);
constexpr int MACRO_MODE_HOLD = 1;

void Set(std::atomic<int32_t>& flag) {
  flag.store(1);
  flag.notify_all();
}

}  // namespace

void HandleInputReport(DriverState& state, WindowLink& window, std::span<const uint8_t> report) {
  if (report.size() < 2) return;
  const uint8_t code = report[1];
  if (!state.driverRunning.load()) {
    if (report[0] == CONFIRM_REPORT_ID && code == 0) {
      state.driverRunning.store(true);
      state.promptWorkerStarted.store(false);
      state.promptBlink.store(false);
      window.RequestRepaint();
    }
    return;
  }
  if (code > KEY_CODE_BASE) {
    if (state.pressPending.load() == 0) {
      state.pressCode.store(code);
      Set(state.pressPending);
    } else if (state.Config().macroMode != MACRO_MODE_HOLD) {
      Set(state.stopRequested);  // a second press stops the macro being played
    }
  } else if (code == 0 && state.pressPending.load() != 0 &&
             state.Config().macroMode == MACRO_MODE_HOLD) {
    // The key held for a repeating macro was released. While the executor is idle a release
    // means nothing: left standing, it would end the next macro after its first event.
    Set(state.stopRequested);
  }
}

InputReader::InputReader(DriverState& state, DeviceLink& link, WindowLink& window,
                         StoppableClock& clock)
    : state_(state), link_(link), window_(window), clock_(clock) {}

InputReader::~InputReader() {
  Stop();
}

void InputReader::Start() {
  if (thread_.joinable()) return;
  thread_ = std::thread([this] {
    ScheduleCurrentThreadPromptly(Worker::InputReader);  // real-time where the system allows it
    Body();
  });
}

void InputReader::Stop() {
  state_.shutdownRequested.store(true);
  state_.shutdownRequested.notify_all();
  link_.WakeReader();
  clock_.Wake();
  if (thread_.joinable()) thread_.join();
}

void InputReader::Body() {
  std::vector<uint8_t> buffer;
  Clock::Duration pause = FIRST_RETRY_PAUSE;
  while (!state_.shutdownRequested.load()) {
    std::shared_ptr<HidHandle> handle = link_.WaitForReadHandle();
    if (!handle) break;
    buffer.assign(std::max<size_t>(link_.InputReportLength(), 2), 0);
    const HidReadResult result = handle->Read(buffer);
    switch (result.status) {
      case HidReadStatus::Ok:
        pause = FIRST_RETRY_PAUSE;
        HandleInputReport(state_, window_, std::span(buffer).first(result.size));
        break;
      case HidReadStatus::Cancelled:
        break;
      case HidReadStatus::Removed:
        link_.OnReadHandleRemoved(handle);
        break;
      case HidReadStatus::Error:
        clock_.SleepUntil(clock_.Now() + pause, state_.shutdownRequested);
        pause = std::min<Clock::Duration>(pause * 2, LONGEST_RETRY_PAUSE);
        break;
    }
  }
}

}  // namespace kr450
