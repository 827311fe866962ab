#include <gtest/gtest.h>

#include <map>

#include "macro/macro_file.h"
#include "macro_test_support.h"

namespace kr450 {
namespace {

// The macros installed with the driver load with the real reader, have names, and leave no
// key or button down when they end.
TEST(ShippedMacros, AreCompleteAndBalanced) {
  for (const char* file : {"/data/Macro.dat", "/data/skins/defMacro.dat"}) {
    SCOPED_TRACE(file);
    MacroTable table;
    ASSERT_TRUE(LoadMacroFile(table, std::string(KR450_SOURCE_DIR) + file));
    MacroTableData data = table.Snapshot();
    ASSERT_GE(data.macroCount, 3);
    for (int i = 0; i < data.macroCount; ++i) {
      const MacroRecord& record = data.records[i];
      SCOPED_TRACE(MacroNameUtf8(record));
      EXPECT_FALSE(MacroName(record).empty());
      ASSERT_GT(record.eventCount, 0);
      EXPECT_GE(record.RepeatCount(), 1);
      std::map<uint8_t, int> down;
      for (int j = 0; j < record.eventCount; ++j) {
        const MacroEvent& event = record.events[j];
        ASSERT_TRUE(event.action == ACTION_PRESS || event.action == ACTION_RELEASE);
        down[event.keyCode] += event.action == ACTION_PRESS ? 1 : -1;
        EXPECT_GE(down[event.keyCode], 0) << "released before pressed: " << int(event.keyCode);
        EXPECT_GT(record.Delay(j), 0);
      }
      for (const auto& [key, count] : down) EXPECT_EQ(count, 0) << "left down: " << int(key);
    }
  }
}

}  // namespace
}  // namespace kr450
