#include "device/device_link.h"

#include <algorithm>
#include <optional>

#include "config/config_store.h"
#include "config/ini_file.h"
#include "config/text.h"
#include "device/feature_report.h"

namespace kr450 {
namespace {

bool IsKr450(const HidCollectionInfo& info, const DriverState& state) {
  return info.vendorId == state.vendorId && info.productId == state.productId;
}

// Without a button that clicks, the window (worked only with the mouse) would be out of
// reach; the function menus keep one, but a file or an import may not.
void GuardLeftButton(DeviceConfig& config) {
  auto& buttons = config.buttons;
  if (std::find(buttons.begin(), buttons.end(), FunctionCode{1}) == buttons.end()) buttons[0] = 1;
}

// WriteConfig from a configuration and number taken together, so that they belong to each
// other even when the configuration was switched meanwhile.
Status StoreConfig(const ConfigState& s, const std::string& file) {
  return WriteConfigValues(s.config, file, s.currentConfig);
}

void KeepFirstFailure(ApplyOutcome& outcome, Status status) {
  if (!status && outcome.files.ok()) outcome.files = std::move(status);
}

}  // namespace

DeviceLink::DeviceLink(DriverState& state, HidPlatform& platform, PointerSpeed& pointer,
                       WindowLink& window, Clock& clock)
    : state_(state),
      platform_(platform),
      pointer_(pointer),
      window_(window),
      blinker_(state, window, clock) {}

DeviceLink::~DeviceLink() {
  bool watching = false;
  {
    std::lock_guard lock(mutex_);
    watching = watching_;
  }
  if (watching) platform_.StopWatching();
  blinker_.Stop();
}

void DeviceLink::StartWatchingOnce() {
  {
    std::lock_guard lock(mutex_);
    if (watching_) return;
    watching_ = true;
  }
  platform_.WatchDevices([this](const HidDeviceEvent& event) { OnDeviceChange(event); });
}

bool DeviceLink::OpenDevice() {
  const std::vector<HidCollectionInfo> collections = platform_.Enumerate();
  const size_t count = std::min<size_t>(collections.size(), MAX_HID_COLLECTIONS);
  std::optional<HidCollectionInfo> input;
  std::optional<HidCollectionInfo> feature;
  std::string path;
  for (size_t i = 0; i < count && !(input && feature); ++i) {
    const HidCollectionInfo& info = collections[i];
    if (!IsKr450(info, state_)) continue;
    path = info.path;
    StartWatchingOnce();
    if (info.usage != VENDOR_USAGE) continue;
    if (info.usagePage == INPUT_USAGE_PAGE && !input) input = info;
    if (info.usagePage == FEATURE_USAGE_PAGE && !feature) feature = info;
  }

  // Both collections must be there and open; one alone cannot run the driver.
  HidOpenResult read;
  HidOpenResult write;
  if (input) read = platform_.Open(*input, HidAccess::Read);
  if (feature) write = platform_.Open(*feature, HidAccess::Write);
  const bool found = read.handle && write.handle;
  if (!found) {
    read.handle.reset();
    write.handle.reset();
  }

  std::shared_ptr<HidHandle> previousRead;
  {
    std::lock_guard lock(mutex_);
    if (!path.empty()) devicePath_ = path;
    openError_ = !read.error.empty() ? read.error : write.error;
    previousRead = std::exchange(readHandle_, read.handle);
    featureHandle_ = write.handle;
    inputReportLength_ = input ? input->inputReportLength : 0;
    featureReportLength_ = feature ? feature->featureReportLength : 0;
  }
  if (previousRead) previousRead->CancelRead();
  readHandleChanged_.notify_all();
  state_.deviceFound.store(found);
  return found;
}

bool DeviceLink::SendFeatureReport(uint8_t command, uint8_t byte2, uint8_t byte3) {
  std::shared_ptr<HidHandle> handle;
  uint16_t length = 0;
  {
    std::lock_guard lock(mutex_);
    handle = featureHandle_;
    length = featureReportLength_;
  }
  if (!handle) return false;
  const std::vector<uint8_t> report = BuildFeatureReport(length, command, byte2, byte3);
  if (report.empty()) return false;
  return handle->SetFeature(report);
}

bool DeviceLink::SendCounted(ApplyOutcome& outcome, uint8_t command, uint8_t byte2, uint8_t byte3) {
  const bool sent = SendFeatureReport(command, byte2, byte3);
  ++(sent ? outcome.reportsSent : outcome.reportsFailed);
  return sent;
}

ApplyOutcome DeviceLink::ApplyConfig() {
  std::lock_guard applyLock(applyMutex_);
  applied_ = true;
  return ApplyLocked();
}

ApplyOutcome DeviceLink::ApplyLocked() {
  ApplyOutcome outcome;
  state_.driverRunning.store(true);
  // One snapshot, taken with the left-button guard and the copies the executor's own reports
  // use: configuration 6 stores exactly what is sent, whatever the executor changes meanwhile.
  const ConfigState applied = state_.WithConfig([](ConfigState& s) {
    GuardLeftButton(s.config);
    for (int i = 0; i < BUTTON_COUNT; ++i) s.dpiAction[i] = DpiActionFor(s.config.buttons[i]);
    s.appliedDpiStage = s.config.dpiStage;
    s.appliedLedStatus = s.config.ledStatus;
    return s;
  });
  const DeviceConfig& config = applied.config;
  const std::string& file = state_.configFilePath;
  KeepFirstFailure(outcome, WriteApplyStart(applied, file));

  for (int i = 0; i < BUTTON_COUNT; ++i) {
    const uint8_t function = DeviceFunctionFor(config.buttons[i]);
    if (function > 17 && function != SOFTWARE_FUNCTION) continue;
    SendCounted(outcome, CMD_BUTTON_MAP, ButtonDeviceKey[i], function);
    if (function == SOFTWARE_FUNCTION && state_.driverRunning.load()) {
      state_.driverRunning.store(false);
      state_.promptBlink.store(true);
      state_.promptButton.store(i + 1);
      if (!state_.promptWorkerStarted.exchange(true)) blinker_.Start();
    }
  }
  SendCounted(outcome, CMD_WHEEL, static_cast<uint8_t>(config.wheelStatus), 0);
  // The stage the mouse is told is the one whose value it gets, as in the executor's reports.
  const int level = std::clamp<int32_t>(config.dpiLevel, 0, STAGE_COUNT - 1);
  SendCounted(outcome, CMD_STAGE_LIGHT, static_cast<uint8_t>(level),
              StageAndLightByte(applied.appliedDpiStage[level], applied.appliedLedStatus));
  window_.RequestRepaint();

  if (pointer_.GetPointerSpeed()) pointer_.SetPointerSpeed(SystemPointerSpeed(config.pointerSpeed));
  // The configuration being edited, as it is now, into its own section: a stage step the
  // executor made meanwhile is kept, and a switch of configuration does not put one
  // configuration's values into another's section.
  KeepFirstFailure(outcome, StoreConfig(state_.Snapshot(), file));
  return outcome;
}

bool DeviceLink::IsOurDevice(std::string_view path) const {
  std::lock_guard lock(mutex_);
  return !devicePath_.empty() && EqualsIgnoringCase(path, devicePath_);
}

void DeviceLink::OnDeviceChange(const HidDeviceEvent& event) {
  if (!IsOurDevice(event.path)) return;
  if (event.kind == HidEventKind::Arrival) {
    if (!state_.deviceFound.load()) OpenDevice();
    return;
  }
  EndOnRemoval();
}

void DeviceLink::OnReadHandleRemoved(const std::shared_ptr<HidHandle>& handle) {
  {
    std::lock_guard lock(mutex_);
    if (!handle || readHandle_ != handle) return;  // an old handle; the current one is fine
    readHandle_.reset();
  }
  EndOnRemoval();
}

// No report is sent and the pointer speed is not restored: the mouse is gone.
void DeviceLink::EndOnRemoval() {
  state_.deviceFound.store(false);
  if (!removalReported_.exchange(true)) window_.RequestShutdown();
}

void DeviceLink::OnResume() {
  std::lock_guard applyLock(applyMutex_);
  if (!applied_ || closed_ || state_.shutdownRequested.load()) return;
  ApplyLocked();
}

void DeviceLink::ShutDown() {
  {
    std::lock_guard applyLock(applyMutex_);  // a resume apply under way ends first
    closed_ = true;
  }
  bool open = false;
  {
    std::lock_guard lock(mutex_);
    open = featureHandle_ != nullptr;
  }
  if (open) SendFeatureReport(CMD_DRIVER_EXIT, 0, 0);
  pointer_.SetPointerSpeed(DEFAULT_POINTER_SPEED);
}

std::string DeviceLink::DevicePath() const {
  std::lock_guard lock(mutex_);
  return devicePath_;
}

uint16_t DeviceLink::InputReportLength() const {
  std::lock_guard lock(mutex_);
  return inputReportLength_;
}

uint16_t DeviceLink::FeatureReportLength() const {
  std::lock_guard lock(mutex_);
  return featureReportLength_;
}

std::string DeviceLink::OpenError() const {
  std::lock_guard lock(mutex_);
  return openError_;
}

std::shared_ptr<HidHandle> DeviceLink::WaitForReadHandle() {
  std::unique_lock lock(mutex_);
  readHandleChanged_.wait(lock, [&] { return readHandle_ || state_.shutdownRequested.load(); });
  if (state_.shutdownRequested.load()) return nullptr;
  return readHandle_;
}

void DeviceLink::WakeReader() {
  std::shared_ptr<HidHandle> handle;
  {
    std::lock_guard lock(mutex_);
    handle = readHandle_;
  }
  if (handle) handle->CancelRead();
  readHandleChanged_.notify_all();
}

}  // namespace kr450
