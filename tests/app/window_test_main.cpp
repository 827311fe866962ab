// The main of the window tests: the program's own application object, as kr450 makes it.
#include <gtest/gtest.h>

#include "app/zel_app.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  kr450::CZEL_ZUduvoApp app(argc, argv);
  return RUN_ALL_TESTS();
}
