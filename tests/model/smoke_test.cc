#include <gtest/gtest.h>
#include "fakes/harness.h"
namespace vantorel {
TEST(Smoke, Launches) {
  Harness h;
  auto m = h.launch();
  EXPECT_EQ(h.item().current.title, "Want C6 boot | Have none");
}
}
