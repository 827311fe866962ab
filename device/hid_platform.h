#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "config/status.h"

namespace kr450 {

// One top-level collection of a HID device. A device node (a hidraw node) may hold several
// collections; each gets its own entry with the node's path.
struct HidCollectionInfo {
  std::string path;    // device node, e.g. "/dev/hidraw3"; shared by the collections of one node
  int collection = 0;  // index of the collection within its node, in descriptor order
  uint32_t vendorId = 0;
  uint32_t productId = 0;
  uint16_t usagePage = 0;
  uint16_t usage = 0;
  // Byte lengths as the HID parser gives them: the largest report of that kind in the
  // collection, plus one byte for the report id when the device numbers its reports. 0: the
  // collection has no report of that kind.
  uint16_t inputReportLength = 0;
  uint16_t outputReportLength = 0;
  uint16_t featureReportLength = 0;
  // Whether the node could be opened for reading and writing; when not, why (for example
  // "Permission denied"). A node the user may not open is listed, not hidden.
  bool accessible = true;
  std::string error;
  // When it cannot be opened for both, whether it opens for one of them: Open() then still
  // serves that one (input reports need reading, feature reports writing).
  bool readable = true;
  bool writable = true;

  friend bool operator==(const HidCollectionInfo&, const HidCollectionInfo&) = default;
};

enum class HidAccess { Read, Write };

enum class HidReadStatus {
  Ok,         // one input report was read
  Cancelled,  // CancelRead() woke the read
  Removed,    // the device is gone; every later read says so at once
  Error,      // the read failed for another reason; the caller decides when to retry
};

struct HidReadResult {
  HidReadStatus status = HidReadStatus::Error;
  size_t size = 0;  // bytes of the report, report id (when used) in byte 0; Ok only
};

// An opened collection. Handles stay valid while someone holds them, also after the device
// was removed (every call then fails at once).
class HidHandle {
 public:
  virtual ~HidHandle() = default;

  // Sends one feature report (report id in byte 0) in one call. Called from any thread, also
  // at the same time; does not block beyond the kernel's transfer. False when it failed.
  virtual bool SetFeature(std::span<const uint8_t> report) = 0;

  // Blocks until an input report of this collection arrives, CancelRead() is called or the
  // device is removed. Reports longer than the buffer are cut. Called from one thread (the
  // input reader) at a time.
  virtual HidReadResult Read(std::span<uint8_t> buffer) = 0;

  // Wakes a Read() that blocks, from any thread; it and every later Read() return Cancelled.
  virtual void CancelRead() = 0;
};

enum class HidEventKind { Arrival, Removal };

// A device node that appeared or disappeared.
struct HidDeviceEvent {
  HidEventKind kind = HidEventKind::Arrival;
  std::string path;  // the node's path, as HidCollectionInfo::path gives it
};

using HidEventHandler = std::function<void(const HidDeviceEvent&)>;

// The system's HID devices: what the device link finds, opens and talks to. Enumerate and
// Open are called from the window thread (and from the event handler on arrival); handles are
// used from any thread as HidHandle says.
class HidPlatform {
 public:
  virtual ~HidPlatform() = default;

  // Every top-level collection of every HID device present, one entry per collection, in a
  // stable order. Does not block beyond reading the system's device tables; an empty list
  // when there are none or the device tables cannot be read.
  virtual std::vector<HidCollectionInfo> Enumerate() = 0;

  // Opens a collection listed by Enumerate for reading input reports or for writing feature
  // reports: a handle (never null), or why not (the node is gone, access is denied).
  virtual Result<std::shared_ptr<HidHandle>> Open(const HidCollectionInfo& collection,
                                                  HidAccess access) = 0;

  // Starts delivering arrival and removal of device nodes to `handler`, on a thread of the
  // platform's own (or, for a simulated device, on the thread that plugs or unplugs it).
  // False when events cannot be watched; the driver then works without hot-plug. The handler
  // must not call WatchDevices or StopWatching.
  virtual bool WatchDevices(HidEventHandler handler) = 0;
  // Ends delivery; returns after the last handler call has returned. Safe to call twice.
  virtual void StopWatching() = 0;
};

}  // namespace kr450
