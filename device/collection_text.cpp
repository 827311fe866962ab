#include "device/collection_text.h"

#include <cstdio>

namespace kr450 {
namespace {

std::string Hex4(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%04x", value);
  return text;
}

}  // namespace

std::string AccessText(const HidCollectionInfo& c) {
  if (c.accessible) return "can be opened";
  if (c.readable && c.writable)
    return "can be opened for reading and for writing, not both at once";
  if (c.readable) return "can be opened for reading only";
  if (c.writable) return "can be opened for writing only";
  return "cannot be opened";
}

std::string CollectionLine(const HidCollectionInfo& c) {
  std::string line = c.path + " collection " + std::to_string(c.collection) + ": " +
                     Hex4(c.vendorId) + ":" + Hex4(c.productId) + " usage page 0x" +
                     Hex4(c.usagePage) + " usage 0x" + Hex4(c.usage) + ", report lengths input " +
                     std::to_string(c.inputReportLength) + " output " +
                     std::to_string(c.outputReportLength) + " feature " +
                     std::to_string(c.featureReportLength) + ", " + AccessText(c);
  if (!c.error.empty()) line += " (" + c.error + ")";
  return line;
}

}  // namespace kr450
