#include <gtest/gtest.h>

#include "device/feature_report.h"
#include "device/input_reader.h"
#include "device/tracing_hid_platform.h"
#include "device_test_support.h"

namespace kr450 {
namespace {

using test::DeviceLinkTest;
using test::Eventually;
using test::Report;
using Reports = std::vector<std::vector<uint8_t>>;

class ApplyConfigTest : public DeviceLinkTest {
 protected:
  void SetUp() override { ASSERT_TRUE(link.OpenDevice()); }
};

TEST_F(ApplyConfigTest, FactoryButtonsSendTheEightReportsAndPromptForButton6) {
  const ApplyOutcome outcome = link.ApplyConfig();
  EXPECT_EQ(mouse.FeatureReports(),
            (Reports{Report(0x10, 1, 1), Report(0x10, 2, 2), Report(0x10, 3, 3), Report(0x10, 5, 5),
                     Report(0x10, 4, 4), Report(0x10, 6, 31), Report(0x11, 0, 0),
                     Report(0x09, 0, 0x90)}));
  EXPECT_EQ(outcome.reportsSent, 8);
  EXPECT_EQ(outcome.reportsFailed, 0);
  EXPECT_TRUE(outcome.files.ok());
  EXPECT_FALSE(state.driverRunning);
  EXPECT_EQ(state.promptButton, 6);
  EXPECT_TRUE(state.promptWorkerStarted);
  EXPECT_EQ(mouse.KeyFunction(6), SOFTWARE_FUNCTION);
  EXPECT_EQ(state.Snapshot().dpiAction, (std::array<int32_t, 6>{0, 0, 0, 0, 0, 2}));
}

TEST_F(ApplyConfigTest, ButtonReportsFollowTheFunctionCatalogueAndThePromptNamesTheFirst) {
  const struct {
    const char* what;
    std::array<FunctionCode, 6> buttons;
    std::array<uint8_t, 6> functionPerButton;
    int promptButton;  // 0: no prompt
  } cases[] = {
      {"buttons 2 and 5 driver-performed", {1, 41, 3, 5, 19, 2}, {1, 31, 3, 5, 31, 2}, 2},
      {"no driver-performed button", {1, 2, 3, 5, 4, 11}, {1, 2, 3, 5, 4, 7}, 0},
      {"codes 13 and 24", {1, 13, 24, 25, 21, 16}, {1, 9, 16, 17, 13, 12}, 0},
      {"codes outside the catalogue act as none", {1, 7, 53, -1, 20, 0}, {1, 0, 0, 0, 0, 0}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SetConfig(1, [&](DeviceConfig& config) { config.buttons = c.buttons; });
    state.promptWorkerStarted = false;
    mouse.ClearFeatureReports();
    link.ApplyConfig();
    const Reports reports = mouse.FeatureReports();
    ASSERT_EQ(reports.size(), 8u);
    for (int i = 0; i < 6; ++i) {
      EXPECT_EQ(reports[i], Report(0x10, ButtonDeviceKey[i], c.functionPerButton[i])) << i;
    }
    EXPECT_EQ(state.driverRunning, c.promptButton == 0);
    EXPECT_EQ(state.promptWorkerStarted, c.promptButton != 0);
    if (c.promptButton != 0) {
      EXPECT_EQ(state.promptButton, c.promptButton);
    }
  }
}

TEST_F(ApplyConfigTest, StageAndLightingReportCarriesTheActiveStageAndMode) {
  const struct {
    int level;
    std::array<uint8_t, 4> stages;
    uint8_t led;
    uint8_t sentLevel;  // a level outside 0..3 is sent as the stage whose value goes with it
    uint8_t expected;
  } cases[] = {{2, {0, 1, 4, 0}, 2, 2, 0xC2},
               {1, {1, 2, 4, 0}, 3, 1, 0xA3},
               {0, {0, 0, 0, 0}, 0, 0, 0x80},
               {5, {0, 1, 2, 4}, 1, 3, 0xC1},
               {-1, {3, 0, 0, 0}, 0, 0, 0xB0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.level);
    SetConfig(1, [&](DeviceConfig& config) {
      config.dpiLevel = c.level;
      config.dpiStage = c.stages;
      config.ledStatus = c.led;
    });
    mouse.ClearFeatureReports();
    link.ApplyConfig();
    EXPECT_EQ(mouse.FeatureReports().back(), Report(0x09, c.sentLevel, c.expected));
    EXPECT_EQ(state.Snapshot().appliedDpiStage, c.stages);
    EXPECT_EQ(state.Snapshot().appliedLedStatus, c.led);
  }
}

TEST_F(ApplyConfigTest, StoresConfiguration6BeforeSendingAndTheCurrentOneAfter) {
  SetConfig(3, [](DeviceConfig& config) { config.buttons[1] = 41; });
  std::string config6AtFirstReport = "unset";
  std::string config3AtFirstReport = "unset";
  TracingHidPlatform traced(mouse, [&](std::span<const uint8_t>) {
    if (config6AtFirstReport != "unset") return;
    config6AtFirstReport = Value("Config6", "K2");
    config3AtFirstReport = Value("Config3", "K2");
  });
  DeviceLink tracedLink(state, traced, pointer, window, clock);
  ASSERT_TRUE(tracedLink.OpenDevice());
  tracedLink.ApplyConfig();
  EXPECT_EQ(config6AtFirstReport, "41");
  EXPECT_EQ(config3AtFirstReport, "");
  EXPECT_EQ(Value("Init", "CurConfig"), "3");
  EXPECT_EQ(Value("Config3", "K2"), "41");
}

// The executor changes the configuration from its own thread (stage steps, lighting) while
// an apply runs: configuration 6 must still be what the mouse was sent.
TEST_F(ApplyConfigTest, Configuration6IsWhatWasSentWhileTheConfigurationChanges) {
  std::atomic<bool> done{false};
  std::thread executor([&] {
    for (int n = 0; !done.load(); ++n) {
      state.WithConfig([&](ConfigState& s) {
        s.config.buttons[1] = n % 2 == 0 ? 41 : 2;
        s.config.dpiLevel = n % 4;
      });
    }
  });
  for (int apply = 0; apply < 100; ++apply) {
    mouse.ClearFeatureReports();
    link.ApplyConfig();
    const Reports reports = mouse.FeatureReports();
    ASSERT_EQ(reports.size(), 8u);
    const std::string k2 = Value("Config6", "K2");
    ASSERT_EQ(reports[1][3], k2 == "41" ? SOFTWARE_FUNCTION : 2) << "apply " << apply;
    ASSERT_EQ(std::to_string(reports[7][2]), Value("Config6", "DPI_LEVEL")) << "apply " << apply;
  }
  done = true;
  executor.join();
}

TEST_F(ApplyConfigTest, TheCurrentConfigurationIsStoredAsItIsAtTheEndOfTheApply) {
  SetConfig(2, [](DeviceConfig& config) { config.dpiLevel = 1; });
  // A stage step taken while the reports go out: the file keeps it, configuration 6 does not.
  bool stepped = false;
  TracingHidPlatform traced(mouse, [&](std::span<const uint8_t>) {
    if (stepped) return;
    stepped = true;
    state.WithConfig([](ConfigState& s) { s.config.dpiLevel = 2; });
  });
  DeviceLink tracedLink(state, traced, pointer, window, clock);
  ASSERT_TRUE(tracedLink.OpenDevice());
  tracedLink.ApplyConfig();
  EXPECT_EQ(Value("Config6", "DPI_LEVEL"), "1");
  EXPECT_EQ(Value("Config2", "DPI_LEVEL"), "2");
  EXPECT_EQ(mouse.FeatureReports().back()[2], 1);
}

TEST_F(ApplyConfigTest, NeverLeavesTheMouseWithoutALeftButton) {
  // A configuration without any code 1, as a missing section or a hand-edited file gives.
  SetConfig(2, [](DeviceConfig& config) { config.buttons = {0, 2, 3, 41, 4, 6}; });
  link.ApplyConfig();
  EXPECT_EQ(mouse.FeatureReports().front(), Report(0x10, 1, 1));
  EXPECT_EQ(mouse.KeyFunction(1), 1);
  EXPECT_EQ(state.Config().buttons[0], 1);
  EXPECT_EQ(Value("Config6", "K1"), "1");
  EXPECT_EQ(Value("Config2", "K1"), "1");

  // A left button elsewhere is kept where it is.
  SetConfig(2, [](DeviceConfig& config) { config.buttons = {2, 1, 3, 5, 4, 6}; });
  link.ApplyConfig();
  EXPECT_EQ(state.Config().buttons, (std::array<FunctionCode, 6>{2, 1, 3, 5, 4, 6}));
}

TEST_F(ApplyConfigTest, SetsTheSystemPointerSpeedWhenItCanBeRead) {
  for (const auto& c : {std::pair{8, 7}, {9, 9}, {10, 10}}) {
    SetConfig(1, [&](DeviceConfig& config) { config.pointerSpeed = c.first; });
    link.ApplyConfig();
    EXPECT_EQ(pointer.SpeedsSet().back(), c.second);
  }
  const size_t before = pointer.SpeedsSet().size();
  pointer.SetReadable(false);
  link.ApplyConfig();
  EXPECT_EQ(pointer.SpeedsSet().size(), before);
}

TEST_F(ApplyConfigTest, AnApplyWhileThePromptWaitsNamesTheNewButtonAndStartsNoSecondWorker) {
  // On the main page the first apply's blink worker keeps running while the prompt waits.
  test::GateClock gate;
  state.mainPageShown = true;
  DeviceLink mainPage(state, mouse, pointer, window, gate);
  ASSERT_TRUE(mainPage.OpenDevice());
  mainPage.ApplyConfig();
  ASSERT_TRUE(Eventually([&] { return gate.Sleepers() == 1; }));
  EXPECT_EQ(mainPage.PromptBlinkStartsRequested(), 1);

  SetConfig(1, [](DeviceConfig& config) { config.buttons = {1, 2, 40, 5, 4, 3}; });
  mainPage.ApplyConfig();
  EXPECT_FALSE(state.driverRunning);
  EXPECT_EQ(state.promptButton, 3);
  EXPECT_EQ(mainPage.PromptBlinkStartsRequested(), 1);
  EXPECT_TRUE(state.promptBlinkRunning);

  // The click ends the prompt; the next apply that prompts asks for a worker again.
  HandleInputReport(state, window, std::vector<uint8_t>{6, 0});
  gate.Release();
  ASSERT_TRUE(Eventually([&] { return !state.promptBlinkRunning.load(); }));
  state.mainPageShown = false;
  mainPage.ApplyConfig();
  EXPECT_EQ(mainPage.PromptBlinkStartsRequested(), 2);
}

TEST_F(ApplyConfigTest, FailedSendsAreCountedAndTheFilesStillWritten) {
  mouse.SetFailSends(true);
  const ApplyOutcome outcome = link.ApplyConfig();
  EXPECT_EQ(outcome.reportsSent, 0);
  EXPECT_EQ(outcome.reportsFailed, 8);
  EXPECT_EQ(Value("Config6", "K6"), "6");
}

TEST_F(DeviceLinkTest, WithoutTheMouseTheApplyStillWritesFilesSpeedAndPrompt) {
  mouse.Unplug();
  ASSERT_FALSE(link.OpenDevice());
  const ApplyOutcome outcome = link.ApplyConfig();
  EXPECT_EQ(outcome.reportsSent, 0);
  EXPECT_TRUE(mouse.FeatureReports().empty());
  EXPECT_EQ(Value("Init", "CurConfig"), "1");
  EXPECT_EQ(Value("Config6", "K6"), "6");
  EXPECT_EQ(pointer.SpeedsSet(), std::vector<int>{10});
  EXPECT_FALSE(state.driverRunning);
}

TEST_F(DeviceLinkTest, AnUnwritableFileIsReportedAndTheReportsStillSent) {
  state.configFilePath = dir.File("missing-folder/config.ini");
  ASSERT_TRUE(link.OpenDevice());
  const ApplyOutcome outcome = link.ApplyConfig();
  EXPECT_FALSE(outcome.files.ok());
  EXPECT_EQ(outcome.reportsSent, 8);
}

TEST(FeatureReport, IsBuiltWholeAndZeroPadded) {
  EXPECT_EQ(BuildFeatureReport(6, 0x09, 2, 0xA3), (std::vector<uint8_t>{7, 9, 2, 0xA3, 0, 0}));
  EXPECT_EQ(BuildFeatureReport(4, 0x20, 0, 0), (std::vector<uint8_t>{7, 0x20, 0, 0}));
  EXPECT_TRUE(BuildFeatureReport(3, 0x20, 0, 0).empty());
  EXPECT_EQ(FormatReportLine(std::vector<uint8_t>{7, 0x10, 6, 0x1F, 0}), "report 07 10 06 1f 00");
}

}  // namespace
}  // namespace kr450
