// Entry of the end-to-end driver: path flags, then GoogleTest.
#include <gtest/gtest.h>

#include "tests/e2e/WinePrefix.h"

int main(int argc, char** argv) {
  vkp::e2e::ParseConfigFlags(&argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
