#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "actions/action_executor.h"
#include "actions/recording_input.h"
#include "config/config_store.h"
#include "device/device_link.h"
#include "device/input_reader.h"
#include "device/simulated_mouse.h"
#include "device/wakeable_clock.h"
#include "macro/macro_table.h"
#include "scripted_clock.h"
#include "tests/support/counting_window.h"
#include "tests/support/scratch_dir.h"

namespace kr450 {

// The executor on the simulated mouse, with the recording backend and a scripted clock, and
// a config.ini in a folder of its own. Configurations are written as "K1=...\nK2=..." texts.
class ExecutorTest : public ::testing::Test {
 protected:
  ExecutorTest() {
    // The prompt's blink worker ends at once off the main page.
    state_.mainPageShown.store(false);
  }
  ~ExecutorTest() override {
    executor_.reset();
    link_.reset();
  }

  // The configuration keys of one section, starting from the factory buttons.
  static std::string Section(int n, const std::string& keys) {
    return "[Config" + std::to_string(n) + "]\n" + keys + "\n";
  }
  static std::string Buttons(std::array<int, 6> k, int macroMode = 0) {
    std::string text;
    for (int i = 0; i < 6; ++i)
      text += "K" + std::to_string(i + 1) + "=" + std::to_string(k[i]) + "\n";
    return text + "MACRO_MODE2=" + std::to_string(macroMode) +
           "\nDPI_LEVEL=0\nDPI_SET1=1\nDPI_SET_EN1=1\nDPI_SET2=2\nDPI_SET_EN2=1\n"
           "DPI_SET3=4\nDPI_SET_EN3=1\nDPI_SET4=0\nDPI_SET_EN4=1\nLED_STATUS=0\nDPI_SPEED=10";
  }

  // The text with the line of `key` given another value.
  static std::string Override(std::string text, const std::string& key, const std::string& value) {
    size_t at = text.find("\n" + key + "=");
    size_t end = text.find('\n', at + 1);
    return text.replace(at + 1, end == std::string::npos ? std::string::npos : end - at - 1,
                        key + "=" + value);
  }

  // Writes config.ini, loads configuration `current` and applies it to the simulated mouse.
  void StartWith(const std::string& configText, int current = 1) {
    std::ofstream(folder_.File("config.ini")) << "[Init]\nCurConfig=" << current << "\n"
                                              << configText;
    LoadAtStartup(state_, folder_.path().string());
    link_ = std::make_unique<DeviceLink>(state_, mouse_, input_, window_, linkClock_);
    ASSERT_TRUE(link_->OpenDevice());
    link_->ApplyConfig();
    state_.driverRunning.store(true);  // as after the start click
    mouse_.ClearFeatureReports();
    input_.Clear();
    executor_ = std::make_unique<ActionExecutor>(state_, macros_, *link_, input_, window_, clock_);
  }

  void AddMacro(const MacroRecord& record) {
    macros_.Edit([&](MacroTableData& data) { data.records[data.macroCount++] = record; });
  }

  // What the reader does with a report from the mouse.
  void Report(uint8_t id, uint8_t code) {
    std::vector<uint8_t> report(SimulatedMouse::INPUT_REPORT_LENGTH, 0);
    report[0] = id;
    report[1] = code;
    HandleInputReport(state_, window_, report);
  }
  // The reader's press of device key k, then the executor's turn.
  void PressAndPerform(int deviceKey) {
    Report(6, static_cast<uint8_t>(KEY_CODE_BASE + deviceKey));
    ASSERT_EQ(state_.pressPending.load(), 1);
    executor_->RunOnce();
  }

  // The synthesised calls, each with its time in ms: "key down vk=0x41 scan=0x1E ext=0 @30".
  std::vector<std::string> TimedLines() const {
    std::vector<std::string> lines;
    for (const InputCall& call : input_.Calls()) {
      char at[32];
      std::snprintf(at, sizeof at, " @%g", ScriptedClock::MsOf(call.at));
      lines.push_back(FormatInputCall(call) + at);
    }
    return lines;
  }

  std::string ConfigValue(int n, const char* key) {
    return LoadIniFile(folder_.File("config.ini")).Get("Config" + std::to_string(n), key, 10);
  }

  test::ScratchDir folder_;
  DriverState state_;
  MacroTable macros_;
  SimulatedMouse mouse_;
  ScriptedClock clock_;
  RecordingInput input_{&clock_};
  test::CountingWindow window_;
  WakeableClock linkClock_;
  std::unique_ptr<DeviceLink> link_;
  std::unique_ptr<ActionExecutor> executor_;
};

}  // namespace kr450
