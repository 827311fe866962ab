#include "actions/pointer_speed_map.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>

#include "device/pointer_speed.h"

namespace kr450 {

CoreAcceleration CoreAccelerationFor(int speed) {
  speed = std::clamp(speed, MIN_POINTER_SPEED, MAX_POINTER_SPEED);
  int numerator = DEFAULT_CORE_ACCELERATION.numerator * POINTER_FACTOR_32[speed];
  int denominator = DEFAULT_CORE_ACCELERATION.denominator * 32;
  int divisor = std::gcd(numerator, denominator);
  return {numerator / divisor, denominator / divisor, DEFAULT_CORE_ACCELERATION.threshold};
}

int SpeedFromCoreAcceleration(int numerator, int denominator) {
  if (numerator <= 0 || denominator <= 0) return DEFAULT_POINTER_SPEED;
  // Compare factor(s) / 32 with (numerator / denominator) / (2 / 1) without rounding.
  auto distance = [&](int speed) {
    long long lhs = static_cast<long long>(POINTER_FACTOR_32[speed]) *
                    DEFAULT_CORE_ACCELERATION.numerator * denominator;
    long long rhs = 32LL * numerator * DEFAULT_CORE_ACCELERATION.denominator;
    return std::llabs(lhs - rhs);
  };
  int best = MIN_POINTER_SPEED;
  for (int speed = MIN_POINTER_SPEED + 1; speed <= MAX_POINTER_SPEED; ++speed) {
    if (distance(speed) < distance(best)) best = speed;
  }
  return best;
}

float LibinputAccelSpeedFor(int speed) {
  speed = std::clamp(speed, MIN_POINTER_SPEED, MAX_POINTER_SPEED);
  if (speed < DEFAULT_POINTER_SPEED) {
    return static_cast<float>(speed - DEFAULT_POINTER_SPEED) / (DEFAULT_POINTER_SPEED - 1);
  }
  return static_cast<float>(speed - DEFAULT_POINTER_SPEED) /
         (MAX_POINTER_SPEED - DEFAULT_POINTER_SPEED);
}

}  // namespace kr450
