#include "device/device_connection.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "config/text.h"

namespace kr450 {
namespace {

bool IsKr450(const HidCollectionInfo& info, const DriverState& state) {
  return info.vendorId == state.vendorId && info.productId == state.productId;
}

// The mouse's two collections among the first MAX_HID_COLLECTIONS, and the path of the last
// of its collections met.
struct SearchResult {
  std::optional<HidCollectionInfo> input;
  std::optional<HidCollectionInfo> feature;
  std::string path;
};

SearchResult Search(const std::vector<HidCollectionInfo>& collections, const DriverState& state,
                    const std::function<void()>& mouseSeen) {
  SearchResult found;
  const size_t count = std::min<size_t>(collections.size(), MAX_HID_COLLECTIONS);
  for (size_t i = 0; i < count && !(found.input && found.feature); ++i) {
    const HidCollectionInfo& info = collections[i];
    if (!IsKr450(info, state)) continue;
    found.path = info.path;
    if (mouseSeen) mouseSeen();
    if (info.usage != VENDOR_USAGE) continue;
    if (info.usagePage == INPUT_USAGE_PAGE && !found.input) found.input = info;
    if (info.usagePage == FEATURE_USAGE_PAGE && !found.feature) found.feature = info;
  }
  return found;
}

}  // namespace

DeviceConnection::DeviceConnection(DriverState& state, HidPlatform& platform)
    : state_(state), platform_(platform) {}

bool DeviceConnection::Open(const std::function<void()>& mouseSeen) {
  const SearchResult search = Search(platform_.Enumerate(), state_, mouseSeen);
  // Both collections must be there and open; one alone cannot run the driver.
  HidOpenResult read;
  HidOpenResult write;
  if (search.input) read = platform_.Open(*search.input, HidAccess::Read);
  if (search.feature) write = platform_.Open(*search.feature, HidAccess::Write);
  const bool found = read.handle && write.handle;
  if (!found) {
    read.handle.reset();
    write.handle.reset();
  }

  std::shared_ptr<HidHandle> previousRead;
  {
    std::lock_guard lock(mutex_);
    if (!search.path.empty()) devicePath_ = search.path;
    openError_ = !read.error.empty() ? read.error : write.error;
    previousRead = std::exchange(readHandle_, read.handle);
    featureHandle_ = write.handle;
    inputReportLength_ = search.input ? search.input->inputReportLength : 0;
    featureReportLength_ = search.feature ? search.feature->featureReportLength : 0;
  }
  if (previousRead) previousRead->CancelRead();
  readHandleChanged_.notify_all();
  state_.deviceFound.store(found);
  return found;
}

bool DeviceConnection::IsMousePath(std::string_view path) const {
  std::lock_guard lock(mutex_);
  return !devicePath_.empty() && EqualsIgnoringCase(path, devicePath_);
}

bool DeviceConnection::ForgetReadHandle(const std::shared_ptr<HidHandle>& handle) {
  std::lock_guard lock(mutex_);
  if (!handle || readHandle_ != handle) return false;
  readHandle_.reset();
  return true;
}

FeatureChannel DeviceConnection::Feature() const {
  std::lock_guard lock(mutex_);
  return {featureHandle_, featureReportLength_};
}

std::string DeviceConnection::DevicePath() const {
  std::lock_guard lock(mutex_);
  return devicePath_;
}

uint16_t DeviceConnection::InputReportLength() const {
  std::lock_guard lock(mutex_);
  return inputReportLength_;
}

uint16_t DeviceConnection::FeatureReportLength() const {
  std::lock_guard lock(mutex_);
  return featureReportLength_;
}

std::string DeviceConnection::OpenError() const {
  std::lock_guard lock(mutex_);
  return openError_;
}

std::shared_ptr<HidHandle> DeviceConnection::WaitForReadHandle() {
  std::unique_lock lock(mutex_);
  readHandleChanged_.wait(lock, [&] { return readHandle_ || state_.shutdownRequested.load(); });
  if (state_.shutdownRequested.load()) return nullptr;
  return readHandle_;
}

void DeviceConnection::WakeReader() {
  std::shared_ptr<HidHandle> handle;
  {
    std::lock_guard lock(mutex_);
    handle = readHandle_;
  }
  if (handle) handle->CancelRead();
  readHandleChanged_.notify_all();
}

}  // namespace kr450
