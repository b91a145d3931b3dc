// Given the wanted state and what was observed (nothing: the watch failed), we should show the
// title, tooltip, accessibility label and eight menu entries, byte for byte.

#include "core/status_view.h"

#include <gtest/gtest.h>

namespace vantorel {
namespace {

TEST(StatusViewTest, ShowsBothStatesOrTheWatchError) {
  struct Row {
    Desired desired;
    std::optional<Observed> observed;
    std::string title, observedText;
  } rows[] = {
      {Desired::c6Boot, std::nullopt, "Want C6 boot | Have watch error", "USB watcher unavailable"},
      {Desired::rpNormal, Observed::none, "Want RP normal | Have none", "No matching USB device"},
      {Desired::c6Normal, Observed::rpBoot, "Want C6 normal | Have RP likely boot",
       "RP bootloader USB descriptor \xC2\xB7 identity unverified"},
  };
  using Kind = MenuEntry::Kind;
  const char* const kWants[] = {"Want C6 boot", "Want C6 normal", "Want RP boot", "Want RP normal"};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.title);
    const StatusView view = statusView(row.desired, row.observed, true);
    const std::string tooltip =
        "Desired: " + std::string(rawValue(row.desired)) + ". Observed: " + row.observedText + ".";
    EXPECT_EQ(std::make_tuple(view.title, view.tooltip, view.accessibility, view.tinted),
              std::make_tuple(row.title, tooltip, tooltip, true));
    std::vector<MenuEntry> menu = {{Kind::info, "Observed: " + row.observedText, false, {}},
                                   {Kind::separator, "", false, {}}};
    for (std::size_t i = 0; i < 4; ++i) {
      menu.push_back(
          {Kind::choice, kWants[i], kAllDesired[i] == row.desired, Choice::pick(kAllDesired[i])});
    }
    menu.push_back({Kind::separator, "", false, {}});
    menu.push_back({Kind::choice, "Quit", false, Choice::quit()});
    EXPECT_EQ(view.menu, menu);
  }
}

}  // namespace
}  // namespace vantorel
