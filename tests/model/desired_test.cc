#include "model/desired.h"

#include <gtest/gtest.h>

#include <vector>

namespace vantorel {
namespace {

TEST(DesiredTest, OnlyTheExactRawValueNamesACase) {
  const std::vector<Desired> all(kAllDesired.begin(), kAllDesired.end());
  EXPECT_EQ(all, (std::vector<Desired>{Desired::c6Boot, Desired::c6Normal, Desired::rpBoot,
                                       Desired::rpNormal}));
  const std::vector<std::string_view> raws = {"C6 boot", "C6 normal", "RP boot", "RP normal"};
  for (std::size_t i = 0; i < all.size(); ++i) {
    EXPECT_EQ(rawValue(all[i]), raws[i]);
    EXPECT_EQ(desiredFromRawValue(raws[i]), all[i]) << raws[i];
  }
  const std::vector<std::string_view> refused = {
      "c6 boot", "RP NORMAL", " C6 boot", "C6 boot ", "RP normal\n",
      "C6boot",  "C6  boot",  "",         "C6 boo",   std::string_view("C6 boot\0", 8)};
  for (std::string_view text : refused) {
    EXPECT_EQ(desiredFromRawValue(text), std::nullopt) << '"' << text << '"';
  }
}

}  // namespace
}  // namespace vantorel
