// Given many calls in a row, we should never hand out the same id twice.

#include "linux/fresh_id.h"

#include <gtest/gtest.h>

#include <set>

namespace vantorel {
namespace {

TEST(FreshIdTest, RapidCallsGiveDistinctIds) {
  std::set<std::string> ids;
  for (int i = 0; i < 10000; ++i) ids.insert(freshId());
  EXPECT_EQ(ids.size(), 10000u);
  EXPECT_EQ(ids.count(""), 0u);
}

}  // namespace
}  // namespace vantorel
