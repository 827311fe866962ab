#include "macro/macro_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <random>

#include "macro_test_support.h"
#include "tests/support/odd_files.h"
#include "tests/support/scratch_dir.h"

namespace kr450 {
namespace {

std::string Repeat(std::string_view text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

TEST(MacroEncoding, MatchesTheFileLayoutOfAnExampleMacro) {
  MacroRecord ab = MacroOf(u"ab", {{0x41, ACTION_PRESS}, {0x41, ACTION_RELEASE}});
  std::string expected = "097000098000" + Repeat("000", 36) + "000001000002" +
                         "065001030000065002030000" + Repeat("000000000000", 253);
  EXPECT_EQ(EncodeMacroRecord(ab), expected);
  EXPECT_EQ(DecodeMacroRecord(expected), ab);
}

TEST(MacroEncoding, InterleavesEventsAndDelaysOfEverySlot) {
  MacroRecord record;
  record.events[254] = {0xAB, 0xCD};
  record.SetDelay(254, 0x1234);
  std::string text = EncodeMacroRecord(record);
  ASSERT_EQ(text.size(), MACRO_ENCODING_LENGTH);
  // Slot 254 is file positions 1060..1063: key, action, delay low, delay high.
  EXPECT_EQ(text.substr(size_t{3} * 1060), "171205052018");
  EXPECT_EQ(ImageOffsetOfFilePosition(1062), 554u + 2 * 254);
}

TEST(MacroEncoding, DamagedTextsReadAsTheirNumbersOrZero) {
  struct Case {
    const char* what;
    std::string text;
    uint8_t name0, name1, repeatEnabled;
  };
  const Case cases[] = {
      {"short value: the rest is zero", "065066", 65, 66, 0},
      {"non-numeric triple reads 0", "0x1abc", 0, 0, 0},
      {"above 255 keeps the low 8 bits", "300511", 44, 255, 0},
      {"blanks and signs as the number rule", "  7-01", 7, 255, 0},
      {"a triple cut short", "0650", 65, 0, 0},
      {"empty", "", 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MacroRecord record = DecodeMacroRecord(c.text);
    EXPECT_EQ(record.name[0], c.name0);
    EXPECT_EQ(record.name[1], c.name1);
    EXPECT_EQ(record.repeatEnabled, c.repeatEnabled);
    EXPECT_EQ(record.eventCount, 0);
  }
}

TEST(MacroCount, ReadsTwoCharactersWithinTheTable) {
  const std::pair<const char*, int> cases[] = {
      {"3", 3},   {"7x", 7},  {"", 0},    {"-1", 0}, {"-9", 0}, {"99", 12},
      {"12", 12}, {"13", 12}, {"013", 1}, {" 4", 4}, {"x7", 0},
  };
  for (const auto& [text, count] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(MacroCountFromText(text), count);
  }
}

TEST(MacroName, IsCutToNineteenUnitsWithoutSplittingACharacter) {
  MacroRecord record;
  SetMacroName(record, u"abcdefghijklmnopqrstuvwxyz");
  EXPECT_EQ(MacroName(record), u"abcdefghijklmnopqrs");
  EXPECT_EQ(record.name[38], 0);
  EXPECT_EQ(record.name[39], 0);

  // 18 units and a surrogate pair: the pair does not fit and is dropped whole.
  std::u16string name = std::u16string(18, u'x') + u"\U0001F600";
  SetMacroName(record, name);
  EXPECT_EQ(MacroName(record), std::u16string(18, u'x'));

  SetMacroNameUtf8(record, "连击左键");
  EXPECT_EQ(MacroNameUtf8(record), "连击左键");
  EXPECT_EQ(MacroName(record), u"连击左键");

  // A damaged file can leave the name without its NUL.
  record.name.fill('z');
  EXPECT_EQ(MacroName(record).size(), 19u);
}

class MacroFileTest : public ::testing::Test {
 protected:
  // n macros with distinct bytes everywhere, one of them with a Chinese name and one full.
  static MacroTableData SampleTable(int n) {
    std::mt19937 random(42);
    MacroTableData data;
    for (int i = 0; i < n; ++i) {
      MacroRecord& record = data.records[i];
      for (uint8_t& byte : RecordImage(record)) byte = static_cast<uint8_t>(random());
      SetMacroName(record, i == 1 ? u"宏编程测试"
                                  : u"macro " + std::u16string(1, static_cast<char16_t>(u'A' + i)));
    }
    data.records[0].eventCount = 255;
    data.macroCount = static_cast<int16_t>(n);
    return data;
  }

  MacroTable table_;
  test::ScratchDir folder_;
};

TEST_F(MacroFileTest, SaveThenLoadReproducesEveryByte) {
  MacroTableData saved = SampleTable(MAX_MACROS);
  table_.Edit([&](MacroTableData& data) { data = saved; });
  std::string path = folder_.File("Macro.dat");
  ASSERT_TRUE(SaveMacroFile(table_, path).ok());

  MacroTable loaded;
  EXPECT_TRUE(LoadMacroFile(loaded, path));
  MacroTableData got = loaded.Snapshot();
  EXPECT_EQ(got.macroCount, MAX_MACROS);
  EXPECT_EQ(got.selectedMacro, MAX_MACROS - 1);
  EXPECT_EQ(got.records, saved.records);
  EXPECT_EQ(MacroName(got.records[1]), u"宏编程测试");

  // The file is plain ASCII with lines of exactly 3192 digits after "N=".
  std::string bytes = test::ReadFileBytes(path);
  for (unsigned char c : bytes) ASSERT_LT(c, 0x80);
  EXPECT_NE(bytes.find("\n11=" + EncodeMacroRecord(saved.records[11]) + "\n"), std::string::npos);
}

TEST_F(MacroFileTest, AnEmptyMacroIsWrittenWithAllItsSlots) {
  table_.Edit([](MacroTableData& data) {
    data.records[0] = NewMacro(u"empty");
    data.macroCount = 1;
  });
  std::string path = folder_.File("Macro.dat");
  ASSERT_TRUE(SaveMacroFile(table_, path).ok());
  IniDocument doc = LoadIniFile(path);
  EXPECT_EQ(doc.Get("Macros", "0", 4000).size(), MACRO_ENCODING_LENGTH);
  EXPECT_EQ(doc.Get("Macros", "macroNum", 10), "1");
}

TEST_F(MacroFileTest, KeysOfAnEarlierLongerSaveStayButAreNotLoaded) {
  std::string path = folder_.File("Macro.dat");
  MacroTableData five = SampleTable(5);
  table_.Edit([&](MacroTableData& data) { data = five; });
  ASSERT_TRUE(SaveMacroFile(table_, path).ok());
  table_.Edit([](MacroTableData& data) { data.macroCount = 3; });
  ASSERT_TRUE(SaveMacroFile(table_, path).ok());

  IniDocument doc = LoadIniFile(path);
  EXPECT_EQ(doc.Get("Macros", "4", 4000), EncodeMacroRecord(five.records[4]));

  MacroTable loaded;
  loaded.Edit([](MacroTableData& data) { data.records[4] = NewMacro(u"stale"); });
  ASSERT_TRUE(LoadMacroFile(loaded, path));
  MacroTableData got = loaded.Snapshot();
  EXPECT_EQ(got.macroCount, 3);
  EXPECT_EQ(got.selectedMacro, 2);
  EXPECT_EQ(MacroName(got.records[4]), u"stale");  // records past the count are left alone
}

TEST_F(MacroFileTest, DamagedFilesLoadWithinBounds) {
  struct Case {
    const char* what;
    std::string text;
    int count;
    int selected;
  };
  std::string one = EncodeMacroRecord(MacroOf(u"x", {{0x41, ACTION_PRESS}}));
  const Case cases[] = {
      {"count with trailing letter", "[Macros]\nmacroNum=2x\n0=" + one + "\n", 2, 1},
      {"no count", "[Macros]\n0=" + one + "\n", 0, 0},
      {"negative count", "[Macros]\nmacroNum=-5\n0=" + one + "\n", 0, 0},
      {"count beyond the table", "[Macros]\nmacroNum=99\n0=" + one + "\n", 12, 11},
      {"no section", "[Other]\nmacroNum=3\n", 0, 0},
      {"not a profile file", std::string("\0\xff\xfe\x01garbage", 11), 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string path = folder_.File("damaged.dat");
    test::WriteFileBytes(path, c.text);
    MacroTable table;
    EXPECT_TRUE(LoadMacroFile(table, path));
    MacroTableData got = table.Snapshot();
    EXPECT_EQ(got.macroCount, c.count);
    EXPECT_EQ(got.selectedMacro, c.selected);
    if (c.count > 1) {
      EXPECT_EQ(MacroName(got.records[0]), u"x");
      EXPECT_EQ(got.records[1], MacroRecord{});  // missing key: every field 0
    }
  }
}

TEST_F(MacroFileTest, AFileWrittenByTheOtherPlatformLoads) {
  MacroTable table;
  EXPECT_TRUE(LoadMacroFile(table, KR450_FIXTURES "/macro/utf16le_crlf.dat"));
  MacroTableData got = table.Snapshot();
  ASSERT_EQ(got.macroCount, 1);
  EXPECT_EQ(MacroNameUtf8(got.records[0]), "双击左键");
  EXPECT_EQ(got.records[0].eventCount, 4);
  EXPECT_EQ(got.records[0].events[1], (MacroEvent{KEY_MOUSE_LEFT, ACTION_RELEASE}));
  EXPECT_EQ(got.records[0].Delay(1), 40);
}

TEST_F(MacroFileTest, AMissingFileIsShownAndLeavesNoMacros) {
  MacroTableData before = SampleTable(4);
  table_.Edit([&](MacroTableData& data) { data = before; });
  EXPECT_TRUE(LoadMacroFile(table_, folder_.File("absent.dat")).notFound());
  MacroTableData got = table_.Snapshot();
  EXPECT_EQ(got.macroCount, 0);
  EXPECT_EQ(got.selectedMacro, 0);
  EXPECT_EQ(got.records, before.records);  // the bytes stay
}

TEST_F(MacroFileTest, ImportOfAMissingFileKeepsTheMacrosInMemory) {
  MacroTableData before = SampleTable(4);
  table_.Edit([&](MacroTableData& data) { data = before; });
  EXPECT_TRUE(ImportMacros(table_, folder_.File("absent.dat")).notFound());
  EXPECT_EQ(table_.Snapshot(), before);
}

// A pipe named as a macro file would block the load for ever, and the export's rename would
// replace it (or a device) with a regular file.
TEST_F(MacroFileTest, WhatIsNotARegularFileIsShownAsMissingAndNeverReplaced) {
  const test::HangGuard guard;
  const MacroTableData before = SampleTable(4);
  for (const test::SpecialFile& special : test::MakeSpecialFiles(folder_)) {
    SCOPED_TRACE(special.label);
    table_.Edit([&](MacroTableData& data) { data = before; });
    const Status import = ImportMacros(table_, special.path);
    EXPECT_TRUE(import.notFound());  // shown to the user as missing
    EXPECT_NE(import.message().find("not a regular file"), std::string::npos) << import.message();
    EXPECT_EQ(table_.Snapshot(), before);
    EXPECT_FALSE(ExportMacros(table_, special.path));
    EXPECT_FALSE(SaveMacroFile(table_, special.path));
    EXPECT_EQ(test::TypeOf(special.path), special.type);

    EXPECT_TRUE(LoadMacroFile(table_, special.path).notFound());
    EXPECT_EQ(table_.Count(), 0);
  }
  EXPECT_FALSE(ImportMacros(table_, "/dev/zero"));
}

TEST_F(MacroFileTest, ExportKeepsOtherSectionsAndAddsTheExtension) {
  std::string chosen = folder_.File("mine");
  test::WriteFileBytes(chosen + ".dat", "[Notes]\r\nkeep=1\r\n");
  table_.Edit([&](MacroTableData& data) { data = SampleTable(2); });
  ASSERT_TRUE(ExportMacros(table_, chosen).ok());
  EXPECT_FALSE(std::filesystem::exists(chosen));
  std::string bytes = test::ReadFileBytes(chosen + ".dat");
  EXPECT_TRUE(bytes.starts_with("[Notes]\r\nkeep=1\r\n[Macros]\r\nmacroNum=2\r\n"));

  MacroTable imported;
  EXPECT_TRUE(ImportMacros(imported, chosen + ".dat"));
  EXPECT_EQ(imported.Snapshot().records, table_.Snapshot().records);
  EXPECT_EQ(imported.Count(), 2);

  EXPECT_EQ(WithDefaultMacroExtension("/a.b/name"), "/a.b/name.dat");
  EXPECT_EQ(WithDefaultMacroExtension("/a/name.txt"), "/a/name.txt");
}

TEST_F(MacroFileTest, AFailedSaveSaysSoAndKeepsTheOldFile) {
  std::string path = folder_.File("Macro.dat");
  table_.Edit([&](MacroTableData& data) { data = SampleTable(1); });
  ASSERT_TRUE(SaveMacroFile(table_, path).ok());
  std::string before = test::ReadFileBytes(path);

  // A folder that cannot hold the file: its parent is a regular file.
  EXPECT_FALSE(SaveMacroFile(table_, path + "/Macro.dat").ok());
  table_.Edit([&](MacroTableData& data) { data.macroCount = 0; });
  std::filesystem::create_directory(folder_.File("ro"));
  std::filesystem::permissions(
      folder_.File("ro"), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  Status readOnly = SaveMacroFile(table_, folder_.File("ro") + "/Macro.dat");
  if (::geteuid() != 0) {
    EXPECT_FALSE(readOnly.ok());  // root may write anywhere
  }
  EXPECT_EQ(test::ReadFileBytes(path), before);
}

TEST_F(MacroFileTest, ResetReplacesTheUsersMacrosWithTheDefaults) {
  std::string defaults = folder_.File("defMacro.dat");
  std::string user = folder_.File("Macro.dat");
  MacroTable defaultTable;
  defaultTable.Edit([&](MacroTableData& data) { data = SampleTable(3); });
  ASSERT_TRUE(SaveMacroFile(defaultTable, defaults).ok());
  table_.Edit([&](MacroTableData& data) { data = SampleTable(7); });
  ASSERT_TRUE(SaveMacroFile(table_, user).ok());

  ASSERT_TRUE(ResetMacrosToDefaults(table_, defaults, user).ok());
  EXPECT_EQ(table_.Count(), 3);
  MacroTable reloaded;
  ASSERT_TRUE(LoadMacroFile(reloaded, user));
  EXPECT_EQ(reloaded.Count(), 3);
  EXPECT_EQ(reloaded.Snapshot().records[2], defaultTable.Snapshot().records[2]);
}

TEST_F(MacroFileTest, ResetWithoutDefaultsKeepsTheUsersMacros) {
  std::string user = folder_.File("Macro.dat");
  table_.Edit([&](MacroTableData& data) { data = SampleTable(7); });
  ASSERT_TRUE(SaveMacroFile(table_, user).ok());
  std::string before = test::ReadFileBytes(user);
  MacroTableData inMemory = table_.Snapshot();

  EXPECT_TRUE(ResetMacrosToDefaults(table_, folder_.File("none.dat"), user).notFound());
  EXPECT_EQ(table_.Snapshot(), inMemory);
  EXPECT_EQ(test::ReadFileBytes(user), before);
}

TEST(MacroTable, PlaysOnlyMacrosBelowTheCount) {
  MacroTable table;
  table.Edit([](MacroTableData& data) {
    data.records[0] = NewMacro(u"a");
    data.records[1] = NewMacro(u"b");
    data.macroCount = 1;
  });
  EXPECT_TRUE(table.CopyForPlayback(0).has_value());
  EXPECT_FALSE(table.CopyForPlayback(1).has_value());
  EXPECT_FALSE(table.CopyForPlayback(-1).has_value());
  EXPECT_FALSE(table.CopyForPlayback(12).has_value());
  EXPECT_EQ(MacroTable::BlankMacro(), MacroRecord{});
}

}  // namespace
}  // namespace kr450
