#include <gtest/gtest.h>

#include <initializer_list>

#include "config/decimal.h"
#include "config/device_config.h"
#include "config/function_code.h"

namespace kr450 {
namespace {

TEST(FunctionCatalogue, DeviceFunctionAndPerformerAgree) {
  struct Case {
    FunctionCode code;
    uint8_t deviceFunction;
  };
  const Case cases[] = {{0, 0},
                        {1, 1},
                        {5, 5},
                        {6, 31},
                        {11, 7},
                        {13, 9},
                        {16, 12},
                        {17, 31},
                        {18, 31},
                        {19, 31},
                        {21, 13},
                        {24, 16},
                        {25, 17},
                        {26, 31},
                        {40, 31},
                        {41, 31},
                        {52, 31},
                        // Outside the catalogue nothing the mouse does not know is sent.
                        {7, 0},
                        {10, 0},
                        {20, 0},
                        {27, 0},
                        {30, 0},
                        {53, 0},
                        {-1, 0},
                        {1000, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(DeviceFunctionFor(c.code), c.deviceFunction);
  }
  for (const FunctionInfo& info : FUNCTION_CATALOGUE) {
    SCOPED_TRACE(info.code);
    EXPECT_EQ(info.performer == Performer::Driver, info.deviceFunction == SOFTWARE_FUNCTION);
    if (info.menu.row != 0) {
      EXPECT_EQ(CodeForMenuPlace(info.menu), info.code);
    }
  }
}

TEST(FunctionCatalogue, SmallRules) {
  EXPECT_EQ(DpiActionFor(6), 2);
  EXPECT_EQ(DpiActionFor(17), 1);
  EXPECT_EQ(DpiActionFor(18), -1);
  EXPECT_EQ(DpiActionFor(19), 0);
  EXPECT_EQ(MacroIndexFor(41), 0);
  EXPECT_EQ(MacroIndexFor(52), 11);
  EXPECT_FALSE(MacroIndexFor(40).has_value());
  EXPECT_FALSE(MacroIndexFor(53).has_value());

  const std::pair<int, int> next[] = {{5, 1}, {0, 1}, {3, 4}, {1, 2}, {-4, 1}, {9, 1}};
  for (auto [n, expected] : next) EXPECT_EQ(NextConfigNumber(n), expected) << n;
  EXPECT_EQ(ToggledLedStatus(3), 0);
  for (uint8_t mode : std::initializer_list<uint8_t>{0, 1, 2}) EXPECT_EQ(ToggledLedStatus(mode), 3);
  EXPECT_EQ(SystemPointerSpeed(8), 7);
  EXPECT_EQ(SystemPointerSpeed(9), 9);
  EXPECT_EQ(SystemPointerSpeed(10), 10);
  EXPECT_EQ(StageAndLightByte(2, 3), 0xA3);
  EXPECT_EQ(StageAndLightByte(4, 2), 0xC2);
}

DeviceConfig Stages(std::array<uint8_t, 4> enabled, int level) {
  DeviceConfig config;
  config.dpiStageEnabled = enabled;
  config.dpiLevel = level;
  return config;
}

TEST(StageRules, StepDpiLevel) {
  struct Case {
    std::array<uint8_t, 4> enabled;
    int level;
    int action;
    int expected;
  };
  const Case cases[] = {
      {{0, 0, 0, 0}, 0, 2, 0},  // nothing enabled: unchanged
      {{0, 0, 0, 0}, 2, 1, 2},  {{0, 0, 0, 0}, 2, -1, 2},
      {{1, 0, 1, 0}, 2, 2, 0},  // stages 1 and 3 enabled, stage 3 active: wraps to stage 1
      {{1, 1, 1, 1}, 3, 2, 0},  {{1, 1, 1, 1}, 1, 2, 2},
      {{1, 1, 0, 1}, 1, 2, 3},  {{0, 1, 0, 0}, 1, 2, 1},   // only itself
      {{1, 1, 1, 0}, 2, 1, 2},                             // up on the highest enabled stage
      {{1, 0, 1, 1}, 0, 1, 2},  {{0, 1, 1, 1}, 1, -1, 1},  // down on the lowest
      {{1, 0, 0, 1}, 3, -1, 0}, {{1, 1, 1, 1}, 2, 0, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "level " << c.level << " action " << c.action);
    DeviceConfig config = Stages(c.enabled, c.level);
    StepDpiLevel(config, c.action);
    EXPECT_EQ(config.dpiLevel, c.expected);
  }
}

TEST(StageRules, ToggleKeepsAnActiveEnabledStage) {
  DeviceConfig only = Stages({0, 0, 1, 0}, 2);
  ToggleStageEnabled(only, 2);
  EXPECT_EQ(only.dpiLevel, 2);
  EXPECT_EQ(only.dpiStageEnabled, (std::array<uint8_t, 4>{0, 0, 1, 0}));

  DeviceConfig inactive = Stages({1, 1, 1, 1}, 1);
  ToggleStageEnabled(inactive, 3);
  EXPECT_EQ(inactive.dpiLevel, 1);
  EXPECT_EQ(inactive.dpiStageEnabled[3], 0);
  ToggleStageEnabled(inactive, 3);
  EXPECT_EQ(inactive.dpiStageEnabled[3], 1);

  DeviceConfig active = Stages({1, 1, 0, 0}, 1);
  ToggleStageEnabled(active, 1);  // moves forward with wrap to stage 0
  EXPECT_EQ(active.dpiLevel, 0);
  EXPECT_EQ(active.dpiStageEnabled[1], 0);
}

TEST(StageRules, SelectAndValue) {
  DeviceConfig config = Stages({1, 0, 1, 1}, 0);
  SelectDpiLevel(config, 1);
  EXPECT_EQ(config.dpiLevel, 0);
  SelectDpiLevel(config, 3);
  EXPECT_EQ(config.dpiLevel, 3);
  SelectDpiLevel(config, 7);
  EXPECT_EQ(config.dpiLevel, 3);

  SetStageValue(config, 2, 3);
  EXPECT_EQ(config.dpiStage[2], 3);
  SetStageValue(config, 2, 9);  // no sixth step
  EXPECT_EQ(config.dpiStage[2], 3);
}

TEST(StageRules, NormalizeBringsFileValuesIntoRange) {
  DeviceConfig config;
  config.buttons = {-1, 7, 99, 1, 2, 3};
  config.dpiLevel = -2;
  config.dpiStage = {255, 4, 5, 0};
  config.dpiStageEnabled = {7, 0, 1, 0};
  config.wheelStatus = 5;
  config.macroMode = 2;
  config.ledStatus = 200;
  config.pointerSpeed = 0;
  NormalizeReadConfig(config);
  EXPECT_EQ(config.buttons, (std::array<FunctionCode, 6>{-1, 7, 99, 1, 2, 3}));  // kept
  EXPECT_EQ(config.dpiLevel, 0);
  EXPECT_EQ(config.dpiStage, (std::array<uint8_t, 4>{4, 4, 4, 0}));
  EXPECT_EQ(config.dpiStageEnabled, (std::array<uint8_t, 4>{1, 0, 1, 0}));
  EXPECT_EQ(config.wheelStatus, 1);
  EXPECT_EQ(config.macroMode, 1);
  EXPECT_EQ(config.ledStatus, 3);
  EXPECT_EQ(config.pointerSpeed, 10);
}

TEST(Decimal, ParsesLikeTheProfileReader) {
  const std::pair<const char*, int32_t> cases[] = {{"", 0},
                                                   {"12", 12},
                                                   {"  -7x", -7},
                                                   {"+5", 5},
                                                   {"\t42", 42},
                                                   {"x1", 0},
                                                   {"7x", 7},
                                                   {"-", 0},
                                                   {"00012", 12},
                                                   {"99999999999", 2147483647},
                                                   {"-99999999999", -2147483648LL},
                                                   {"2147483648", 2147483647},
                                                   {"-2147483648", -2147483648LL}};
  for (auto [text, expected] : cases) EXPECT_EQ(ParseDecimal(text), expected) << text;
}

}  // namespace
}  // namespace kr450
