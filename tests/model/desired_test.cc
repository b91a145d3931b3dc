#include "model/desired.h"

#include <gtest/gtest.h>

#include <unordered_set>
#include <vector>

namespace vantorel {
namespace {

TEST(DesiredTest, EveryCaseSurvivesTheRoundTripThroughItsRawValue) {
  for (Desired desired : kAllDesired) {
    EXPECT_EQ(desiredFromRawValue(rawValue(desired)), desired) << rawValue(desired);
  }
  EXPECT_EQ(desiredFromRawValue("C6 boot"), Desired::c6Boot);
  EXPECT_EQ(desiredFromRawValue("RP normal"), Desired::rpNormal);
}

TEST(DesiredTest, RawValuesAreTheFourPersistedTexts) {
  EXPECT_EQ(rawValue(Desired::c6Boot), "C6 boot");
  EXPECT_EQ(rawValue(Desired::c6Normal), "C6 normal");
  EXPECT_EQ(rawValue(Desired::rpBoot), "RP boot");
  EXPECT_EQ(rawValue(Desired::rpNormal), "RP normal");
}

TEST(DesiredTest, AllCasesAreListedInDeclaredOrder) {
  const std::vector<Desired> all(kAllDesired.begin(), kAllDesired.end());
  EXPECT_EQ(all, (std::vector<Desired>{Desired::c6Boot, Desired::c6Normal, Desired::rpBoot,
                                       Desired::rpNormal}));
  const std::unordered_set<Desired> distinct(kAllDesired.begin(), kAllDesired.end());
  EXPECT_EQ(distinct.size(), 4u);
}

TEST(DesiredTest, AnythingButAnExactRawValueGivesNoCase) {
  for (const char* text : {"c6 boot", "C6 BOOT", "rp normal", "Rp Normal", " C6 boot", "C6 boot ",
                           "RP normal\n", "\tRP boot", "C6boot", "RPnormal", "C6  boot", "",
                           "C6 boo"}) {
    EXPECT_EQ(desiredFromRawValue(text), std::nullopt) << '"' << text << '"';
  }
  // An embedded NUL is part of the text, not its end.
  EXPECT_EQ(desiredFromRawValue(std::string_view("C6 boot\0", 8)), std::nullopt);
}

}  // namespace
}  // namespace vantorel
