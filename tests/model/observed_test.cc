#include "model/observed.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantorel {
namespace {

const std::vector<Observed> kAllObserved = {Observed::none,     Observed::c6Unknown,
                                            Observed::espUnknown, Observed::rpBoot,
                                            Observed::rpNormal, Observed::rpUnknown,
                                            Observed::multiple};

std::size_t count(std::string_view text, std::string_view part) {
  std::size_t n = 0;
  for (auto at = text.find(part); at != std::string_view::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST(ObservedTest, ShortLabelsAreThePlainAsciiTexts) {
  const std::vector<std::string> expected = {"none",          "C6 unknown mode", "ESP unknown",
                                             "RP likely boot", "RP likely app",  "RP unknown",
                                             "multiple"};
  for (std::size_t i = 0; i < kAllObserved.size(); ++i) {
    EXPECT_EQ(shortLabel(kAllObserved[i]), expected[i]);
  }
}

TEST(ObservedTest, DetailsMatchByteForByteWithTheMiddleDotInUtf8) {
  const std::vector<std::string> expected = {
      "No matching USB device",
      "C6 USB present \xC2\xB7 boot/application unknown",
      "ESP USB present \xC2\xB7 identity and mode unknown",
      "RP bootloader USB descriptor \xC2\xB7 identity unverified",
      "RP application USB descriptor \xC2\xB7 identity unverified",
      "Raspberry Pi USB present \xC2\xB7 mode unknown",
      "Multiple matching USB devices \xC2\xB7 check identity"};
  const std::vector<std::size_t> lengths = {22, 42, 44, 51, 52, 40, 47};
  for (std::size_t i = 0; i < kAllObserved.size(); ++i) {
    const std::string_view text = detail(kAllObserved[i]);
    EXPECT_EQ(text, expected[i]);
    EXPECT_EQ(text.size(), lengths[i]) << text;
    EXPECT_EQ(count(text, "\xC2\xB7"), i == 0 ? 0u : 1u) << text;
    EXPECT_EQ(count(text, " \xC2\xB7 "), i == 0 ? 0u : 1u) << text;
  }
}

}  // namespace
}  // namespace vantorel
