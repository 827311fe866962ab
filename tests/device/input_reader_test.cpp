#include "device/input_reader.h"

#include <gtest/gtest.h>

#include "device_test_support.h"

namespace kr450 {
namespace {

using test::CountingWindow;
using test::DeviceLinkTest;
using test::Eventually;

struct ReaderCase {
  const char* what;
  bool running;
  int macroMode;
  int pressPendingBefore;
  std::vector<uint8_t> report;
  int pressPending;
  uint8_t pressCode;
  int stopRequested;
  bool runningAfter;
  int repaints;
};

class ReaderRules : public ::testing::TestWithParam<ReaderCase> {};

TEST_P(ReaderRules, TurnReportsIntoPressesStopsAndConfirmation) {
  const ReaderCase& c = GetParam();
  DriverState state;
  CountingWindow window;
  state.driverRunning = c.running;
  state.pressPending = c.pressPendingBefore;
  state.WithConfig([&](ConfigState& s) { s.config.macroMode = c.macroMode; });
  HandleInputReport(state, window, c.report);
  EXPECT_EQ(state.pressPending, c.pressPending);
  EXPECT_EQ(state.pressCode, c.pressCode);
  EXPECT_EQ(state.stopRequested, c.stopRequested);
  EXPECT_EQ(state.driverRunning, c.runningAfter);
  EXPECT_EQ(window.repaints, c.repaints);
  if (!c.running && c.runningAfter) {
    EXPECT_FALSE(state.promptWorkerStarted);
    EXPECT_FALSE(state.promptBlink);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReaderRules,
    ::testing::Values(
        ReaderCase{"press while idle", true, 0, 0, {6, 243, 0}, 1, 243, 0, true, 0},
        ReaderCase{"second press in mode 0 stops", true, 0, 1, {6, 241}, 1, 0, 1, true, 0},
        ReaderCase{"second press in mode 1 is dropped", true, 1, 1, {6, 241}, 1, 0, 0, true, 0},
        ReaderCase{"release in mode 1 stops", true, 1, 1, {6, 0}, 1, 0, 1, true, 0},
        ReaderCase{
            "release in mode 1 while idle stops nothing", true, 1, 0, {6, 0}, 0, 0, 0, true, 0},
        ReaderCase{"release in mode 0 does nothing", true, 0, 0, {6, 0}, 0, 0, 0, true, 0},
        ReaderCase{"code 240 is neither", true, 0, 0, {6, 240}, 0, 0, 0, true, 0},
        ReaderCase{"code 255 is a press", true, 0, 0, {6, 255}, 1, 255, 0, true, 0},
        ReaderCase{"a one-byte report carries nothing", true, 1, 0, {6}, 0, 0, 0, true, 0},
        ReaderCase{"press dropped while prompting", false, 0, 0, {6, 243}, 0, 0, 0, false, 0},
        ReaderCase{"release report ends the prompt", false, 1, 0, {6, 0}, 0, 0, 0, true, 1},
        ReaderCase{"(5, 0) does not end the prompt", false, 0, 0, {5, 0}, 0, 0, 0, false, 0}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

class InputReaderTest : public DeviceLinkTest {
 protected:
  InputReader reader{state, link, window, clock};
};

TEST_F(InputReaderTest, ThePromptEndsOnTheClickAndLaterPressesWakeTheExecutor) {
  ASSERT_TRUE(link.OpenDevice());
  link.ApplyConfig();  // factory buttons: key 6 reports to the driver
  reader.Start();
  mouse.PressKey(1);  // performed by the mouse itself, nothing to read
  mouse.PressKey(6);
  mouse.ReleaseKey(6);
  ASSERT_TRUE(Eventually([&] { return state.driverRunning.load(); }));
  EXPECT_EQ(state.pressPending, 0);  // the click that confirmed was not executed

  mouse.PressKey(6);
  state.pressPending.wait(0);  // returns only when the reader stored and notified
  EXPECT_EQ(state.pressCode, 246);
  reader.Stop();
}

TEST_F(InputReaderTest, StopsWhileBlockedOnTheDeviceOrWaitingForOne) {
  reader.Start();  // no device open yet: waits without polling
  std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_TRUE(clock.Pauses().empty());
  ASSERT_TRUE(link.OpenDevice());
  ASSERT_TRUE(Eventually([&] { return mouse.OpenReadHandles() == 1; }));
  reader.Stop();
  EXPECT_TRUE(state.shutdownRequested);
}

TEST_F(InputReaderTest, AnUnplugNoticedByTheReadEndsTheDriverOnce) {
  for (bool eventsDelivered : {false, true}) {
    SCOPED_TRACE(eventsDelivered ? "the system reports it too" : "only the read notices");
    SimulatedMouse unplugged;
    DriverState readerState;
    CountingWindow readerWindow;
    DeviceLink readerLink(readerState, unplugged, pointer, readerWindow, clock);
    InputReader readerOf(readerState, readerLink, readerWindow, clock);
    ASSERT_TRUE(readerLink.OpenDevice());
    readerOf.Start();
    ASSERT_TRUE(Eventually([&] { return unplugged.OpenReadHandles() == 1; }));
    unplugged.SetHotplugEvents(eventsDelivered);
    unplugged.Unplug();
    // The reader drops the dead handle once it has taken the removal path.
    ASSERT_TRUE(Eventually([&] { return unplugged.OpenReadHandles() == 0; }));
    EXPECT_FALSE(readerState.deviceFound);
    EXPECT_EQ(readerWindow.shutdowns, 1);
    EXPECT_TRUE(unplugged.FeatureReports().empty());
    readerOf.Stop();
  }
}

TEST_F(InputReaderTest, BacksOffWhileReadsFail) {
  ASSERT_TRUE(link.OpenDevice());
  mouse.SetFailReads(true);
  reader.Start();
  ASSERT_TRUE(Eventually([&] { return clock.Pauses().size() >= 12; }));
  mouse.SetFailReads(false);
  reader.Stop();
  const auto pauses = clock.Pauses();
  using std::chrono::milliseconds;
  EXPECT_EQ(pauses[0], milliseconds(2));
  EXPECT_EQ(pauses[1], milliseconds(4));
  EXPECT_EQ(pauses[8], milliseconds(512));
  EXPECT_EQ(pauses[11], milliseconds(1000));
}

TEST_F(InputReaderTest, StopWakesAPauseAfterAFailedRead) {
  test::GateClock gate;  // a pause lasts until the test lets it go, or the stop wakes it
  InputReader pausing(state, link, window, gate);
  ASSERT_TRUE(link.OpenDevice());
  mouse.SetFailReads(true);
  pausing.Start();
  ASSERT_TRUE(Eventually([&] { return gate.Sleepers() == 1; }));
  std::atomic<bool> stopped{false};
  std::thread stopper([&] {
    pausing.Stop();
    stopped = true;
  });
  const bool stoppedAlone = Eventually([&] { return stopped.load(); });
  gate.Release();  // lets a reader that slept through the stop end, so the test ends
  stopper.join();
  EXPECT_TRUE(stoppedAlone);
}

}  // namespace
}  // namespace kr450
