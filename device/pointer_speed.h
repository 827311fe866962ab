#pragma once

#include <mutex>
#include <optional>
#include <vector>

namespace kr450 {

// The system pointer speed, 1..20 (10 is the system default): the part of the input synthesis
// interface the device link needs. The input synthesis backends implement it; the apply step
// sets the configured speed and the close sequence restores 10. Called from any thread (the
// window, the action executor); implementations serialise their own calls. Neither call
// blocks beyond a round trip to the display server.
class PointerSpeed {
 public:
  virtual ~PointerSpeed() = default;
  // The current speed, or nothing when it cannot be read (no display, no permission).
  virtual std::optional<int> GetPointerSpeed() = 0;
  // Sets the speed for the whole session. False when it could not be set or the speed is
  // outside 1..20 (then nothing changes).
  virtual bool SetPointerSpeed(int speed) = 0;
};

inline constexpr int MIN_POINTER_SPEED = 1;
inline constexpr int MAX_POINTER_SPEED = 20;
inline constexpr int DEFAULT_POINTER_SPEED = 10;

// Test and --simulate backend: keeps the speed in memory and records every speed set.
class RecordingPointerSpeed final : public PointerSpeed {
 public:
  std::optional<int> GetPointerSpeed() override;
  bool SetPointerSpeed(int speed) override;

  // When false, GetPointerSpeed() fails, as on a system whose speed cannot be read.
  void SetReadable(bool readable);
  std::vector<int> SpeedsSet();

 private:
  std::mutex mutex_;
  bool readable_ = true;
  int speed_ = DEFAULT_POINTER_SPEED;
  std::vector<int> set_;
};

}  // namespace kr450
