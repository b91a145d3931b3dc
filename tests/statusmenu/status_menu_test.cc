#include "statusmenu/status_menu.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/harness.h"
#include "platform/menu_dispatch.h"

namespace vantorel {
namespace {

const nlohmann::json kRpBootBoard = {{"idVendor", 0x2E8A},
                                     {"idProduct", 0x000F},
                                     {"USB Product Name", "RP2350 Boot"},
                                     {"USB Serial Number", "E6614C311B"}};

const std::string* representedString(const MenuItem& item) {
  return std::any_cast<std::string>(&item.representedObject);
}

class StatusMenuTest : public ::testing::Test {
 protected:
  const Menu& menu() { return h.item().menus.back(); }
  const MenuItem& choice(Desired desired) {
    return menu().items.at(2 + static_cast<std::size_t>(desired));
  }
  void choose(const MenuItem& item) {
    const MenuItem copy = item;  // the menu it came from is replaced while the action runs
    dispatchMenuItem(copy, h.app);
  }
  // The whole eight-entry menu, as every render must build it.
  void expectMenu(const std::string& observedText, Desired desired) {
    const std::vector<MenuItem>& items = menu().items;
    ASSERT_EQ(items.size(), 8u);
    for (std::size_t i = 0; i < items.size(); ++i) {
      EXPECT_EQ(items[i].separator, i == 1 || i == 6) << "entry " << i;
    }
    const MenuItem& info = items[0];
    EXPECT_EQ(info.title, "Observed: " + observedText);
    EXPECT_FALSE(info.enabled);
    EXPECT_EQ(info.action, MenuAction::kNone);
    EXPECT_FALSE(info.representedObject.has_value());
    EXPECT_FALSE(info.checked);
    EXPECT_EQ(info.keyEquivalent, "");
    for (Desired each : kAllDesired) {
      const MenuItem& entry = choice(each);
      const std::string raw(rawValue(each));
      EXPECT_EQ(entry.title, "Want " + raw);
      EXPECT_TRUE(entry.enabled);
      EXPECT_EQ(entry.action, MenuAction::kSelectDesired);
      EXPECT_EQ(entry.target.lock(), std::static_pointer_cast<MenuTarget>(monitor));
      ASSERT_NE(representedString(entry), nullptr);
      EXPECT_EQ(*representedString(entry), raw);
      EXPECT_EQ(entry.checked, each == desired) << raw;
      EXPECT_EQ(entry.keyEquivalent, "");
    }
    const MenuItem& quit = items[7];
    EXPECT_EQ(quit.title, "Quit");
    EXPECT_TRUE(quit.enabled);
    EXPECT_EQ(quit.action, MenuAction::kTerminate);
    EXPECT_TRUE(quit.target.expired());
    EXPECT_FALSE(quit.representedObject.has_value());
    EXPECT_FALSE(quit.checked);
    EXPECT_EQ(quit.keyEquivalent, "q");
  }
  void launch() { monitor = h.launch(); }
  // Reports a success so that the item is tinted until three seconds from now.
  void reportSuccess() {
    h.files.contents[MonitorProbe::attentionPath(monitor)] = R"({"success_id": "s1"})";
    h.scheduler.advance(1.0);
    ASSERT_EQ(MonitorProbe::greenUntil(monitor), h.clock.now() + Seconds{3.0});
  }

  Harness h;
  std::shared_ptr<Monitor> monitor;
};

TEST_F(StatusMenuTest, WatcherFailureIsShownWhateverTheState) {
  h.usb.refusePort = true;  // leaves the state `multiple`
  launch();
  const FakeRender& shown = h.item().current;
  EXPECT_EQ(shown.title, "Want C6 boot | Have watch error");
  EXPECT_EQ(shown.toolTip, "Desired: C6 boot. Observed: USB watcher unavailable.");
  EXPECT_EQ(shown.accessibilityLabel, shown.toolTip);
  EXPECT_FALSE(shown.green);
  expectMenu("USB watcher unavailable", Desired::c6Boot);
}

TEST_F(StatusMenuTest, NothingAttachedShowsNoneBesideTheWantedState) {
  h.preferences.values["desired"] = "RP normal";
  launch();
  const FakeRender& shown = h.item().current;
  EXPECT_EQ(shown.title, "Want RP normal | Have none");
  EXPECT_EQ(shown.toolTip, "Desired: RP normal. Observed: No matching USB device.");
  EXPECT_EQ(shown.accessibilityLabel, shown.toolTip);
  expectMenu("No matching USB device", Desired::rpNormal);
}

TEST_F(StatusMenuTest, AttachedBoardShowsItsShortLabelAndDetail) {
  h.preferences.values["desired"] = "C6 normal";
  h.usb.devices = {kRpBootBoard};
  launch();
  const std::string detail = "RP bootloader USB descriptor \xC2\xB7 identity unverified";
  EXPECT_EQ(h.item().current.title, "Want C6 normal | Have RP likely boot");
  EXPECT_EQ(h.item().current.toolTip, "Desired: C6 normal. Observed: " + detail + ".");
  expectMenu(detail, Desired::c6Normal);
}

TEST_F(StatusMenuTest, TintLastsStrictlyUntilGreenUntil) {
  launch();
  EXPECT_FALSE(h.item().current.green);  // the distant past
  reportSuccess();
  EXPECT_TRUE(h.item().current.green);
  h.clock.advance(2.0);
  MonitorProbe::rebuild(monitor, false);
  EXPECT_TRUE(h.item().current.green);  // one second ahead
  h.clock.advance(1.0);
  MonitorProbe::rebuild(monitor, false);
  EXPECT_FALSE(h.item().current.green);  // equal: no longer earlier
}

TEST_F(StatusMenuTest, TintIgnoresWhetherWantedAndObservedAgree) {
  h.preferences.values["desired"] = "RP boot";
  h.usb.devices = {kRpBootBoard};
  launch();
  EXPECT_FALSE(h.item().current.green);
  reportSuccess();
  EXPECT_TRUE(h.item().current.green);
}

TEST_F(StatusMenuTest, ChoosingAWantedStateStoresItAndMovesTheCheckMark) {
  launch();
  const std::size_t renders = h.item().menus.size();
  choose(choice(Desired::rpBoot));
  EXPECT_EQ(MonitorProbe::desired(monitor), Desired::rpBoot);
  EXPECT_EQ(h.preferences.writes,
            (std::vector<std::pair<std::string, std::string>>{{"desired", "RP boot"}}));
  EXPECT_EQ(h.item().menus.size(), renders + 1);
  EXPECT_EQ(h.item().current.title, "Want RP boot | Have none");
  expectMenu("No matching USB device", Desired::rpBoot);
}

TEST_F(StatusMenuTest, ChoosingTheCheckedEntryStoresAndRendersAgain) {
  h.preferences.values["desired"] = "C6 normal";
  launch();
  const std::size_t renders = h.item().menus.size();
  choose(choice(Desired::c6Normal));
  EXPECT_EQ(h.preferences.writes,
            (std::vector<std::pair<std::string, std::string>>{{"desired", "C6 normal"}}));
  EXPECT_EQ(h.item().menus.size(), renders + 1);
  expectMenu("No matching USB device", Desired::c6Normal);
}

TEST_F(StatusMenuTest, EntryWithoutAnExactRawValueChangesNothing) {
  launch();
  const std::size_t renders = h.item().menus.size();
  for (std::any object : {std::any(std::string("rp boot")), std::any(std::string("RP boot ")),
                          std::any(std::string()), std::any(3), std::any()}) {
    MenuItem entry = choice(Desired::rpBoot);
    entry.representedObject = object;
    choose(entry);
  }
  EXPECT_EQ(MonitorProbe::desired(monitor), Desired::c6Boot);
  EXPECT_TRUE(h.preferences.writes.empty());
  EXPECT_EQ(h.item().menus.size(), renders);
}

TEST_F(StatusMenuTest, ChoiceAfterAWatcherFailureIsStoredAndShown) {
  h.usb.refusePort = true;
  launch();
  choose(choice(Desired::rpBoot));
  EXPECT_EQ(MonitorProbe::desired(monitor), Desired::rpBoot);
  EXPECT_EQ(h.preferences.writes,
            (std::vector<std::pair<std::string, std::string>>{{"desired", "RP boot"}}));
  EXPECT_TRUE(h.item().current.title.starts_with("Want RP boot | Have "));
  EXPECT_EQ(menu().items.size(), 8u);
  EXPECT_TRUE(choice(Desired::rpBoot).checked);
  EXPECT_EQ(h.usb.enumerations(), 0);
}

TEST_F(StatusMenuTest, FailedPreferenceWriteKeepsTheChoiceInEffect) {
  h.preferences.failWrites = true;
  launch();
  choose(choice(Desired::rpNormal));
  EXPECT_EQ(MonitorProbe::desired(monitor), Desired::rpNormal);
  EXPECT_EQ(h.item().current.title, "Want RP normal | Have none");
  expectMenu("No matching USB device", Desired::rpNormal);
}

TEST_F(StatusMenuTest, ItemWithoutAButtonStillGetsItsMenu) {
  h.statusBar.itemsHaveButtons = false;
  launch();
  ASSERT_FALSE(h.item().menus.empty());
  EXPECT_EQ(h.item().current.title, "");
  expectMenu("No matching USB device", Desired::c6Boot);
  choose(choice(Desired::rpBoot));
  expectMenu("No matching USB device", Desired::rpBoot);
}

TEST_F(StatusMenuTest, QuitTerminatesTheApplication) {
  launch();
  choose(menu().items.at(7));
  EXPECT_EQ(h.app.calls.back(), "terminate");
  EXPECT_EQ(h.usb.calls.back(), "destroyPort");
}

}  // namespace
}  // namespace vantorel
