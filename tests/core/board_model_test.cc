// Given a state as a script names it, we should find it by its label in any case, with spaces or
// hyphens, and refuse anything else.

#include "core/board_model.h"

#include <gtest/gtest.h>

using namespace vantorel;

TEST(BoardNamesTest, LabelsNameTheirStateInAnyCaseAndHyphenatedAndNothingElseDoes) {
  for (const Observed state : kAllObserved) {
    const std::string label(shortLabel(state));
    EXPECT_EQ(observedFromName(label), state) << label;
    EXPECT_NE(observedNames().find("\"" + label + "\""), std::string::npos) << label;
  }
  EXPECT_EQ(observedFromName("Rp-Likely BOOT"), Observed::rpBoot);
  EXPECT_EQ(observedFromName("ESP-UNKNOWN"), Observed::espUnknown);
  for (const char* name : {"", "rp", "RP likely", "rp_likely_boot", " none", "none ",
                           "RP  likely boot", "watch error", "rp-likely-boot-"}) {
    EXPECT_EQ(observedFromName(name), std::nullopt) << name;
  }
}
