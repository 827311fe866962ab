#include <gtest/gtest.h>

#include <filesystem>

#include "config/config_store.h"
#include "tests/support/scratch_dir.h"

namespace kr450 {
namespace {
namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::WriteFileBytes;

class ConfigStore : public testing::Test {
 protected:
  void SetUp() override {
    test::CopyShippedData(dir_, {"config.ini"});
    LoadAtStartup(state_, dir_.path().string());
  }

  std::string Key(const std::string& file, int n, const char* key) const {
    return LoadIniFile(file).Get(ConfigSectionName(n), key, 259);
  }

  test::ScratchDir dir_;
  DriverState state_;
};

TEST_F(ConfigStore, LoadsTheShippedFile) {
  const ConfigState s = state_.Snapshot();
  EXPECT_EQ(state_.configFilePath, dir_.File("config.ini"));
  EXPECT_EQ(s.currentConfig, 1);
  EXPECT_EQ(s.config, FactoryConfig(s.config));
}

TEST_F(ConfigStore, ValuesReadAndWrittenBack) {
  WriteFileBytes(
      dir_.File("config.ini"),
      "[Init]\nCurConfig=4\n[Config4]\nK1=-1\nK2=2\nK4=5\nK5=4\nK6=6\nDPI_LEVEL=1\n"
      "DPI_SET1=260\nDPI_SET_EN1=1\nDPI_SET2=3\nDPI_SET_EN2=5\nLED_STATUS=2\nDPI_SPEED=9\n");
  LoadAtStartup(state_, dir_.path().string());
  const DeviceConfig config = state_.Config();
  EXPECT_EQ(state_.Snapshot().currentConfig, 4);
  EXPECT_EQ(config.buttons, (std::array<FunctionCode, 6>{-1, 2, 0, 5, 4, 6}));  // K3 missing
  EXPECT_EQ(config.dpiStage[0], 4);                                             // 260: low 8 bits
  EXPECT_EQ(config.dpiStageEnabled[1], 1);                                      // 5: enabled
  EXPECT_EQ(config.dpiLevel, 1);
  EXPECT_EQ(config.ledStatus, 2);
  EXPECT_EQ(config.pointerSpeed, 9);

  ASSERT_TRUE(SaveCurrentConfig(state_));
  const std::string file = dir_.File("config.ini");
  EXPECT_EQ(Key(file, 4, "K1"), "-1");
  EXPECT_EQ(Key(file, 4, "K3"), "0");
  EXPECT_EQ(Key(file, 4, "DPI_SET1"), "4");
  EXPECT_EQ(Key(file, 4, "DPI_SET_EN2"), "1");
  // Keys appended to the section come in the write order, after the ones already there.
  EXPECT_NE(ReadFileBytes(file).find("DPI_SPEED=9\nK3=0\nWHEEL_STATUS=0\nMACRO_MODE2=0\n"),
            std::string::npos);
}

TEST_F(ConfigStore, HandEditedFileStaysInsideTheTables) {
  fs::copy_file(fs::path(KR450_FIXTURES) / "config/hand_edited.ini", dir_.File("edited.ini"));
  ReadConfig(state_, dir_.File("edited.ini"), 2, false);
  const DeviceConfig config = state_.Config();
  EXPECT_EQ(config.buttons, (std::array<FunctionCode, 6>{2, 41, 0, 5, -1, 1234}));
  EXPECT_EQ(config.dpiLevel, 0);  // 7 is no stage
  EXPECT_EQ(config.dpiStage, (std::array<uint8_t, 4>{4, 4, 0, 0}));
  EXPECT_EQ(config.dpiStageEnabled, (std::array<uint8_t, 4>{1, 0, 0, 0}));
  EXPECT_EQ(config.ledStatus, 3);
  EXPECT_EQ(config.pointerSpeed, 8);
}

TEST_F(ConfigStore, WindowsFilesLoadAndKeepTheirEncoding) {
  for (const char* name : {"windows_utf16le_bom_crlf.ini", "windows_utf8_bom_crlf.ini"}) {
    SCOPED_TRACE(name);
    fs::copy_file(fs::path(KR450_FIXTURES) / "config" / name, dir_.File("config.ini"),
                  fs::copy_options::overwrite_existing);
    const std::string before = ReadFileBytes(dir_.File("config.ini"));
    LoadAtStartup(state_, dir_.path().string());
    EXPECT_EQ(state_.Snapshot().currentConfig, 2);
    EXPECT_EQ(state_.Config().buttons[1], 41);
    EXPECT_EQ(state_.Config().dpiStageEnabled[2], 0);
    ASSERT_TRUE(SaveCurrentConfig(state_));
    EXPECT_EQ(ReadFileBytes(dir_.File("config.ini")), before);  // every value written as it stood
  }
}

TEST_F(ConfigStore, MissingPiecesReadAsZero) {
  WriteFileBytes(dir_.File("config.ini"), "[Config1]\nK1=1\n");
  LoadAtStartup(state_, dir_.path().string());
  EXPECT_EQ(state_.Snapshot().currentConfig, 0);  // no CurConfig
  SelectConfig(state_, 3);                        // no section
  const DeviceConfig config = state_.Config();
  EXPECT_EQ(config.buttons, (std::array<FunctionCode, 6>{}));
  EXPECT_EQ(config.dpiStageEnabled, (std::array<uint8_t, 4>{}));
  EXPECT_EQ(state_.Snapshot().currentConfig, 3);

  // A number that names no user configuration counts as the first.
  for (const char* text : {"9", "-2", "6", "x"}) {
    WriteFileBytes(dir_.File("config.ini"), std::string("[Init]\nCurConfig=") + text + "\n");
    LoadAtStartup(state_, dir_.path().string());
    EXPECT_EQ(state_.Snapshot().currentConfig, 1) << text;
  }

  fs::remove(dir_.File("config.ini"));
  ReadConfig(state_, dir_.File("config.ini"), 1, false);
  EXPECT_EQ(state_.Config().buttons, (std::array<FunctionCode, 6>{}));
}

TEST_F(ConfigStore, ExportThenImportGivesTheSameConfiguration) {
  SelectConfig(state_, 4);
  const DeviceConfig exported = state_.Config();
  WriteFileBytes(dir_.File("exchange.ini"), "; mine\n[Other]\nx=1\n");
  ASSERT_TRUE(ExportConfig(state_, dir_.File("exchange.ini")));
  EXPECT_TRUE(
      ReadFileBytes(dir_.File("exchange.ini")).starts_with("; mine\n[Other]\nx=1\n[Config7]\nK1="));

  SelectConfig(state_, 1);
  ASSERT_TRUE(ImportConfig(state_, dir_.File("exchange.ini")));
  EXPECT_EQ(state_.Config(), exported);
  EXPECT_EQ(state_.Snapshot().currentConfig, 1);  // neither saved nor applied
  EXPECT_EQ(Key(dir_.File("config.ini"), 1, "K4"), "5");

  const DeviceConfig kept = state_.Config();
  EXPECT_FALSE(ImportConfig(state_, dir_.File("no-such-file.ini")));
  EXPECT_EQ(state_.Config(), kept);
}

TEST_F(ConfigStore, ResetWritesFactoryAndPresetsThenAppliesOnce) {
  SelectConfig(state_, 3);
  state_.WithConfig([](ConfigState& s) {
    s.config.buttons[0] = 33;
    s.config.macroMode = 1;
  });
  ASSERT_TRUE(SaveCurrentConfig(state_));
  // A user's edit of configuration 3 is undone by its preset.
  int macroSteps = 0, applies = 0;
  ASSERT_TRUE(ResetAllConfigs(state_, {[&] { ++macroSteps; }, [&] { ++applies; }}));
  EXPECT_EQ(macroSteps, 1);
  EXPECT_EQ(applies, 1);

  const IniDocument doc = LoadIniFile(dir_.File("config.ini"));
  const DeviceConfig preset3 = ReadConfigSection(doc, ResetSectionName(3));
  EXPECT_EQ(ReadConfigSection(doc, ConfigSectionName(3)), preset3);
  EXPECT_EQ(state_.Config(), preset3);
  for (int n = 2; n <= 5; ++n) {
    EXPECT_EQ(ReadConfigSection(doc, ConfigSectionName(n)),
              ReadConfigSection(doc, ResetSectionName(n)));
  }
  const DeviceConfig one = ReadConfigSection(doc, ConfigSectionName(1));
  EXPECT_EQ(one.buttons, DefaultButtons);
  EXPECT_EQ(one.dpiStage, DefaultDpiStage);
  EXPECT_EQ(one.macroMode, 1);  // kept from the configuration being edited
  EXPECT_EQ(state_.Snapshot().appliedDpiStage, DefaultDpiStage);
}

TEST_F(ConfigStore, ResetWithoutAPresetGivesZeros) {
  WriteFileBytes(dir_.File("config.ini"), "[Init]\nCurConfig=2\n[CfgReset3]\nK1=1\n");
  LoadAtStartup(state_, dir_.path().string());
  ASSERT_TRUE(ResetAllConfigs(state_, {}));
  EXPECT_EQ(Key(dir_.File("config.ini"), 2, "K1"), "0");
  EXPECT_EQ(Key(dir_.File("config.ini"), 3, "K1"), "1");
  EXPECT_FALSE(LoadIniFile(dir_.File("config.ini")).Has("Config1", "K7"));
  EXPECT_FALSE(LoadIniFile(dir_.File("config.ini")).Has("CfgReset1", "K1"));
}

TEST_F(ConfigStore, RevertKeepsTheStageChosenSinceTheApply) {
  ASSERT_TRUE(WriteApplyStart(state_, state_.configFilePath));  // configuration 6 = 1
  state_.WithConfig([](ConfigState& s) {
    s.config.buttons[3] = 26;  // an edit that was never applied
    s.config.dpiLevel = 2;     // the mouse stepped to stage 3
  });
  ASSERT_TRUE(RevertToApplied(state_));
  const DeviceConfig reverted = state_.Config();
  EXPECT_EQ(reverted.buttons[3], 5);
  EXPECT_EQ(reverted.dpiLevel, 2);
  EXPECT_EQ(Key(dir_.File("config.ini"), 6, "DPI_LEVEL"), "2");
}

TEST_F(ConfigStore, SingleKeyWritesAndTheApplyStart) {
  state_.WithConfig([](ConfigState& s) {
    s.config.dpiLevel = 3;
    s.appliedLedStatus = 3;
    s.config.ledStatus = 1;
  });
  ASSERT_TRUE(WriteDpiLevel(state_, state_.configFilePath, 2));
  ASSERT_TRUE(WriteLedStatus(state_, state_.configFilePath, 2));
  EXPECT_EQ(Key(state_.configFilePath, 2, "DPI_LEVEL"), "3");
  EXPECT_EQ(Key(state_.configFilePath, 2, "LED_STATUS"), "3");  // the applied mode
  EXPECT_EQ(Key(state_.configFilePath, 2, "K4"), "17");         // nothing else
  state_.WithConfig([](ConfigState& s) { s.currentConfig = 5; });
  ASSERT_TRUE(WriteApplyStart(state_, state_.configFilePath));
  EXPECT_EQ(LoadIniFile(state_.configFilePath).Get("Init", "CurConfig", 4), "5");
  EXPECT_EQ(Key(state_.configFilePath, 6, "DPI_LEVEL"), "3");
}

TEST_F(ConfigStore, UnwritableFileLeavesFileAndMemoryAsTheyWere) {
  state_.configFilePath = dir_.File("missing-folder/config.ini");
  const ConfigState before = state_.Snapshot();
  int applies = 0;
  EXPECT_FALSE(SaveCurrentConfig(state_));
  EXPECT_FALSE(RevertToApplied(state_));
  EXPECT_FALSE(ResetAllConfigs(state_, {nullptr, [&] { ++applies; }}));
  EXPECT_FALSE(ExportConfig(state_, dir_.File("missing-folder/out.ini")));
  EXPECT_EQ(state_.Snapshot(), before);
  EXPECT_EQ(applies, 0);
}

}  // namespace
}  // namespace kr450
