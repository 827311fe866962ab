#include "actions/key_table.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "config/function_code.h"
#include "macro/macro_file.h"
#include "macro/macro_table.h"

namespace kr450 {
namespace {

// Every code a macro can name on screen, the media and browser keys and the mouse buttons.
std::vector<uint8_t> MacroKeyCodes() {
  std::vector<uint8_t> codes = {8,   9,   12,  13,  16,  17,  18,  19,  20,  21,  23,  24,
                                25,  27,  28,  29,  30,  31,  91,  92,  93,  95,  106, 107,
                                108, 109, 110, 111, 144, 145, 160, 161, 162, 163, 164, 165,
                                186, 187, 188, 189, 190, 191, 192, 219, 220, 221, 222};
  for (int c = 32; c <= 47; ++c) codes.push_back(static_cast<uint8_t>(c));
  for (int c = 48; c <= 57; ++c) codes.push_back(static_cast<uint8_t>(c));
  for (int c = 65; c <= 90; ++c) codes.push_back(static_cast<uint8_t>(c));
  for (int c = 96; c <= 105; ++c) codes.push_back(static_cast<uint8_t>(c));
  for (int c = 112; c <= 135; ++c) codes.push_back(static_cast<uint8_t>(c));
  for (int c = 0xA6; c <= 0xB7; ++c) codes.push_back(static_cast<uint8_t>(c));
  for (int c = 240; c <= 242; ++c) codes.push_back(static_cast<uint8_t>(c));
  return codes;
}

// Keys of the other platform that have no Linux key: JUNJA, FINAL, ACCEPT, MODECHANGE, EXECUTE.
const std::set<uint8_t> kWithoutCounterpart = {0x17, 0x18, 0x1E, 0x1F, 0x2B};

TEST(KeyTable, CoversEveryMacroKeyAndSkipsOnlyKeysWithoutCounterpart) {
  for (uint8_t vk : MacroKeyCodes()) {
    SCOPED_TRACE(int(vk));
    ASSERT_NE(FindKey(vk), nullptr);
    EXPECT_EQ(LinuxKeyFor(vk) == 0, kWithoutCounterpart.count(vk) == 1);
  }
  for (uint8_t vk : std::initializer_list<uint8_t>{0x00, 0x07, 0x3A, 0x88, 0xFF}) {
    EXPECT_EQ(FindKey(vk), nullptr);
    EXPECT_EQ(LinuxKeyFor(vk), 0);
    EXPECT_EQ(ScanCodeFor(vk), 0);
  }
}

TEST(KeyTable, NoKeyIsSentAsAnotherKey) {
  // Only the generic and the left-hand modifiers share a Linux key.
  const std::set<std::pair<uint8_t, uint8_t>> sameKey = {{0x10, 0xA0}, {0x11, 0xA2}, {0x12, 0xA4}};
  std::map<uint16_t, uint8_t> first;
  for (const KeyInfo& key : KeyTable()) {
    if (key.linuxKey == 0) continue;
    auto [it, inserted] = first.emplace(key.linuxKey, key.vk);
    if (!inserted) {
      EXPECT_EQ(sameKey.count({it->second, key.vk}), 1u) << int(key.vk);
    }
  }
}

TEST(KeyTable, ExtendedFlagAndScanCodesAsTheKeysSend) {
  const std::set<uint8_t> extended = {0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28, 0x2C,
                                      0x2D, 0x2E, 0x5B, 0x5D, 0x6F, 0x90, 0xA1, 0xA3, 0xA5};
  for (int vk = 0; vk < 256; ++vk) {
    const auto code = static_cast<uint8_t>(vk);
    EXPECT_EQ(IsExtendedKey(code), extended.count(code) == 1) << vk;
  }
  const std::pair<uint8_t, uint8_t> scans[] = {
      {0x2C, 0x37}, {0x13, 0x45}, {0x5B, 0x5B},  // the three exceptions
      {0x41, 0x1E}, {0x5A, 0x2C}, {0x30, 0x0B}, {0x0D, 0x1C}, {0x25, 0x4B}, {0x73, 0x3E},
      {0x7B, 0x58}, {0xA1, 0x36}, {0xBA, 0x27}, {0x60, 0x52}, {0xF0, 0x00}};
  for (auto [vk, scan] : scans) EXPECT_EQ(ScanCodeFor(vk), scan) << int(vk);
}

TEST(KeyTable, ShippedMacrosUseOnlyKeysThisSystemHas) {
  for (const char* file : {"/data/Macro.dat", "/data/skins/defMacro.dat"}) {
    MacroTable table;
    ASSERT_TRUE(LoadMacroFile(table, std::string(KR450_SOURCE_DIR) + file));
    MacroTableData data = table.Snapshot();
    for (int i = 0; i < data.macroCount; ++i) {
      for (int j = 0; j < data.records[i].eventCount; ++j) {
        EXPECT_NE(LinuxKeyFor(data.records[i].events[j].keyCode), 0) << file << " " << i;
      }
    }
  }
}

// The keys the catalogue's functions send are data in the configuration layer; each must be a
// key the backends can send, or the function would silently send nothing.
TEST(KeyTable, HasEveryKeyTheCatalogueSends) {
  for (const FunctionInfo& info : FUNCTION_CATALOGUE) {
    for (uint8_t vk : info.keys.Keys()) {
      EXPECT_NE(LinuxKeyFor(vk), 0) << info.name << " " << int(vk);
    }
  }
}

}  // namespace
}  // namespace kr450
