// The hidraw backend against a virtual HID device that the kernel's uhid driver creates from
// a recorded descriptor: enumeration, opening, a feature report, a filtered input report and
// removal. Skipped where /dev/uhid cannot be opened (containers, users without access).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/uhid.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <mutex>

#include "device/hidraw_platform.h"
#include "device_test_support.h"

namespace kr450 {
namespace {

using test::Eventually;

class UhidDevice {
 public:
  explicit UhidDevice(const std::vector<uint8_t>& descriptor) {
    fd_ = open("/dev/uhid", O_RDWR | O_CLOEXEC);
    if (fd_ < 0) return;
    uhid_event event{};
    event.type = UHID_CREATE2;
    std::strcpy(reinterpret_cast<char*>(event.u.create2.name), "kr450 test mouse");
    event.u.create2.rd_size = static_cast<uint16_t>(descriptor.size());
    event.u.create2.bus = 0x03;
    event.u.create2.vendor = 0x18F8;
    event.u.create2.product = 0x0F99;
    std::copy(descriptor.begin(), descriptor.end(), event.u.create2.rd_data);
    created_ = write(fd_, &event, sizeof event) == sizeof event;
    if (created_) answerer_ = std::thread([this] { Answer(); });
  }
  ~UhidDevice() {
    Destroy();
    stop_ = true;
    if (answerer_.joinable()) answerer_.join();
    if (fd_ >= 0) close(fd_);
  }
  bool created() const { return created_; }

  bool Input(const std::vector<uint8_t>& report) {
    uhid_event event{};
    event.type = UHID_INPUT2;
    event.u.input2.size = static_cast<uint16_t>(report.size());
    std::copy(report.begin(), report.end(), event.u.input2.data);
    return write(fd_, &event, sizeof event) == sizeof event;
  }
  void Destroy() {
    if (!created_) return;
    uhid_event event{};
    event.type = UHID_DESTROY;
    created_ = !(write(fd_, &event, sizeof event) == sizeof event);
  }
  std::vector<std::vector<uint8_t>> FeatureReports() {
    std::lock_guard lock(mutex_);
    return features_;
  }

 private:
  // The kernel waits for an answer to every feature report.
  void Answer() {
    while (!stop_) {
      pollfd pfd{fd_, POLLIN, 0};
      if (poll(&pfd, 1, 20) <= 0) continue;
      uhid_event event{};
      if (read(fd_, &event, sizeof event) <= 0) continue;
      if (event.type != UHID_SET_REPORT) continue;
      {
        std::lock_guard lock(mutex_);
        const auto& r = event.u.set_report;
        if (r.rtype == UHID_FEATURE_REPORT) features_.emplace_back(r.data, r.data + r.size);
      }
      uhid_event reply{};
      reply.type = UHID_SET_REPORT_REPLY;
      reply.u.set_report_reply.id = event.u.set_report.id;
      reply.u.set_report_reply.err = 0;
      ssize_t ignored = write(fd_, &reply, sizeof reply);
      (void)ignored;
    }
  }

  int fd_ = -1;
  bool created_ = false;
  std::atomic<bool> stop_{false};
  std::thread answerer_;
  std::mutex mutex_;
  std::vector<std::vector<uint8_t>> features_;
};

bool Contains(const std::vector<uint8_t>& haystack, const std::vector<uint8_t>& needle) {
  return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) !=
         haystack.end();
}

TEST(HidrawPlatform, DrivesAVirtualMouseThroughItsHidrawNode) {
  UhidDevice uhid(test::LoadHexFixture("gaming_mouse.hex"));
  if (!uhid.created()) GTEST_SKIP() << "/dev/uhid is not available";
  auto platform = MakeHidrawPlatform();
  ASSERT_TRUE(Eventually([&] {
    const auto all = platform->Enumerate();
    return std::any_of(all.begin(), all.end(), [](const HidCollectionInfo& c) {
      return c.vendorId == 0x18F8 && c.usagePage == 0xFF01 && c.featureReportLength == 9;
    });
  }));

  DriverState state;
  RecordingPointerSpeed pointer;
  test::CountingWindow window;
  FakeStoppableClock clock;
  DeviceLink link(state, *platform, pointer, window, clock);
  ASSERT_TRUE(link.OpenDevice()) << link.OpenError();
  EXPECT_EQ(link.InputReportLength(), 8);
  EXPECT_EQ(link.FeatureReportLength(), 9);

  EXPECT_TRUE(link.SendFeatureReport(0x10, 6, 31));
  ASSERT_TRUE(Eventually([&] { return !uhid.FeatureReports().empty(); }));
  EXPECT_TRUE(Contains(uhid.FeatureReports()[0], {0x10, 6, 31}));

  std::shared_ptr<HidHandle> input = link.WaitForReadHandle();
  ASSERT_TRUE(input);
  ASSERT_TRUE(uhid.Input({1, 1, 0, 0, 0, 0, 0}));  // the pointer collection's report: not ours
  ASSERT_TRUE(uhid.Input({6, 246, 0, 0, 0, 0, 0, 0}));
  std::vector<uint8_t> buffer(8);
  const HidReadResult read = input->Read(buffer);
  ASSERT_EQ(read.status, HidReadStatus::Ok);
  EXPECT_EQ(read.size, 8u);
  EXPECT_EQ(buffer[0], 6);
  EXPECT_EQ(buffer[1], 246);

  uhid.Destroy();
  EXPECT_EQ(input->Read(buffer).status, HidReadStatus::Removed);
}

TEST(HidrawPlatform, EnumeratesAndWatchesWithoutBlocking) {
  // Wherever it runs, enumeration and watching must neither crash nor block.
  auto platform = MakeHidrawPlatform();
  for (const HidCollectionInfo& c : platform->Enumerate()) EXPECT_FALSE(c.path.empty());
  platform->WatchDevices([](const HidDeviceEvent&) {});
  platform->StopWatching();
  platform->StopWatching();
}

}  // namespace
}  // namespace kr450
