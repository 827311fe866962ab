#include "device/simulated_mouse.h"

#include <algorithm>

#include "config/driver_state.h"
#include "config/function_code.h"
#include "device/feature_report.h"

namespace kr450 {

// A handle on one of the simulated mouse's collections, or on another device's.
class SimulatedMouse::Handle final : public HidHandle {
 public:
  Handle(SimulatedMouse& mouse, bool ours, bool reads, uint64_t generation)
      : mouse_(mouse), ours_(ours), reads_(reads), generation_(generation) {}

  ~Handle() override {
    std::lock_guard lock(mouse_.mutex_);
    std::erase(mouse_.readers_, this);
  }

  bool SetFeature(std::span<const uint8_t> report) override {
    if (!ours_) return true;
    {
      std::lock_guard lock(mouse_.mutex_);
      if (Gone()) return false;
    }
    return mouse_.Send(report);
  }

  HidReadResult Read(std::span<uint8_t> buffer) override {
    std::unique_lock lock(mouse_.mutex_);
    mouse_.reportArrived_.wait(
        lock, [&] { return cancelled_ || Gone() || mouse_.failReads_ || !queue_.empty(); });
    if (cancelled_) return {HidReadStatus::Cancelled, 0};
    if (Gone()) return {HidReadStatus::Removed, 0};
    if (mouse_.failReads_) return {HidReadStatus::Error, 0};
    std::vector<uint8_t> report = std::move(queue_.front());
    queue_.pop_front();
    const size_t size = std::min(report.size(), buffer.size());
    std::copy_n(report.begin(), size, buffer.begin());
    return {HidReadStatus::Ok, size};
  }

  void CancelRead() override {
    {
      std::lock_guard lock(mouse_.mutex_);
      cancelled_ = true;
    }
    mouse_.reportArrived_.notify_all();
  }

  // Under the mouse's mutex.
  bool Gone() const { return ours_ && (!mouse_.present_ || generation_ != mouse_.plugGeneration_); }
  bool reads() const { return reads_; }
  void Push(std::vector<uint8_t> report) { queue_.push_back(std::move(report)); }

 private:
  SimulatedMouse& mouse_;
  const bool ours_;
  const bool reads_;
  const uint64_t generation_;
  bool cancelled_ = false;
  std::deque<std::vector<uint8_t>> queue_;
};

SimulatedMouse::SimulatedMouse(std::string path) : path_(std::move(path)) {
  for (int key = 1; key <= KEY_COUNT; ++key) keyFunction_[key] = static_cast<uint8_t>(key);
}

SimulatedMouse::~SimulatedMouse() = default;

HidCollectionInfo SimulatedMouse::Info(Collection which) const {
  HidCollectionInfo info;
  info.path = path_;
  info.vendorId = KR450_VENDOR_ID;
  info.productId = KR450_PRODUCT_ID;
  info.usage = 1;
  if (which == Collection::Input) {
    info.collection = 0;
    info.usagePage = 0xFF00;
    info.inputReportLength = INPUT_REPORT_LENGTH;
  } else {
    info.collection = 1;
    info.usagePage = 0xFF01;
    info.featureReportLength = FEATURE_REPORT_LENGTH;
  }
  return info;
}

std::vector<HidCollectionInfo> SimulatedMouse::MouseCollections() const {
  std::vector<HidCollectionInfo> list;
  if (!present_) return list;
  for (Collection which : {Collection::Input, Collection::Feature}) {
    if (which == Collection::Input ? !hasInput_ : !hasFeature_) continue;
    HidCollectionInfo info = Info(which);
    if (accessDenied_) {
      info.accessible = info.readable = info.writable = false;
      info.error = "Permission denied";
    }
    list.push_back(info);
  }
  return list;
}

std::vector<HidCollectionInfo> SimulatedMouse::Enumerate() {
  std::lock_guard lock(mutex_);
  std::vector<HidCollectionInfo> list = others_;
  for (HidCollectionInfo& info : MouseCollections()) list.push_back(std::move(info));
  return list;
}

Result<std::shared_ptr<HidHandle>> SimulatedMouse::Open(const HidCollectionInfo& collection,
                                                        HidAccess access) {
  std::lock_guard lock(mutex_);
  if (collection.path != path_) {
    const bool known = std::any_of(others_.begin(), others_.end(), [&](const HidCollectionInfo& o) {
      return o.path == collection.path;
    });
    if (!known) return Status::Error(collection.path + ": No such file or directory");
    return std::shared_ptr<HidHandle>(std::make_shared<Handle>(*this, false, false, 0));
  }
  if (!present_) return Status::Error(collection.path + ": No such file or directory");
  if (accessDenied_) return Status::Error(collection.path + ": Permission denied");
  const bool reads = access == HidAccess::Read && collection.usagePage == 0xFF00;
  auto handle = std::make_shared<Handle>(*this, true, reads, plugGeneration_);
  if (reads) readers_.push_back(handle.get());
  return std::shared_ptr<HidHandle>(std::move(handle));
}

bool SimulatedMouse::WatchDevices(HidEventHandler handler) {
  std::lock_guard lock(handlerMutex_);
  handler_ = std::move(handler);
  return true;
}

void SimulatedMouse::StopWatching() {
  std::lock_guard lock(handlerMutex_);
  handler_ = nullptr;
}

void SimulatedMouse::Emit(const HidDeviceEvent& event) {
  {
    std::lock_guard lock(mutex_);
    if (!hotplugEvents_) return;
  }
  std::lock_guard lock(handlerMutex_);
  if (handler_) handler_(event);
}

void SimulatedMouse::AddCollectionBefore(const HidCollectionInfo& other) {
  std::lock_guard lock(mutex_);
  others_.push_back(other);
}

void SimulatedMouse::RemoveCollection(Collection which) {
  std::lock_guard lock(mutex_);
  (which == Collection::Input ? hasInput_ : hasFeature_) = false;
}

void SimulatedMouse::SetAccessDenied(bool denied) {
  std::lock_guard lock(mutex_);
  accessDenied_ = denied;
}

void SimulatedMouse::Unplug() {
  {
    std::lock_guard lock(mutex_);
    if (!present_) return;
    present_ = false;
    ++plugGeneration_;
  }
  reportArrived_.notify_all();
  Emit({HidEventKind::Removal, path_});
}

void SimulatedMouse::Plug() {
  {
    std::lock_guard lock(mutex_);
    if (present_) return;
    present_ = true;
    // The mouse forgets what it was told when it loses power.
    for (int key = 1; key <= KEY_COUNT; ++key) keyFunction_[key] = static_cast<uint8_t>(key);
    exitReceived_ = false;
  }
  Emit({HidEventKind::Arrival, path_});
}

void SimulatedMouse::SetHotplugEvents(bool deliver) {
  std::lock_guard lock(mutex_);
  hotplugEvents_ = deliver;
}

void SimulatedMouse::SetFailSends(bool fail) {
  std::lock_guard lock(mutex_);
  failSends_ = fail;
}

void SimulatedMouse::SetFailReads(bool fail) {
  {
    std::lock_guard lock(mutex_);
    failReads_ = fail;
  }
  reportArrived_.notify_all();
}

bool SimulatedMouse::Send(std::span<const uint8_t> report) {
  std::lock_guard lock(mutex_);
  // A report of another length is refused, as the device's control endpoint would.
  if (failSends_ || report.size() != FEATURE_REPORT_LENGTH || report[0] != FEATURE_REPORT_ID) {
    return false;
  }
  featureReports_.emplace_back(report.begin(), report.end());
  const uint8_t a = report[2];
  const uint8_t b = report[3];
  switch (report[1]) {
    case CMD_BUTTON_MAP:
      if (a >= 1 && a <= KEY_COUNT) keyFunction_[a] = b;
      break;
    case CMD_WHEEL:
      wheel_ = a;
      break;
    case CMD_STAGE_LIGHT:
      stageLevel_ = a;
      stageAndLight_ = b;
      break;
    case CMD_DRIVER_EXIT:
      exitReceived_ = true;
      break;
    default:
      break;
  }
  return true;
}

void SimulatedMouse::Deliver(const std::vector<uint8_t>& report) {
  {
    std::lock_guard lock(mutex_);
    if (!present_) return;
    for (Handle* reader : readers_) {
      if (!reader->Gone()) reader->Push(report);
    }
  }
  reportArrived_.notify_all();
}

void SimulatedMouse::PressKey(int key) {
  if (key < 1 || key > KEY_COUNT) return;
  {
    std::lock_guard lock(mutex_);
    if (keyFunction_[key] != SOFTWARE_FUNCTION) return;
  }
  std::vector<uint8_t> report(INPUT_REPORT_LENGTH, 0);
  report[0] = INPUT_REPORT_ID;
  report[1] = static_cast<uint8_t>(240 + key);
  Deliver(report);
}

void SimulatedMouse::ReleaseKey(int key) {
  if (key < 1 || key > KEY_COUNT) return;
  {
    std::lock_guard lock(mutex_);
    if (keyFunction_[key] != SOFTWARE_FUNCTION) return;
  }
  std::vector<uint8_t> report(INPUT_REPORT_LENGTH, 0);
  report[0] = INPUT_REPORT_ID;
  Deliver(report);
}

void SimulatedMouse::InjectInputReport(const std::vector<uint8_t>& report) {
  Deliver(report);
}

std::vector<std::vector<uint8_t>> SimulatedMouse::FeatureReports() const {
  std::lock_guard lock(mutex_);
  return featureReports_;
}

void SimulatedMouse::ClearFeatureReports() {
  std::lock_guard lock(mutex_);
  featureReports_.clear();
}

uint8_t SimulatedMouse::KeyFunction(int key) const {
  std::lock_guard lock(mutex_);
  return key >= 1 && key <= KEY_COUNT ? keyFunction_[key] : 0;
}

uint8_t SimulatedMouse::Wheel() const {
  std::lock_guard lock(mutex_);
  return wheel_;
}

uint8_t SimulatedMouse::StageLevel() const {
  std::lock_guard lock(mutex_);
  return stageLevel_;
}

uint8_t SimulatedMouse::StageAndLight() const {
  std::lock_guard lock(mutex_);
  return stageAndLight_;
}

bool SimulatedMouse::ExitReceived() const {
  std::lock_guard lock(mutex_);
  return exitReceived_;
}

int SimulatedMouse::OpenReadHandles() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(readers_.size());
}

}  // namespace kr450
