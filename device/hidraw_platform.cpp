// The only file that talks to udev and the hidraw ioctls.
#include "device/hidraw_platform.h"

#include <fcntl.h>
#include <libudev.h>
#include <linux/hidraw.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <thread>
#include <utility>

#include "config/errno_text.h"
#include "device/hidraw_node.h"

namespace kr450 {
namespace {

// Owns a file descriptor.
class Fd {
 public:
  Fd() = default;
  explicit Fd(int fd) : fd_(fd) {}
  Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Fd& operator=(Fd&& other) noexcept {
    std::swap(fd_, other.fd_);
    return *this;
  }
  ~Fd() {
    if (fd_ >= 0) close(fd_);
  }
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

struct UdevDeleter {
  void operator()(udev* u) const { udev_unref(u); }
  void operator()(udev_enumerate* e) const { udev_enumerate_unref(e); }
  void operator()(udev_device* d) const { udev_device_unref(d); }
  void operator()(udev_monitor* m) const { udev_monitor_unref(m); }
};
template <typename T>
using UdevPtr = std::unique_ptr<T, UdevDeleter>;

std::vector<uint8_t> ReadSysfsDescriptor(const std::string& hidSysPath) {
  std::ifstream in(hidSysPath + "/report_descriptor", std::ios::binary);
  if (!in) return {};
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<uint8_t> ReadIoctlDescriptor(int fd) {
  int size = 0;
  if (ioctl(fd, HIDIOCGRDESCSIZE, &size) < 0 || size <= 0 || size > HID_MAX_DESCRIPTOR_SIZE) {
    return {};
  }
  hidraw_report_descriptor descriptor{};
  descriptor.size = static_cast<uint32_t>(size);
  if (ioctl(fd, HIDIOCGRDESC, &descriptor) < 0) return {};
  return {descriptor.value, descriptor.value + descriptor.size};
}

// Node number of "/dev/hidrawN", so that hidraw10 comes after hidraw9.
long NodeNumber(const std::string& path) {
  size_t digits = path.size();
  while (digits > 0 && path[digits - 1] >= '0' && path[digits - 1] <= '9') --digits;
  return digits == path.size() ? -1 : std::stol(path.substr(digits));
}

// Everything known about one hidraw node: ids, access, descriptor.
struct NodeRecord {
  HidrawNode node;
  bool readable = true;
  bool writable = true;
  std::vector<uint8_t> descriptor;
};

// Opens the node as Open() would: read-write, else (access denied) for one direction only.
Fd OpenNode(const char* devnode, NodeRecord& record) {
  Fd fd(open(devnode, O_RDWR | O_NONBLOCK | O_CLOEXEC));
  if (fd.valid()) return fd;
  const int error = errno;
  record.node.accessible = false;
  record.node.error = ErrnoText(error);
  record.readable = record.writable = false;
  if (error != EACCES) return fd;
  Fd readOnly(open(devnode, O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  Fd writeOnly(open(devnode, O_WRONLY | O_NONBLOCK | O_CLOEXEC));
  record.readable = readOnly.valid();
  record.writable = writeOnly.valid();
  return readOnly.valid() ? std::move(readOnly) : std::move(writeOnly);
}

NodeRecord DescribeNode(udev_device* device, const char* devnode) {
  NodeRecord record;
  record.node.path = devnode;
  udev_device* hid = udev_device_get_parent_with_subsystem_devtype(device, "hid", nullptr);
  if (hid != nullptr) {
    if (const char* hidId = udev_device_get_property_value(hid, "HID_ID")) {
      if (auto ids = ParseHidId(hidId)) {
        record.node.vendorId = ids->vendorId;
        record.node.productId = ids->productId;
      }
    }
    record.descriptor = ReadSysfsDescriptor(udev_device_get_syspath(hid));
  }
  Fd fd = OpenNode(devnode, record);
  if (!fd.valid()) return record;
  if (record.descriptor.empty()) record.descriptor = ReadIoctlDescriptor(fd.get());
  if (record.node.vendorId == 0 && record.node.productId == 0) {
    hidraw_devinfo info{};
    if (ioctl(fd.get(), HIDIOCGRAWINFO, &info) == 0) {
      record.node.vendorId = static_cast<uint16_t>(info.vendor);
      record.node.productId = static_cast<uint16_t>(info.product);
    }
  }
  return record;
}

// The descriptor of one node, for opening: from sysfs, else through the open node.
std::vector<uint8_t> DescriptorOf(const std::string& devnode, int fd) {
  UdevPtr<udev> context(udev_new());
  if (context) {
    struct stat st {};
    if (fstat(fd, &st) == 0) {
      UdevPtr<udev_device> device(udev_device_new_from_devnum(context.get(), 'c', st.st_rdev));
      if (device) {
        udev_device* hid =
            udev_device_get_parent_with_subsystem_devtype(device.get(), "hid", nullptr);
        if (hid != nullptr) {
          std::vector<uint8_t> bytes = ReadSysfsDescriptor(udev_device_get_syspath(hid));
          if (!bytes.empty()) return bytes;
        }
      }
    }
  }
  (void)devnode;
  return ReadIoctlDescriptor(fd);
}

class HidrawHandle final : public HidHandle {
 public:
  HidrawHandle(Fd fd, Fd cancel, DescriptorCollection collection, bool usesIds)
      : fd_(std::move(fd)),
        cancel_(std::move(cancel)),
        collection_(std::move(collection)),
        usesIds_(usesIds) {}

  bool SetFeature(std::span<const uint8_t> report) override {
    if (report.empty()) return false;
    std::vector<uint8_t> buffer(report.begin(), report.end());  // the ioctl takes a mutable one
    return ioctl(fd_.get(), HIDIOCSFEATURE(buffer.size()), buffer.data()) >= 0;
  }

  HidReadResult Read(std::span<uint8_t> buffer) override {
    for (;;) {
      pollfd fds[2] = {{fd_.get(), POLLIN, 0}, {cancel_.get(), POLLIN, 0}};
      if (poll(fds, 2, -1) < 0) {
        if (errno == EINTR) continue;
        return {HidReadStatus::Error, 0};
      }
      if (fds[1].revents & POLLIN) return {HidReadStatus::Cancelled, 0};
      if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) return {HidReadStatus::Removed, 0};
      const ssize_t n = read(fd_.get(), buffer.data(), buffer.size());
      if (n < 0) {
        if (errno == EINTR || errno == EAGAIN) continue;
        if (errno == ENODEV || errno == EIO) return {HidReadStatus::Removed, 0};
        return {HidReadStatus::Error, 0};
      }
      const auto report = buffer.first(static_cast<size_t>(n));
      if (!ReportBelongsTo(collection_, usesIds_, report)) continue;
      return {HidReadStatus::Ok, report.size()};
    }
  }

  void CancelRead() override {
    const uint64_t one = 1;
    ssize_t ignored = write(cancel_.get(), &one, sizeof one);
    (void)ignored;
  }

 private:
  Fd fd_;
  Fd cancel_;
  DescriptorCollection collection_;
  bool usesIds_;
};

class HidrawPlatform final : public HidPlatform {
 public:
  ~HidrawPlatform() override { StopWatching(); }

  std::vector<HidCollectionInfo> Enumerate() override {
    UdevPtr<udev> context(udev_new());
    if (!context) return {};
    UdevPtr<udev_enumerate> enumerate(udev_enumerate_new(context.get()));
    if (!enumerate) return {};
    udev_enumerate_add_match_subsystem(enumerate.get(), "hidraw");
    udev_enumerate_scan_devices(enumerate.get());
    std::vector<NodeRecord> records;
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate.get())) {
      UdevPtr<udev_device> device(
          udev_device_new_from_syspath(context.get(), udev_list_entry_get_name(entry)));
      if (!device) continue;
      const char* devnode = udev_device_get_devnode(device.get());
      if (devnode == nullptr) continue;
      records.push_back(DescribeNode(device.get(), devnode));
    }
    std::stable_sort(records.begin(), records.end(), [](const NodeRecord& a, const NodeRecord& b) {
      return NodeNumber(a.node.path) < NodeNumber(b.node.path);
    });
    std::vector<HidCollectionInfo> collections;
    for (const NodeRecord& record : records) {
      for (HidCollectionInfo& info : CollectionsOfNode(record.node, record.descriptor)) {
        info.readable = record.readable;
        info.writable = record.writable;
        collections.push_back(std::move(info));
      }
    }
    return collections;
  }

  Result<std::shared_ptr<HidHandle>> Open(const HidCollectionInfo& collection,
                                          HidAccess access) override {
    Fd fd(open(collection.path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid() && errno == EACCES) {
      // A node the user may only read (or only write) still serves one purpose.
      const int mode = access == HidAccess::Read ? O_RDONLY : O_WRONLY;
      fd = Fd(open(collection.path.c_str(), mode | O_NONBLOCK | O_CLOEXEC));
    }
    if (!fd.valid()) return Status::Error(collection.path + ": " + ErrnoText(errno));
    Fd cancel(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!cancel.valid()) return Status::Error("eventfd: " + ErrnoText(errno));

    const Result<ReportDescriptor> parsed =
        ParseReportDescriptor(DescriptorOf(collection.path, fd.get()));
    DescriptorCollection described;
    bool usesIds = false;
    if (parsed) {
      usesIds = parsed->usesReportIds;
      const auto& all = parsed->collections;
      if (collection.collection >= 0 && static_cast<size_t>(collection.collection) < all.size()) {
        described = all[collection.collection];
      }
    }
    return std::shared_ptr<HidHandle>(std::make_shared<HidrawHandle>(
        std::move(fd), std::move(cancel), std::move(described), usesIds));
  }

  bool WatchDevices(HidEventHandler handler) override {
    std::lock_guard lock(watchMutex_);
    if (watcher_.joinable()) return false;
    UdevPtr<udev> context(udev_new());
    if (!context) return false;
    UdevPtr<udev_monitor> monitor(udev_monitor_new_from_netlink(context.get(), "udev"));
    if (!monitor) return false;
    if (udev_monitor_filter_add_match_subsystem_devtype(monitor.get(), "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor.get()) < 0) {
      return false;
    }
    Fd stop(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!stop.valid()) return false;
    stop_ = std::move(stop);
    watcher_ = std::thread(
        [context = std::move(context), monitor = std::move(monitor), stopFd = stop_.get(),
         handler = std::move(handler)]() mutable { WatchLoop(monitor.get(), stopFd, handler); });
    return true;
  }

  void StopWatching() override {
    std::lock_guard lock(watchMutex_);
    if (!watcher_.joinable()) return;
    const uint64_t one = 1;
    ssize_t ignored = write(stop_.get(), &one, sizeof one);
    (void)ignored;
    watcher_.join();
    stop_ = Fd();  // closed only now: the thread may have ended by itself, the fd stays ours
  }

 private:
  static void WatchLoop(udev_monitor* monitor, int stopFd, const HidEventHandler& handler) {
    const int monitorFd = udev_monitor_get_fd(monitor);
    for (;;) {
      pollfd fds[2] = {{monitorFd, POLLIN, 0}, {stopFd, POLLIN, 0}};
      if (poll(fds, 2, -1) < 0) {
        if (errno == EINTR) continue;
        return;
      }
      if (fds[1].revents & POLLIN) return;
      if (!(fds[0].revents & POLLIN)) continue;
      UdevPtr<udev_device> device(udev_monitor_receive_device(monitor));
      if (!device) continue;
      const char* action = udev_device_get_action(device.get());
      const char* devnode = udev_device_get_devnode(device.get());
      if (action == nullptr || devnode == nullptr) continue;
      if (std::strcmp(action, "add") == 0) {
        handler({HidEventKind::Arrival, devnode});
      } else if (std::strcmp(action, "remove") == 0) {
        handler({HidEventKind::Removal, devnode});
      }
    }
  }

  std::mutex watchMutex_;
  std::thread watcher_;
  Fd stop_;  // wakes the watcher thread; it only borrows the number
};

}  // namespace

std::unique_ptr<HidPlatform> MakeHidrawPlatform() {
  return std::make_unique<HidrawPlatform>();
}

}  // namespace kr450
