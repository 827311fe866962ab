#include "device/collection_text.h"

#include <gtest/gtest.h>

namespace kr450 {
namespace {

TEST(CollectionLine, SaysExactlyWhatTheCollectionCouldBeOpenedFor) {
  const struct {
    bool accessible, readable, writable;
    const char* error;
    const char* ending;
  } cases[] = {
      {true, true, true, "", ", can be opened"},
      {false, true, false, "Permission denied",
       ", can be opened for reading only (Permission denied)"},
      {false, false, true, "Permission denied",
       ", can be opened for writing only (Permission denied)"},
      {false, true, true, "Permission denied",
       ", can be opened for reading and for writing, not both at once (Permission denied)"},
      {false, false, false, "No such device", ", cannot be opened (No such device)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.ending);
    HidCollectionInfo info;
    info.path = "/dev/hidraw3";
    info.collection = 1;
    info.vendorId = 0x18F8;
    info.productId = 0x0F99;
    info.usagePage = 0xFF01;
    info.usage = 1;
    info.featureReportLength = 9;
    info.accessible = c.accessible;
    info.readable = c.readable;
    info.writable = c.writable;
    info.error = c.error;
    EXPECT_EQ(CollectionLine(info),
              std::string("/dev/hidraw3 collection 1: 18f8:0f99 usage page 0xff01 usage 0x0001, "
                          "report lengths input 0 output 0 feature 9") +
                  c.ending);
  }
}

}  // namespace
}  // namespace kr450
