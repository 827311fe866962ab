#pragma once

#include <string>

#include "device/hid_platform.h"

namespace kr450 {

// One line of `kr450-cli probe` for a collection: path, index, ids, usage page and usage,
// report lengths and what it could be opened for, e.g.
// "/dev/hidraw3 collection 1: 18f8:0f99 usage page 0xff01 usage 0x0001, report lengths
// input 0 output 0 feature 9, can be opened for reading only (Permission denied)".
std::string CollectionLine(const HidCollectionInfo& collection);

// What the collection could be opened for: "can be opened" (reading and writing), "can be
// opened for reading only", "... for writing only", "... for reading and for writing, not
// both at once", or "cannot be opened".
std::string AccessText(const HidCollectionInfo& collection);

}  // namespace kr450
