#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace kr450 {

// RealtimeKit (org.freedesktop.RealtimeKit1) on the system bus: the daemon that grants
// real-time or raised priority to a thread of an ordinary user's process, within limits
// (RLIMIT_RTTIME set, a modest priority, a few requests per user and burst). Opens a connection
// of its own (DBUS_SYSTEM_BUS_ADDRESS, or the standard socket) on the calling thread, and
// closes it at destruction. Every step, connecting included, ends by `deadline`: no bus, a bus
// without RealtimeKit and a bus that does not answer all come back as a refusal in time.
class RealtimeKitClient {
 public:
  struct Answer {
    bool granted = false;
    bool reachable = false;  // RealtimeKit answered (with a refusal when not granted)
    std::string refused;     // why not, in a few words
  };

  explicit RealtimeKitClient(std::chrono::steady_clock::time_point deadline);
  ~RealtimeKitClient();
  RealtimeKitClient(const RealtimeKitClient&) = delete;
  RealtimeKitClient& operator=(const RealtimeKitClient&) = delete;

  // Thread ids of the calling process.
  Answer MakeThreadRealtime(int threadId, uint32_t priority);
  Answer MakeThreadHighPriority(int threadId, int32_t nice);

 private:
  template <typename T>
  Answer Call(const char* method, int threadId, char type, T value);

  struct Bus;
  Bus* bus_ = nullptr;
  std::string connectError_;
  std::chrono::steady_clock::time_point deadline_;
};

}  // namespace kr450
