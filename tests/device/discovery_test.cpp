#include <gtest/gtest.h>

#include "device_test_support.h"

namespace kr450 {
namespace {

using test::DeviceLinkTest;
using test::Report;

HidCollectionInfo Other(const std::string& path, uint32_t vendor = 0x046D,
                        uint32_t product = 0xC077, uint16_t page = 1, uint16_t usage = 2) {
  HidCollectionInfo info;
  info.path = path;
  info.vendorId = vendor;
  info.productId = product;
  info.usagePage = page;
  info.usage = usage;
  info.inputReportLength = 5;
  return info;
}

TEST_F(DeviceLinkTest, FindsTheMouseBehindOtherDevices) {
  mouse.AddCollectionBefore(Other("/dev/hidraw0"));
  mouse.AddCollectionBefore(Other("/dev/hidraw1", 0x1A2C, 0x0002, 1, 6));
  // The mouse's own pointer collection: its ids, but not a vendor collection.
  mouse.AddCollectionBefore(Other("/dev/hidraw2", 0x18F8, 0x0F99, 1, 2));
  ASSERT_EQ(mouse.Enumerate().size(), 5u);  // input at index 3, feature at 4

  EXPECT_TRUE(link.OpenDevice());
  EXPECT_TRUE(state.deviceFound);
  EXPECT_EQ(link.DevicePath(), mouse.path());
  EXPECT_EQ(link.InputReportLength(), SimulatedMouse::INPUT_REPORT_LENGTH);
  EXPECT_EQ(link.FeatureReportLength(), SimulatedMouse::FEATURE_REPORT_LENGTH);
  EXPECT_EQ(mouse.OpenReadHandles(), 1);
  EXPECT_TRUE(link.SendFeatureReport(0x11, 1, 0));
  EXPECT_EQ(mouse.FeatureReports().back(), Report(0x11, 1, 0));
}

TEST_F(DeviceLinkTest, WithoutTheMouseOrWithOneCollectionMissingNothingIsFound) {
  const struct {
    const char* what;
    void (*prepare)(SimulatedMouse&);
  } cases[] = {
      {"no mouse", [](SimulatedMouse& m) { m.Unplug(); }},
      {"input collection missing",
       [](SimulatedMouse& m) { m.RemoveCollection(SimulatedMouse::Collection::Input); }},
      {"feature collection missing",
       [](SimulatedMouse& m) { m.RemoveCollection(SimulatedMouse::Collection::Feature); }},
      {"mouse beyond the hundredth collection",
       [](SimulatedMouse& m) {
         for (int i = 0; i < 99; ++i)
           m.AddCollectionBefore(Other("/dev/hidraw" + std::to_string(i)));
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SimulatedMouse other;
    c.prepare(other);
    DeviceLink otherLink(state, other, pointer, window, clock);
    state.deviceFound = true;
    EXPECT_FALSE(otherLink.OpenDevice());
    EXPECT_FALSE(state.deviceFound);
    EXPECT_FALSE(otherLink.SendFeatureReport(0x11, 0, 0));
    EXPECT_TRUE(other.FeatureReports().empty());
  }
}

TEST_F(DeviceLinkTest, DeniedAccessIsNotAConnectionAndSaysWhy) {
  mouse.SetAccessDenied(true);
  EXPECT_FALSE(link.OpenDevice());
  EXPECT_NE(link.OpenError().find("Permission denied"), std::string::npos);
  EXPECT_FALSE(mouse.Enumerate()[0].accessible);
}

TEST_F(DeviceLinkTest, ArrivalOfTheMousesPathInAnotherCaseReopensIt) {
  mouse.SetAccessDenied(true);
  ASSERT_FALSE(link.OpenDevice());  // the mouse was seen but could not be opened
  mouse.SetAccessDenied(false);

  link.OnDeviceChange({HidEventKind::Arrival, "/dev/some-other-node"});
  EXPECT_FALSE(state.deviceFound);
  link.OnDeviceChange({HidEventKind::Arrival, "/DEV/HIDRAW-SIM-KR450"});
  EXPECT_TRUE(state.deviceFound);
  EXPECT_EQ(mouse.OpenReadHandles(), 1);
  EXPECT_TRUE(mouse.FeatureReports().empty());  // an arrival opens, it does not apply

  link.OnDeviceChange({HidEventKind::Arrival, mouse.path()});  // already connected
  EXPECT_EQ(mouse.OpenReadHandles(), 1);
}

TEST_F(DeviceLinkTest, RemovalOfTheMouseEndsTheDriverWithoutAReport) {
  ASSERT_TRUE(link.OpenDevice());
  link.OnDeviceChange({HidEventKind::Removal, "/dev/hidraw9"});
  EXPECT_EQ(window.shutdowns, 0);
  EXPECT_TRUE(state.deviceFound);

  mouse.Unplug();  // delivered through the platform's watcher
  EXPECT_FALSE(state.deviceFound);
  EXPECT_EQ(window.shutdowns, 1);
  EXPECT_TRUE(mouse.FeatureReports().empty());
  EXPECT_TRUE(pointer.SpeedsSet().empty());
}

TEST_F(DeviceLinkTest, ResumeWhileThePromptWaitsAppliesAndPromptsAgain) {
  ASSERT_TRUE(link.OpenDevice());
  (void)link.ApplyConfig();
  state.driverRunning = false;
  mouse.ClearFeatureReports();
  link.OnResume();
  EXPECT_EQ(mouse.FeatureReports().size(), 8u);
  EXPECT_FALSE(state.driverRunning);
  EXPECT_EQ(state.promptButton, 6);
}

TEST_F(DeviceLinkTest, ResumeAppliesOnlyBetweenTheFirstApplyAndTheClose) {
  ASSERT_TRUE(link.OpenDevice());
  link.OnResume();  // nothing applied yet: nothing to apply again
  EXPECT_TRUE(mouse.FeatureReports().empty());
  (void)link.ApplyConfig();
  link.ShutDown();
  mouse.ClearFeatureReports();
  link.OnResume();  // the mouse was told goodbye
  EXPECT_TRUE(mouse.FeatureReports().empty());
}

TEST_F(DeviceLinkTest, ShutDownSaysGoodbyeAndRestoresThePointerSpeed) {
  ASSERT_TRUE(link.OpenDevice());
  link.ShutDown();
  EXPECT_EQ(mouse.FeatureReports(), std::vector<std::vector<uint8_t>>{Report(0x20, 0, 0)});
  EXPECT_TRUE(mouse.ExitReceived());
  EXPECT_EQ(pointer.SpeedsSet(), std::vector<int>{10});

  SimulatedMouse absent;
  absent.Unplug();
  RecordingPointerSpeed otherPointer;
  DeviceLink unconnected(state, absent, otherPointer, window, clock);
  unconnected.OpenDevice();
  unconnected.ShutDown();
  EXPECT_TRUE(absent.FeatureReports().empty());
  EXPECT_EQ(otherPointer.SpeedsSet(), std::vector<int>{10});
}

}  // namespace
}  // namespace kr450
