// Given a wanted state, an observed one (or a watch that failed) and the tint, we should give
// exactly the texts a person reads and one check mark, on the wanted state; a script names an
// observed state by its label, in any case and with hyphens for spaces.

#include "core/status_view.h"

#include <gtest/gtest.h>

using namespace vantorel;

using D = Desired;
using O = Observed;
const char* const kWanted[] = {"C6 boot", "C6 normal", "RP boot", "RP normal"};  // in menu order

// Every observed state once, every wanted state at least once, and the watch error.
const struct Row {
  Desired desired;
  std::optional<Observed> observed;
  const char *have, *detail;
} kRows[] = {
    {D::c6Boot, O::none, "none", "No matching USB device"},
    {D::c6Normal, O::c6Unknown, "C6 unknown mode",
     "C6 USB present \u00b7 boot/application unknown"},
    {D::rpBoot, O::espUnknown, "ESP unknown", "ESP USB present \u00b7 identity and mode unknown"},
    {D::rpNormal, O::rpBoot, "RP likely boot",
     "RP bootloader USB descriptor \u00b7 identity unverified"},
    {D::rpBoot, O::rpNormal, "RP likely app",
     "RP application USB descriptor \u00b7 identity unverified"},
    {D::c6Boot, O::rpUnknown, "RP unknown", "Raspberry Pi USB present \u00b7 mode unknown"},
    {D::c6Normal, O::multiple, "multiple", "Multiple matching USB devices \u00b7 check identity"},
    {D::rpNormal, std::nullopt, "watch error", "USB watcher unavailable"},
};

TEST(StatusViewTest, TextsAndMenuReadAsTheyShouldAndALabelNamesItsStateInAnyCaseOrHyphenated) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.have);
    const std::string observed = std::string("Observed: ") + row.detail;
    std::string want;
    std::vector<MenuEntry> menu = {{MenuEntry::Kind::info, observed, false, {}}, {}};
    for (int i = 0; i < 4; ++i) {
      const Desired desired = static_cast<Desired>(i);
      if (desired == row.desired) want = kWanted[i];
      menu.push_back({MenuEntry::Kind::choice, "Want " + std::string(kWanted[i]),
                      desired == row.desired, Choice::pick(desired)});
    }
    menu.push_back({});
    menu.push_back({MenuEntry::Kind::choice, "Quit", false, Choice::quit()});
    EXPECT_EQ(observedFromName(row.have), row.observed);  // "watch error" names no state
    EXPECT_EQ(observedNames().find('"' + std::string(row.have) + '"') != std::string::npos,
              row.observed.has_value());
    for (const bool tinted : {false, true}) {
      const StatusView view = statusView(row.desired, row.observed, tinted);
      EXPECT_EQ(view.title, "Want " + want + " | Have " + row.have);
      EXPECT_EQ(view.tooltip, "Desired: " + want + ". " + observed + ".");
      EXPECT_EQ(view.accessibility, view.tooltip);
      EXPECT_EQ(view.tinted, tinted);
      EXPECT_EQ(view.menu, menu);
    }
  }
  EXPECT_EQ(observedFromName("Rp-Likely BOOT"), O::rpBoot);
  for (const char* name :
       {"", "RP likely", "rp_likely_boot", " none", "RP  likely boot", "rp-likely-boot-"}) {
    EXPECT_EQ(observedFromName(name), std::nullopt) << name;
  }
}
