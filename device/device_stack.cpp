#include "device/device_stack.h"

#include "device/hidraw_platform.h"

namespace kr450 {

DeviceStack::DeviceStack(DriverState& state, PointerSpeed& pointer, WindowLink& window,
                         StoppableClock& clock, Options options) {
  if (options.simulate) {
    auto mouse = std::make_unique<SimulatedMouse>();
    simulated_ = mouse.get();
    system_ = std::move(mouse);
  } else {
    system_ = MakeHidrawPlatform();
  }
  platform_ = system_.get();
  if (options.traceFeatureReport) {
    tracing_ =
        std::make_unique<TracingHidPlatform>(*system_, std::move(options.traceFeatureReport));
    platform_ = tracing_.get();
  }
  link_ = std::make_unique<DeviceLink>(state, *platform_, pointer, window, clock);
  if (options.watchResume) {
    resume_ = MakeLogindResumeWatcher(std::move(options.resumeBusAddress));
    DeviceLink& link = *link_;
    if (!resume_->Start([&link] { link.OnResume(); })) resume_.reset();
  }
}

// The resume watcher ends first (it calls into the link), then the link: it stops watching the
// platform and drops its handles.
DeviceStack::~DeviceStack() {
  resume_.reset();
  link_.reset();
}

}  // namespace kr450
