#pragma once

#include <array>
#include <cstdint>

namespace kr450 {

// What the pointer speeds 1..20 mean: the factor on pointer motion, in 32nds, with 10 the
// system default (factor 1). Below 10 the steps are 1/32, 1/16, 1/8, then eighths; above, a
// quarter each.
inline constexpr std::array<int, 21> POINTER_FACTOR_32 = {
    0, 1, 2, 4, 8, 12, 16, 20, 24, 28, 32, 40, 48, 56, 64, 72, 80, 88, 96, 104, 112};

// The X server's core pointer acceleration: motion beyond `threshold` pixels is multiplied by
// numerator / denominator. The server's default is 2/1 beyond 4, which stands for speed 10.
struct CoreAcceleration {
  int numerator;
  int denominator;
  int threshold;
  friend bool operator==(const CoreAcceleration&, const CoreAcceleration&) = default;
};
inline constexpr CoreAcceleration DEFAULT_CORE_ACCELERATION = {2, 1, 4};

// The default acceleration scaled by the speed's factor, in lowest terms.
CoreAcceleration CoreAccelerationFor(int speed);
// The speed whose factor is nearest to the acceleration's ratio to the default.
int SpeedFromCoreAcceleration(int numerator, int denominator);

// libinput's pointer acceleration setting, -1..1 with 0 the default: 1 gives -1, 20 gives 1.
float LibinputAccelSpeedFor(int speed);

}  // namespace kr450
