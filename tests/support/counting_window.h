#pragma once

#include <atomic>

#include "config/ui_link.h"

namespace kr450::test {

// A window that counts what the workers ask of it; safe to call from any thread.
class CountingWindow final : public WindowLink {
 public:
  void RequestRepaint() override { ++repaints; }
  void RequestShutdown() override { ++shutdowns; }
  std::atomic<int> repaints{0};
  std::atomic<int> shutdowns{0};
};

}  // namespace kr450::test
