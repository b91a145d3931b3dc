// Given the wanted and observed states, we should render the title, tooltip and eight-entry menu,
// and act on a chosen entry only when it carries an exact raw value.

#include "statusmenu/status_menu.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/harness.h"
#include "platform/menu_dispatch.h"

namespace vantorel {
namespace {

const nlohmann::json kRpBootBoard = {
    {"idVendor", 0x2E8A}, {"idProduct", 0x000F}, {"USB Product Name", "RP2350 Boot"}};
const std::string kNone = "No matching USB device";
using Writes = std::vector<std::pair<std::string, std::string>>;

// Each entry of the last menu as one line: what it shows, what it does and for whom.
std::vector<std::string> entries(Harness& h, const std::shared_ptr<Monitor>& monitor) {
  static const char* const kActions[] = {"none", "select", "terminate"};
  std::vector<std::string> lines;
  for (const MenuItem& item : h.item().menus.back().items) {
    if (item.separator) {
      lines.push_back("---");
      continue;
    }
    const auto* raw = std::any_cast<std::string>(&item.representedObject);
    std::string target = item.target.expired() ? "app" : "?";
    if (item.target.lock() == std::static_pointer_cast<MenuTarget>(monitor)) target = "monitor";
    lines.push_back(item.title + (item.enabled ? "" : " disabled") + " " +
                    kActions[static_cast<int>(item.action)] + " " + target +
                    (raw ? " [" + *raw + "]" : "") + (item.checked ? " checked" : "") +
                    (item.keyEquivalent.empty() ? "" : " key " + item.keyEquivalent));
  }
  return lines;
}

std::vector<std::string> expectedEntries(const std::string& observedText, Desired desired) {
  std::vector<std::string> lines = {"Observed: " + observedText + " disabled none app", "---"};
  for (Desired each : kAllDesired) {
    const std::string raw(rawValue(each));
    lines.push_back("Want " + raw + " select monitor [" + raw + "]" +
                    (each == desired ? " checked" : ""));
  }
  lines.insert(lines.end(), {"---", "Quit terminate app key q"});
  return lines;
}

class StatusMenuTest : public ::testing::Test {
 protected:
  const MenuItem& choice(Desired desired) {
    return h.item().menus.back().items.at(2 + static_cast<std::size_t>(desired));
  }
  void choose(MenuItem item) { dispatchMenuItem(item, h.app); }  // a copy: the menu is replaced

  Harness h;
  std::shared_ptr<Monitor> monitor;
};

TEST(StatusMenuStatesTest, TitleTooltipAndMenuShowBothStates) {
  const std::string rpBoot = "RP bootloader USB descriptor \xC2\xB7 identity unverified";
  struct Row {
    std::optional<std::string> stored;
    bool attachBoard, refusePort;
    std::string title, observedText;
    Desired desired;
  };
  const Row rows[] = {
      {std::nullopt, false, true, "Want C6 boot | Have watch error", "USB watcher unavailable",
       Desired::c6Boot},
      {"RP normal", false, false, "Want RP normal | Have none", kNone, Desired::rpNormal},
      {"C6 normal", true, false, "Want C6 normal | Have RP likely boot", rpBoot, Desired::c6Normal},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.title);
    Harness h;
    if (row.stored) h.preferences.values["desired"] = *row.stored;
    if (row.attachBoard) h.usb.devices = {kRpBootBoard};
    h.usb.refusePort = row.refusePort;
    const auto monitor = h.launch();
    const std::string toolTip =
        "Desired: " + std::string(rawValue(row.desired)) + ". Observed: " + row.observedText + ".";
    EXPECT_EQ(h.item().current.title, row.title);
    EXPECT_EQ(h.item().current.toolTip, toolTip);
    EXPECT_EQ(h.item().current.accessibilityLabel, toolTip);
    EXPECT_FALSE(h.item().current.green);
    EXPECT_EQ(entries(h, monitor), expectedEntries(row.observedText, row.desired));
  }
}

TEST_F(StatusMenuTest, TintLastsStrictlyUntilGreenUntilWhateverTheStates) {
  h.preferences.values["desired"] = "RP boot";
  h.usb.devices = {kRpBootBoard};  // wanted and observed agree, yet the distant past means no tint
  monitor = h.launch();
  EXPECT_FALSE(h.item().current.green);
  h.files.contents[MonitorProbe::attentionPath(monitor)] = R"({"success_id": "s1"})";
  h.scheduler.advance(1.0);
  ASSERT_EQ(MonitorProbe::greenUntil(monitor), h.clock.now() + Seconds{3.0});
  EXPECT_TRUE(h.item().current.green);
  h.clock.advance(2.0);
  MonitorProbe::rebuild(monitor, false);
  EXPECT_TRUE(h.item().current.green);  // one second ahead
  h.clock.advance(1.0);
  MonitorProbe::rebuild(monitor, false);
  EXPECT_FALSE(h.item().current.green);  // equal
}

TEST_F(StatusMenuTest, OnlyAnEntryWithAnExactRawValueIsStoredAndChecked) {
  monitor = h.launch();
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
  choose(choice(Desired::rpBoot));
  EXPECT_EQ(MonitorProbe::desired(monitor), Desired::rpBoot);
  EXPECT_EQ(h.preferences.writes, (Writes{{"desired", "RP boot"}}));
  EXPECT_EQ(h.item().menus.size(), renders + 1);
  EXPECT_EQ(h.item().current.title, "Want RP boot | Have none");
  EXPECT_EQ(entries(h, monitor), expectedEntries(kNone, Desired::rpBoot));
  choose(choice(Desired::rpBoot));  // already checked: stored and rendered again
  EXPECT_EQ(h.preferences.writes, (Writes{{"desired", "RP boot"}, {"desired", "RP boot"}}));
  EXPECT_EQ(h.item().menus.size(), renders + 2);
}

TEST_F(StatusMenuTest, ChoiceSurvivesAFailedWriteAndAFailedWatcher) {
  h.preferences.failWrites = true;
  h.usb.refusePort = true;
  monitor = h.launch();
  choose(choice(Desired::rpNormal));
  EXPECT_EQ(MonitorProbe::desired(monitor), Desired::rpNormal);
  EXPECT_EQ(h.preferences.writes, (Writes{{"desired", "RP normal"}}));
  EXPECT_EQ(h.item().current.title, "Want RP normal | Have watch error");
  EXPECT_EQ(entries(h, monitor), expectedEntries("USB watcher unavailable", Desired::rpNormal));
  EXPECT_EQ(h.usb.enumerations(), 0);
}

TEST_F(StatusMenuTest, ItemWithoutAButtonStillGetsItsMenuAndQuitTerminates) {
  h.statusBar.itemsHaveButtons = false;
  monitor = h.launch();
  EXPECT_EQ(h.item().current.title, "");
  EXPECT_EQ(entries(h, monitor), expectedEntries(kNone, Desired::c6Boot));
  choose(choice(Desired::rpBoot));
  EXPECT_EQ(entries(h, monitor), expectedEntries(kNone, Desired::rpBoot));
  choose(h.item().menus.back().items.at(7));
  EXPECT_EQ(h.app.calls.back(), "terminate");
  EXPECT_EQ(h.usb.calls.back(), "destroyPort");
}

}  // namespace
}  // namespace vantorel
