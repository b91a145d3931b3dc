#include "model/observed.h"

#include <gtest/gtest.h>

namespace vantorel {
namespace {

TEST(ObservedTest, LabelsAndDetailsAreTheExactTextsWithTheMiddleDotInUtf8) {
  struct Row {
    Observed observed;
    std::string_view label, detail;
  };
  const Row rows[] = {
      {Observed::none, "none", "No matching USB device"},
      {Observed::c6Unknown, "C6 unknown mode", "C6 USB present \xC2\xB7 boot/application unknown"},
      {Observed::espUnknown, "ESP unknown", "ESP USB present \xC2\xB7 identity and mode unknown"},
      {Observed::rpBoot, "RP likely boot",
       "RP bootloader USB descriptor \xC2\xB7 identity unverified"},
      {Observed::rpNormal, "RP likely app",
       "RP application USB descriptor \xC2\xB7 identity unverified"},
      {Observed::rpUnknown, "RP unknown", "Raspberry Pi USB present \xC2\xB7 mode unknown"},
      {Observed::multiple, "multiple", "Multiple matching USB devices \xC2\xB7 check identity"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(shortLabel(row.observed), row.label);
    EXPECT_EQ(detail(row.observed), row.detail);
  }
}

}  // namespace
}  // namespace vantorel
