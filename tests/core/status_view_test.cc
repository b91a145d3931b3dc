// Given a wanted state, an observed one (or a watch that failed) and the tint, we should give
// exactly the texts a person reads: the title, the tooltip, what a screen reader says, the
// information line and one check mark on the wanted state.

#include "core/status_view.h"

#include <gtest/gtest.h>

namespace vantorel {
namespace {

struct Texts {
  Desired desired;
  std::optional<Observed> observed;
  const char* title;
  const char* tooltip;
};

// Every observed state once, every wanted state at least once, and the watch error.
const Texts kTexts[] = {
    {Desired::c6Boot, Observed::none, "Want C6 boot | Have none",
     "Desired: C6 boot. Observed: No matching USB device."},
    {Desired::c6Normal, Observed::c6Unknown, "Want C6 normal | Have C6 unknown mode",
     "Desired: C6 normal. Observed: C6 USB present \u00b7 boot/application unknown."},
    {Desired::rpBoot, Observed::espUnknown, "Want RP boot | Have ESP unknown",
     "Desired: RP boot. Observed: ESP USB present \u00b7 identity and mode unknown."},
    {Desired::rpNormal, Observed::rpBoot, "Want RP normal | Have RP likely boot",
     "Desired: RP normal. Observed: RP bootloader USB descriptor \u00b7 identity unverified."},
    {Desired::rpBoot, Observed::rpNormal, "Want RP boot | Have RP likely app",
     "Desired: RP boot. Observed: RP application USB descriptor \u00b7 identity unverified."},
    {Desired::c6Boot, Observed::rpUnknown, "Want C6 boot | Have RP unknown",
     "Desired: C6 boot. Observed: Raspberry Pi USB present \u00b7 mode unknown."},
    {Desired::c6Normal, Observed::multiple, "Want C6 normal | Have multiple",
     "Desired: C6 normal. Observed: Multiple matching USB devices \u00b7 check identity."},
    {Desired::rpNormal, std::nullopt, "Want RP normal | Have watch error",
     "Desired: RP normal. Observed: USB watcher unavailable."},
};

TEST(StatusViewTest, TitleTooltipAndScreenReaderTextReadAsTheyShould) {
  for (const Texts& row : kTexts) {
    SCOPED_TRACE(row.title);
    for (const bool tinted : {false, true}) {
      const StatusView view = statusView(row.desired, row.observed, tinted);
      EXPECT_EQ(view.title, row.title);
      EXPECT_EQ(view.tooltip, row.tooltip);
      EXPECT_EQ(view.accessibility, row.tooltip);
      EXPECT_EQ(view.tinted, tinted);
    }
  }
}

TEST(StatusViewTest, MenuHoldsTheInformationLineOneCheckMarkAndQuit) {
  using Kind = MenuEntry::Kind;
  const auto info = [](const char* text) { return MenuEntry{Kind::info, text, false, {}}; };
  const MenuEntry separator{Kind::separator, "", false, {}};
  const auto want = [](Desired desired, const char* title, bool checked) {
    return MenuEntry{Kind::choice, title, checked, Choice::pick(desired)};
  };
  const MenuEntry quit{Kind::choice, "Quit", false, Choice::quit()};

  EXPECT_EQ(statusView(Desired::rpBoot, Observed::rpBoot, false).menu,
            (std::vector<MenuEntry>{
                info("Observed: RP bootloader USB descriptor \u00b7 identity unverified"),
                separator,
                want(Desired::c6Boot, "Want C6 boot", false),
                want(Desired::c6Normal, "Want C6 normal", false),
                want(Desired::rpBoot, "Want RP boot", true),
                want(Desired::rpNormal, "Want RP normal", false),
                separator,
                quit,
            }));
  const std::vector<MenuEntry> failed = statusView(Desired::c6Boot, std::nullopt, true).menu;
  EXPECT_EQ(failed.front(), info("Observed: USB watcher unavailable"));
  EXPECT_TRUE(failed[2].checked);
}

}  // namespace
}  // namespace vantorel
