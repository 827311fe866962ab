#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>
#include <utility>

#include "device/feature_report.h"
#include "executor_fixture.h"

namespace kr450 {
namespace {

using Lines = std::vector<std::string>;

std::vector<uint8_t> StageReport(uint8_t level, uint8_t stageAndLight) {
  return BuildFeatureReport(SimulatedMouse::FEATURE_REPORT_LENGTH, CMD_STAGE_LIGHT, level,
                            stageAndLight);
}

// Each driver-performed function on button 6 (device key 6), and what it synthesises.
struct FunctionCase {
  int code;
  Lines lines;
};

class ExecutorFunctionTest : public ExecutorTest,
                             public ::testing::WithParamInterface<FunctionCase> {};

TEST_P(ExecutorFunctionTest, SynthesisesTheFunctionsInput) {
  StartWith(Section(1, Buttons({1, 2, 3, 5, 4, GetParam().code})));
  PressAndPerform(6);
  EXPECT_EQ(TimedLines(), GetParam().lines);
  EXPECT_TRUE(mouse_.FeatureReports().empty());
  EXPECT_EQ(state_.pressPending.load(), 0);
}

const Lines kCtrlC = {"key down vk=0x11 scan=0x00 ext=0 @0", "key down vk=0x43 scan=0x2E ext=0 @0",
                      "key up vk=0x43 scan=0x2E ext=0 @20", "key up vk=0x11 scan=0x00 ext=0 @20"};

INSTANTIATE_TEST_SUITE_P(
    Functions, ExecutorFunctionTest,
    ::testing::Values(
        // The key-up as well: a key left down would repeat.
        FunctionCase{26,
                     {"key down vk=0xAD scan=0x00 ext=0 @0", "key up vk=0xAD scan=0x00 ext=0 @0"}},
        FunctionCase{31, kCtrlC},
        FunctionCase{32,
                     {"key down vk=0x11 scan=0x00 ext=0 @0", "key down vk=0x56 scan=0x2F ext=0 @0",
                      "key up vk=0x56 scan=0x2F ext=0 @20", "key up vk=0x11 scan=0x00 ext=0 @20"}},
        FunctionCase{33,
                     {"key down vk=0x11 scan=0x00 ext=0 @0", "key down vk=0x41 scan=0x1E ext=0 @0",
                      "key up vk=0x41 scan=0x1E ext=0 @20", "key up vk=0x11 scan=0x00 ext=0 @20"}},
        FunctionCase{34,
                     {"key down vk=0x11 scan=0x00 ext=0 @0", "key down vk=0x5A scan=0x2C ext=0 @0",
                      "key up vk=0x5A scan=0x2C ext=0 @20", "key up vk=0x11 scan=0x00 ext=0 @20"}},
        FunctionCase{35,
                     {"key down vk=0x12 scan=0x00 ext=0 @0", "key down vk=0x73 scan=0x3E ext=0 @0",
                      "key up vk=0x73 scan=0x3E ext=0 @0", "key up vk=0x12 scan=0x00 ext=0 @0"}},
        FunctionCase{36, {"open-computer @0"}}, FunctionCase{37, {"lock @0"}},
        FunctionCase{38, {"start calculator @0"}}, FunctionCase{39, {"start terminal @0"}},
        // Mouse functions, codes outside the catalogue and a macro code without its macro.
        FunctionCase{11, {}}, FunctionCase{7, {}}, FunctionCase{-3, {}}, FunctionCase{53, {}},
        FunctionCase{41, {}}));

TEST_F(ExecutorTest, DeviceKeyFourIsButtonFive) {
  StartWith(Section(1, Buttons({1, 2, 3, 33, 31, 6})));
  PressAndPerform(4);
  EXPECT_EQ(TimedLines(), kCtrlC);  // K5 = Copy, not K4 = SelectAll
  input_.Clear();
  Report(6, 0xF0);  // 240: no key
  Report(6, 0xF7);  // 247: a key no button has
  executor_->RunOnce();
  EXPECT_TRUE(input_.Calls().empty());
  EXPECT_EQ(state_.pressPending.load(), 0);
}

TEST_F(ExecutorTest, StageStepsSendTheStageAndStoreIt) {
  // Stages 0, 1, 2 enabled, 3 not; button 6 steps up, button 2 cycles.
  StartWith(Section(1, Override(Buttons({1, 6, 3, 5, 4, 17}), "DPI_SET_EN4", "0")));
  PressAndPerform(6);
  PressAndPerform(6);
  PressAndPerform(6);  // on the highest enabled stage: stays, still sent and stored
  EXPECT_EQ(mouse_.FeatureReports(),
            (std::vector<std::vector<uint8_t>>{StageReport(1, 0xA0), StageReport(2, 0xC0),
                                               StageReport(2, 0xC0)}));
  EXPECT_EQ(ConfigValue(1, "DPI_LEVEL"), "2");
  PressAndPerform(2);  // cycle wraps past the disabled stage 3
  EXPECT_EQ(state_.Config().dpiLevel, 0);
  EXPECT_EQ(ConfigValue(1, "DPI_LEVEL"), "0");
  EXPECT_GE(window_.repaints.load(), 4);
  EXPECT_TRUE(input_.Calls().empty());
}

TEST_F(ExecutorTest, LightingToggleSendsAndStoresTheModeAndLaterStepsKeepIt) {
  StartWith(Section(1, Override(Buttons({1, 2, 3, 5, 19, 17}), "LED_STATUS", "1")));
  PressAndPerform(4);  // K5: lighting off
  EXPECT_EQ(ConfigValue(1, "LED_STATUS"), "3");
  PressAndPerform(6);  // a stage step sends the lights off too
  PressAndPerform(4);  // and on again in mode 0
  EXPECT_EQ(mouse_.FeatureReports(),
            (std::vector<std::vector<uint8_t>>{StageReport(0, 0x93), StageReport(1, 0xA3),
                                               StageReport(1, 0xA0)}));
  EXPECT_EQ(ConfigValue(1, "LED_STATUS"), "0");
  EXPECT_EQ(state_.Snapshot().appliedLedStatus, 0);
}

// A window that runs a step of its own when a worker asks for a repaint: what the window
// thread may do at any moment, placed where the executor asks.
class HookedWindow final : public WindowLink {
 public:
  void RequestRepaint() override {
    if (onRepaint) std::exchange(onRepaint, nullptr)();
  }
  void RequestShutdown() override {}
  std::function<void()> onRepaint;
};

// The stage step and the lighting toggle store their value in the section of the
// configuration they changed, even when the window switches configuration right after.
struct SwitchCase {
  const char* name;
  int code;  // on button 6
  const char* key;
  const char* storedInOne;
};

void PrintTo(const SwitchCase& c, std::ostream* out) {
  *out << c.name;
}

class ExecutorSwitchTest : public ExecutorTest, public ::testing::WithParamInterface<SwitchCase> {};

TEST_P(ExecutorSwitchTest, StoresInTheSectionOfTheConfigurationItChanged) {
  const SwitchCase& c = GetParam();
  std::string two =
      Override(Override(Buttons({1, 2, 3, 5, 4, 4}), "DPI_LEVEL", "3"), "LED_STATUS", "2");
  StartWith(Section(1, Override(Buttons({1, 2, 3, 5, 4, c.code}), "LED_STATUS", "1")) +
            Section(2, two));
  HookedWindow window;
  window.onRepaint = [&] { SelectConfig(state_, 2); };
  ActionExecutor executor(state_, macros_, *link_, input_, window, clock_);
  executor.PerformButton(5);
  EXPECT_EQ(state_.Snapshot().currentConfig, 2);  // the switch did happen in between
  EXPECT_EQ(ConfigValue(1, c.key), c.storedInOne);
  EXPECT_EQ(ConfigValue(2, "DPI_LEVEL"), "3");
  EXPECT_EQ(ConfigValue(2, "LED_STATUS"), "2");
}

INSTANTIATE_TEST_SUITE_P(Functions, ExecutorSwitchTest,
                         ::testing::Values(SwitchCase{"DpiUp", 17, "DPI_LEVEL", "1"},
                                           SwitchCase{"LightingToggle", 19, "LED_STATUS", "3"}),
                         [](const auto& test) { return std::string(test.param.name); });

// The same with a window thread that switches between two configurations as fast as it can:
// configuration 1 has only stages 0 and 1 enabled, 2 only stages 2 and 3, so a stage stored
// in the other's section shows.
TEST_F(ExecutorTest, StageStepsUnderConcurrentSwitchesStayInTheirSection) {
  std::string one =
      Override(Override(Buttons({1, 2, 3, 5, 4, 6}), "DPI_SET_EN3", "0"), "DPI_SET_EN4", "0");
  std::string two = Override(
      Override(Override(Buttons({1, 2, 3, 5, 4, 6}), "DPI_LEVEL", "2"), "DPI_SET_EN1", "0"),
      "DPI_SET_EN2", "0");
  StartWith(Section(1, one) + Section(2, two));
  std::atomic<bool> done{false};
  std::thread window([&] {
    for (int n = 1; !done.load(); n = 3 - n) SelectConfig(state_, n);
  });
  for (int i = 0; i < 100; ++i) {
    executor_->PerformButton(5);  // DpiCycle
    int stored1 = std::stoi(ConfigValue(1, "DPI_LEVEL"));
    int stored2 = std::stoi(ConfigValue(2, "DPI_LEVEL"));
    if (stored1 > 1 || stored2 < 2) {
      ADD_FAILURE() << "after step " << i << ": Config1 " << stored1 << ", Config2 " << stored2;
      break;
    }
  }
  done.store(true);
  window.join();
}

TEST_F(ExecutorTest, NextConfigAfterFiveLoadsAndAppliesOne) {
  StartWith(Section(1, Buttons({1, 2, 3, 5, 4, 37})) + Section(5, Buttons({1, 2, 3, 5, 4, 40})), 5);
  EXPECT_TRUE(state_.driverRunning.load());
  PressAndPerform(6);
  ConfigState s = state_.Snapshot();
  EXPECT_EQ(s.currentConfig, 1);
  EXPECT_EQ(s.config.buttons[5], 37);
  std::vector<std::vector<uint8_t>> reports = mouse_.FeatureReports();
  ASSERT_EQ(reports.size(), 8u);
  EXPECT_EQ(reports[5][2], 6);                // device key 6 ...
  EXPECT_EQ(reports[5][3], 31);               // ... reports to the driver
  EXPECT_FALSE(state_.driverRunning.load());  // the start click is asked for again
  EXPECT_EQ(state_.promptButton.load(), 6);
  EXPECT_EQ(LoadIniFile(folder_.File("config.ini")).Get("Init", "CurConfig", 4), "1");
  EXPECT_EQ(input_.Lines(), Lines{"speed 10"});  // the apply sets the pointer speed
}

}  // namespace
}  // namespace kr450
