// Given a state as a script names it, we should find it by its label in any case, with spaces or
// hyphens, and refuse anything else.

#include "core/board_names.h"

#include <gtest/gtest.h>

namespace vantorel {
namespace {

TEST(BoardNamesTest, EveryLabelNamesItsStateAsShownInAnyCaseAndHyphenated) {
  for (const Observed state : kAllObserved) {
    std::string label(shortLabel(state)), upper = label, hyphenated = label;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    std::replace(hyphenated.begin(), hyphenated.end(), ' ', '-');
    EXPECT_EQ(observedFromName(label), state) << label;
    EXPECT_EQ(observedFromName(upper), state) << upper;
    EXPECT_EQ(observedFromName(hyphenated), state) << hyphenated;
    EXPECT_NE(observedNames().find("\"" + label + "\""), std::string::npos) << label;
  }
}

TEST(BoardNamesTest, NamesThatAreNoLabelAreRefused) {
  for (const char* name : {"", "rp", "RP likely", "rp_likely_boot", " none", "none ",
                           "RP  likely boot", "watch error", "rp-likely-boot-"}) {
    EXPECT_EQ(observedFromName(name), std::nullopt) << name;
  }
  EXPECT_EQ(observedFromName("Rp-Likely boot"), Observed::rpBoot);
}

}  // namespace
}  // namespace vantorel
