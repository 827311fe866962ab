#include <gtest/gtest.h>

#include <fstream>

#include "actions/input_backends.h"
#include "actions/key_table.h"
#include "actions/null_input.h"
#include "actions/pointer_speed_map.h"
#include "actions/recording_input.h"
#include "actions/tracing_input.h"
#include "actions/uinput_input.h"
#include "actions/xtest_input.h"
#include "config/clock.h"

namespace kr450 {
namespace {

TEST(InputBackends, TheDefaultDependsOnTheDisplays) {
  using Choices = std::vector<std::string_view>;
  struct Case {
    const char* display;
    const char* wayland;
    Choices expected;
  };
  const Case cases[] = {
      {":0", nullptr, {"xtest"}},
      {":0", "", {"xtest"}},
      {nullptr, nullptr, {"uinput"}},
      {"", nullptr, {"uinput"}},
      // Wayland: XTest would reach only XWayland's programs, so uinput first.
      {":0", "wayland-0", {"uinput", "xtest"}},
      {nullptr, "wayland-0", {"uinput"}},
      {"", "wayland-0", {"uinput"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.display ? c.display : "(unset)") + " " +
                 (c.wayland ? c.wayland : "(unset)"));
    EXPECT_EQ(DefaultInputChoices(c.display, c.wayland), c.expected);
  }
}

TEST(InputBackends, NamedChoicesAreTakenAsTheyAre) {
  std::string chosen, error;
  EXPECT_NE(MakeInputSynth("record", &chosen, &error), nullptr);
  EXPECT_EQ(chosen, "record");
  EXPECT_EQ(MakeInputSynth("bogus", &chosen, &error), nullptr);
  EXPECT_FALSE(error.empty());
}

TEST(InputBackends, UnavailableBackendsFailCleanlyWithTheReason) {
  std::string error;
  EXPECT_EQ(MakeUinputInput("/nonexistent/uinput", &error), nullptr);
  EXPECT_NE(error.find("No such file"), std::string::npos) << error;

  // Something that opens but is not the uinput device.
  error.clear();
  EXPECT_EQ(MakeUinputInput("/dev/null", &error), nullptr);
  EXPECT_FALSE(error.empty());

  error.clear();
  EXPECT_EQ(MakeXTestInput(":9876", &error), nullptr);
  EXPECT_FALSE(error.empty());
}

TEST(RecordingInput, KeepsThePointerSpeedWithinItsRange) {
  RecordingInput input;
  EXPECT_EQ(input.GetPointerSpeed(), 10);
  EXPECT_TRUE(input.SetPointerSpeed(7));
  EXPECT_FALSE(input.SetPointerSpeed(0));
  EXPECT_FALSE(input.SetPointerSpeed(21));
  EXPECT_EQ(input.GetPointerSpeed(), 7);
  EXPECT_EQ(input.Lines(), std::vector<std::string>{"speed 7"});
}

TEST(NullInput, ReachesNothingAndKeepsOnlyThePointerSpeed) {
  NullInput input;
  EXPECT_FALSE(input.KeyEvent(0x41, 0x1E, 0));
  EXPECT_FALSE(input.MouseButtonEvent(MouseButton::Left, true));
  EXPECT_FALSE(input.LockSession());
  EXPECT_FALSE(input.OpenComputer());
  EXPECT_FALSE(input.StartProgram(Program::Terminal));
  EXPECT_EQ(input.GetPointerSpeed(), 10);  // so that the apply sets the configured speed
  EXPECT_TRUE(input.SetPointerSpeed(7));
  EXPECT_FALSE(input.SetPointerSpeed(21));
  EXPECT_EQ(input.GetPointerSpeed(), 7);
}

TEST(TracingInput, ShowsEachCallWithItsTimeAndPassesItOn) {
  FakeClock clock;
  RecordingInput inner;
  std::vector<std::string> shown;
  TracingInput tracing(inner, clock, [&](const InputCall& call) {
    shown.push_back(FormatInputCall(call) + " " +
                    std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(
                                       call.at.time_since_epoch())
                                       .count()));
  });
  tracing.KeyEvent(0x25, 0x4B, 1);
  clock.Advance(std::chrono::milliseconds(5));
  tracing.MouseButtonEvent(MouseButton::Right, false);
  tracing.SetPointerSpeed(7);
  tracing.LockSession();
  tracing.OpenComputer();
  tracing.StartProgram(Program::Terminal);
  tracing.KeyEvent(0x41, 0x1E, KEY_FLAG_UP);
  EXPECT_EQ(shown,
            (std::vector<std::string>{"key down vk=0x25 scan=0x4B ext=1 0", "button right up 5",
                                      "speed 7 5", "lock 5", "open-computer 5", "start terminal 5",
                                      "key up vk=0x41 scan=0x1E ext=0 5"}));
  EXPECT_EQ(inner.Calls().size(), 7u);
  EXPECT_EQ(tracing.GetPointerSpeed(), 7);
}

TEST(PointerSpeedMap, SpeedsSurviveTheCoreControlAndTenIsTheDefault) {
  EXPECT_EQ(CoreAccelerationFor(10), DEFAULT_CORE_ACCELERATION);
  EXPECT_EQ(CoreAccelerationFor(7), (CoreAcceleration{5, 4, 4}));
  EXPECT_EQ(CoreAccelerationFor(1), (CoreAcceleration{1, 16, 4}));
  for (int speed = 1; speed <= 20; ++speed) {
    CoreAcceleration accel = CoreAccelerationFor(speed);
    EXPECT_EQ(SpeedFromCoreAcceleration(accel.numerator, accel.denominator), speed);
  }
  EXPECT_EQ(SpeedFromCoreAcceleration(0, 0), 10);  // a server that reports nothing useful
  EXPECT_EQ(SpeedFromCoreAcceleration(100, 1), 20);
  EXPECT_FLOAT_EQ(LibinputAccelSpeedFor(1), -1.0f);
  EXPECT_FLOAT_EQ(LibinputAccelSpeedFor(10), 0.0f);
  EXPECT_FLOAT_EQ(LibinputAccelSpeedFor(20), 1.0f);
  EXPECT_LT(LibinputAccelSpeedFor(7), LibinputAccelSpeedFor(9));
}

}  // namespace
}  // namespace kr450
