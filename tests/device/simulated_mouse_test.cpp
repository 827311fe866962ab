#include "device/simulated_mouse.h"

#include <gtest/gtest.h>

#include "device/tracing_hid_platform.h"
#include "device_test_support.h"

namespace kr450 {
namespace {

using test::Report;

class SimulatedMouseTest : public ::testing::Test {
 protected:
  std::shared_ptr<HidHandle> OpenInput() {
    return mouse.Open(mouse.Info(SimulatedMouse::Collection::Input), HidAccess::Read)
        .ValueOr(nullptr);
  }
  std::shared_ptr<HidHandle> OpenFeature() {
    return mouse.Open(mouse.Info(SimulatedMouse::Collection::Feature), HidAccess::Write)
        .ValueOr(nullptr);
  }
  std::vector<uint8_t> ReadOne(HidHandle& handle) {
    std::vector<uint8_t> buffer(SimulatedMouse::INPUT_REPORT_LENGTH);
    const HidReadResult result = handle.Read(buffer);
    EXPECT_EQ(result.status, HidReadStatus::Ok);
    buffer.resize(result.size);
    return buffer;
  }

  SimulatedMouse mouse;
};

TEST_F(SimulatedMouseTest, KeepsWhatTheReportsToldIt) {
  auto feature = OpenFeature();
  ASSERT_TRUE(feature);
  EXPECT_TRUE(feature->SetFeature(Report(0x10, 3, 31)));
  EXPECT_TRUE(feature->SetFeature(Report(0x11, 1, 0)));
  EXPECT_TRUE(feature->SetFeature(Report(0x09, 2, 0xC2)));
  EXPECT_TRUE(feature->SetFeature(Report(0x20, 0, 0)));
  EXPECT_EQ(mouse.KeyFunction(3), 31);
  EXPECT_EQ(mouse.KeyFunction(4), 4);
  EXPECT_EQ(mouse.Wheel(), 1);
  EXPECT_EQ(mouse.StageLevel(), 2);
  EXPECT_EQ(mouse.StageAndLight(), 0xC2);
  EXPECT_TRUE(mouse.ExitReceived());
  // A report of another length is refused, as the device would.
  EXPECT_FALSE(feature->SetFeature(std::vector<uint8_t>{7, 0x11, 0, 0}));
  EXPECT_EQ(mouse.FeatureReports().size(), 4u);
}

TEST_F(SimulatedMouseTest, OnlyKeysGivenFunction31ReportToTheDriver) {
  auto feature = OpenFeature();
  auto input = OpenInput();
  feature->SetFeature(Report(0x10, 4, 31));
  mouse.PressKey(2);  // the mouse acts on it itself
  mouse.ReleaseKey(2);
  mouse.PressKey(4);
  mouse.ReleaseKey(4);
  EXPECT_EQ(ReadOne(*input), (std::vector<uint8_t>{6, 244, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(ReadOne(*input), (std::vector<uint8_t>{6, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(SimulatedMouseTest, UnplugEndsReadsAndSendsAndTellsTheWatcher) {
  std::vector<HidDeviceEvent> events;
  mouse.WatchDevices([&](const HidDeviceEvent& e) { events.push_back(e); });
  auto input = OpenInput();
  auto feature = OpenFeature();
  std::thread reader([&] {
    std::vector<uint8_t> buffer(8);
    EXPECT_EQ(input->Read(buffer).status, HidReadStatus::Removed);
  });
  mouse.Unplug();
  reader.join();
  EXPECT_FALSE(feature->SetFeature(Report(0x11, 0, 0)));
  EXPECT_TRUE(mouse.Enumerate().empty());
  mouse.Plug();
  EXPECT_FALSE(feature->SetFeature(Report(0x11, 0, 0)));  // old handles stay dead
  EXPECT_TRUE(OpenFeature()->SetFeature(Report(0x11, 0, 0)));
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].kind, HidEventKind::Removal);
  EXPECT_EQ(events[1].kind, HidEventKind::Arrival);
  EXPECT_EQ(events[1].path, mouse.path());
}

TEST_F(SimulatedMouseTest, FailuresAndCancelCanBeInjected) {
  auto input = OpenInput();
  auto feature = OpenFeature();
  std::vector<uint8_t> buffer(8);
  mouse.SetFailSends(true);
  EXPECT_FALSE(feature->SetFeature(Report(0x11, 0, 0)));
  mouse.SetFailReads(true);
  EXPECT_EQ(input->Read(buffer).status, HidReadStatus::Error);
  mouse.SetFailReads(false);
  input->CancelRead();
  EXPECT_EQ(input->Read(buffer).status, HidReadStatus::Cancelled);
}

TEST(TracingHidPlatform, ShowsEachFeatureReportAndPassesItOn) {
  SimulatedMouse mouse;
  std::vector<std::vector<uint8_t>> seen;
  TracingHidPlatform traced(
      mouse, [&](std::span<const uint8_t> r) { seen.emplace_back(r.begin(), r.end()); });
  EXPECT_EQ(traced.Enumerate(), mouse.Enumerate());
  auto feature = traced.Open(mouse.Info(SimulatedMouse::Collection::Feature), HidAccess::Write)
                     .ValueOr(nullptr);
  ASSERT_TRUE(feature);
  EXPECT_TRUE(feature->SetFeature(Report(0x09, 1, 0x93)));
  EXPECT_EQ(seen, std::vector<std::vector<uint8_t>>{Report(0x09, 1, 0x93)});
  EXPECT_EQ(mouse.FeatureReports(), seen);
}

}  // namespace
}  // namespace kr450
