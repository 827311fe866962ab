#include "device/report_descriptor.h"

#include <gtest/gtest.h>

#include "device/hidraw_node.h"
#include "device_test_support.h"

namespace kr450 {
namespace {

using test::LoadHexFixture;

struct FixtureCase {
  const char* file;
  bool usesIds;
  std::vector<DescriptorCollection> collections;
};

class RecordedDescriptor : public ::testing::TestWithParam<FixtureCase> {};

TEST_P(RecordedDescriptor, GivesOneCollectionPerTopLevelCollectionWithItsLengths) {
  const FixtureCase& c = GetParam();
  const std::vector<uint8_t> bytes = LoadHexFixture(c.file);
  ASSERT_FALSE(bytes.empty());
  const Result<ReportDescriptor> parsed = ParseReportDescriptor(bytes);
  ASSERT_TRUE(parsed) << parsed.message();
  EXPECT_EQ(parsed->usesReportIds, c.usesIds);
  EXPECT_EQ(parsed->collections, c.collections);
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, RecordedDescriptor,
    ::testing::Values(FixtureCase{"gaming_mouse.hex",
                                  true,
                                  {{0x0001, 0x0002, 7, 0, 0, {1}},
                                   {0xFF00, 0x0001, 8, 0, 0, {6}},
                                   {0xFF01, 0x0001, 0, 0, 9, {}}}},
                      FixtureCase{"boot_keyboard.hex", false, {{0x0001, 0x0006, 8, 1, 0, {}}}},
                      FixtureCase{"keyboard_media_system.hex",
                                  true,
                                  {{0x0001, 0x0006, 9, 2, 0, {1}},
                                   {0x000C, 0x0001, 5, 0, 0, {2, 4}},
                                   {0x0001, 0x0080, 2, 0, 0, {3}}}}),
    [](const auto& test) {
      std::string name = test.param.file;
      return name.substr(0, name.find('.'));
    });

TEST(ReportDescriptor, HandlesPushPopExtendedUsageAndLongItems) {
  const std::vector<uint8_t> bytes = {
      0x05, 0x01,                          // usage page 1, pushed and replaced by 0xFF00
      0xA4, 0x06, 0x00, 0xFF, 0xB4,        // push, usage page 0xFF00, pop: page 1 again
      0x0B, 0x02, 0x00, 0x0C, 0x00,        // four-byte usage: page 0x0C, usage 2
      0xA1, 0x01,                          // collection
      0xFE, 0x02, 0x10, 0xAA, 0xBB,        // a long item, skipped
      0x75, 0x0C, 0x95, 0x01, 0x81, 0x02,  // 12 bits of input: 2 bytes
      0xC0};
  const Result<ReportDescriptor> parsed = ParseReportDescriptor(bytes);
  ASSERT_TRUE(parsed) << parsed.message();
  ASSERT_EQ(parsed->collections.size(), 1u);
  EXPECT_EQ(parsed->collections[0], (DescriptorCollection{0x000C, 0x0002, 2, 0, 0, {}}));
}

TEST(ReportDescriptor, AShortUsageTakesTheUsagePageInEffectAtTheCollection) {
  const struct {
    const char* what;
    std::vector<uint8_t> bytes;
    uint16_t usagePage, usage;
  } cases[] = {
      {"page set after the usage",
       {0x09, 0x01, 0x06, 0x00, 0xFF, 0xA1, 0x01, 0x85, 0x06, 0x75, 0x08, 0x95, 0x07, 0x81, 0x02,
        0xC0},
       0xFF00,
       0x0001},
      {"page replaced after the usage",
       {0x05, 0x01, 0x0A, 0x02, 0x00, 0x06, 0x01, 0xFF, 0xA1, 0x01, 0xC0},
       0xFF01,
       0x0002},
      {"a four-byte usage keeps its own page",
       {0x0B, 0x01, 0x00, 0x0C, 0x00, 0x06, 0x00, 0xFF, 0xA1, 0x01, 0xC0},
       0x000C,
       0x0001},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Result<ReportDescriptor> parsed = ParseReportDescriptor(c.bytes);
    ASSERT_TRUE(parsed) << parsed.message();
    ASSERT_EQ(parsed->collections.size(), 1u);
    EXPECT_EQ(parsed->collections[0].usagePage, c.usagePage);
    EXPECT_EQ(parsed->collections[0].usage, c.usage);
  }
}

TEST(ReportDescriptor, RefusesMalformedDescriptors) {
  const struct {
    const char* what;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"item cut short", {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x26, 0xFF}},
      {"long item cut short", {0xFE, 0x05, 0x00, 0x01}},
      {"end collection without collection", {0xC0}},
      {"collection never ended", {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01}},
      {"pop without push", {0xB4}},
      {"report id 0", {0x85, 0x00}},
      {"report count beyond any device", {0x97, 0x00, 0x00, 0x01, 0x00}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Result<ReportDescriptor> parsed = ParseReportDescriptor(c.bytes);
    EXPECT_FALSE(parsed);
    EXPECT_FALSE(parsed.message().empty());
  }
}

TEST(ReportDescriptor, ItemsOutsideCollectionsAndEmptyInputGiveNoCollection) {
  const std::vector<uint8_t> bytes = {0x75, 0x08, 0x95, 0x04, 0x81, 0x02};
  const Result<ReportDescriptor> parsed = ParseReportDescriptor(bytes);
  ASSERT_TRUE(parsed);
  EXPECT_TRUE(parsed->collections.empty());
  EXPECT_TRUE(ParseReportDescriptor({})->collections.empty());
}

TEST(HidrawNode, ListsEveryCollectionOfTheNodeWithItsIdsAndAccess) {
  const HidrawNode node{"/dev/hidraw2", 0x18F8, 0x0F99, false, "Permission denied"};
  const auto entries = CollectionsOfNode(node, LoadHexFixture("gaming_mouse.hex"));
  ASSERT_EQ(entries.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(entries[i].path, "/dev/hidraw2");
    EXPECT_EQ(entries[i].collection, i);
    EXPECT_EQ(entries[i].vendorId, 0x18F8u);
    EXPECT_EQ(entries[i].productId, 0x0F99u);
    EXPECT_FALSE(entries[i].accessible);
    EXPECT_FALSE(entries[i].readable);
    EXPECT_FALSE(entries[i].writable);
    EXPECT_EQ(entries[i].error, "Permission denied");
  }
  EXPECT_EQ(entries[1].usagePage, 0xFF00);
  EXPECT_EQ(entries[1].inputReportLength, 8);
  EXPECT_EQ(entries[2].usagePage, 0xFF01);
  EXPECT_EQ(entries[2].featureReportLength, 9);
}

TEST(HidrawNode, ANodeWithAnUnreadableDescriptorIsStillListed) {
  const HidrawNode node{"/dev/hidraw5", 0x046D, 0xC077, true, ""};
  const std::vector<uint8_t> broken = {0xA1, 0x01};
  const auto entries = CollectionsOfNode(node, broken);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].path, "/dev/hidraw5");
  EXPECT_EQ(entries[0].usagePage, 0);
  EXPECT_NE(entries[0].error.find("report descriptor"), std::string::npos);
}

TEST(HidrawNode, ParsesTheHidIdProperty) {
  const struct {
    const char* text;
    std::optional<uint32_t> vendor, product;
  } cases[] = {
      {"0003:000018F8:00000F99", 0x18F8, 0x0F99},
      {"0005:0000046D:0000B01A", 0x046D, 0xB01A},
      {"0003:18f8", std::nullopt, std::nullopt},
      {"0003:0000ZZZZ:00000F99", std::nullopt, std::nullopt},
      {"", std::nullopt, std::nullopt},
      {"0003:000018F8:00000F99:1", std::nullopt, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const auto ids = ParseHidId(c.text);
    ASSERT_EQ(ids.has_value(), c.vendor.has_value());
    if (ids) {
      EXPECT_EQ(ids->vendorId, *c.vendor);
      EXPECT_EQ(ids->productId, *c.product);
    }
  }
}

TEST(HidrawNode, TellsTheReportsOfACollectionApartByReportId) {
  const auto parsed = ParseReportDescriptor(LoadHexFixture("gaming_mouse.hex"));
  ASSERT_TRUE(parsed);
  const DescriptorCollection& vendorInput = parsed->collections[1];
  const std::vector<uint8_t> vendorReport = {6, 243, 0, 0, 0, 0, 0, 0};
  const std::vector<uint8_t> pointerReport = {1, 0, 5, 0, 0, 0, 0};
  EXPECT_TRUE(ReportBelongsTo(vendorInput, true, vendorReport));
  EXPECT_FALSE(ReportBelongsTo(vendorInput, true, pointerReport));
  EXPECT_FALSE(ReportBelongsTo(vendorInput, true, {}));
  // Without report ids every report of the node is the collection's.
  EXPECT_TRUE(ReportBelongsTo(DescriptorCollection{}, false, pointerReport));
}

}  // namespace
}  // namespace kr450
