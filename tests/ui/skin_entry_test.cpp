#include "ui/skin_entry.h"

#include <gtest/gtest.h>

#include <limits>

namespace kr450 {
namespace {

struct SplitCase {
  const char* value;
  std::array<const char*, 7> fields;
  bool tooManyCommas;
};

TEST(SplitSkinEntry, FieldsAreTheTextsBetweenCommas) {
  const SplitCase cases[] = {
      {",10,20,30,40,Text,", {"", "10", "20", "30", "40", "Text", ""}, false},
      {"save,12,40,64,22,保存,0", {"save", "12", "40", "64", "22", "保存", "0"}, false},
      // The caption keeps its blanks; numbers are read later.
      {"a, 1,2 ,3,4,  两 字 ,z", {"a", " 1", "2 ", "3", "4", "  两 字 ", "z"}, false},
      // Seven commas: field 7 keeps the rest with its comma.
      {"a,1,2,3,4,Cap,x,y", {"a", "1", "2", "3", "4", "Cap", "x,y"}, true},
      {",,,,,,,,", {"", "", "", "", "", "", ",,"}, true},
      // No comma: the whole value is field 1.
      {"左键", {"左键", "", "", "", "", "", ""}, false},
      {"", {"", "", "", "", "", "", ""}, false},
      // Fewer commas fill the first fields.
      {"a,b,c", {"a", "b", "c", "", "", "", ""}, false},
      {"a,", {"a", "", "", "", "", "", ""}, false},
      {",,,,,,", {"", "", "", "", "", "", ""}, false},
  };
  for (const SplitCase& c : cases) {
    SCOPED_TRACE(c.value);
    const SkinEntryFields entry = SplitSkinEntry(c.value);
    for (size_t k = 0; k < 7; ++k) EXPECT_EQ(entry.fields[k], c.fields[k]) << "field " << k + 1;
    EXPECT_EQ(entry.tooManyCommas, c.tooManyCommas);
  }
}

TEST(SkinItemFromFields, ReadsTheItemFormat) {
  struct Case {
    const char* value;
    SkinItem item;
  };
  const Case cases[] = {
      {",10,20,30,40,Text,", {10, 20, 30, 40, "Text"}},
      {"save,12,40,64,22,保存,0", {12, 40, 64, 22, "保存"}},
      // Leading blanks and a sign, then digits up to the first other character.
      {"x, 12px,-7,+5,abc,,", {12, -7, 5, 0, ""}},
      // Beyond 32 bits the numbers saturate.
      {"x,99999999999,-99999999999,1,1,,",
       {std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min(), 1, 1, ""}},
      // A missing key reads as an empty value: an empty item.
      {"", {0, 0, 0, 0, ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    const SkinItem item = SkinItemFromFields(SplitSkinEntry(c.value));
    EXPECT_EQ(item.x, c.item.x);
    EXPECT_EQ(item.y, c.item.y);
    EXPECT_EQ(item.width, c.item.width);
    EXPECT_EQ(item.height, c.item.height);
    EXPECT_EQ(item.text, c.item.text);
  }
}

TEST(CaptionFromFields, IsTheTextBeforeTheFirstComma) {
  EXPECT_EQ(CaptionFromFields(SplitSkinEntry("左键,x")), "左键");
  EXPECT_EQ(CaptionFromFields(SplitSkinEntry("DPI 循环")), "DPI 循环");
  EXPECT_EQ(CaptionFromFields(SplitSkinEntry(",x")), "");
}

TEST(SkinItem, CoversItsPixelsWithoutTheRightAndBottomEdges) {
  const SkinItem item{10, 20, 3, 2, ""};
  EXPECT_TRUE(item.Contains(10, 20));
  EXPECT_TRUE(item.Contains(12, 21));
  EXPECT_FALSE(item.Contains(13, 21));
  EXPECT_FALSE(item.Contains(12, 22));
  EXPECT_FALSE(item.Contains(9, 20));
  EXPECT_FALSE(SkinItem{}.Contains(0, 0));
  // Edges beyond 32 bits do not wrap round.
  const SkinItem huge{std::numeric_limits<int32_t>::max() - 1, 0, 10, 10, ""};
  EXPECT_TRUE(huge.Contains(std::numeric_limits<int32_t>::max(), 5));
  EXPECT_FALSE(huge.Contains(0, 5));
}

TEST(ToControlRect, TurnsSizesIntoEdges) {
  const ControlRect r = ToControlRect({620, 106, 156, 24, "ignored"});
  EXPECT_EQ(r.left, 620);
  EXPECT_EQ(r.top, 106);
  EXPECT_EQ(r.right, 776);
  EXPECT_EQ(r.bottom, 130);
  const ControlRect saturated = ToControlRect({std::numeric_limits<int32_t>::max(), 0, 100, 1, ""});
  EXPECT_EQ(saturated.right, std::numeric_limits<int32_t>::max());
  EXPECT_TRUE(saturated.empty());
}

}  // namespace
}  // namespace kr450
