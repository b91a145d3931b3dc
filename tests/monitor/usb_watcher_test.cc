// Given a USB registry held in memory, the watcher should arm both notifications at start, refresh
// once per delivered notification, and show every failure as the watcher error.

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "fakes/harness.h"
#include "platform/menu_dispatch.h"

namespace vantorel {
namespace {

using nlohmann::json;
using Calls = std::vector<std::string>;
constexpr auto kArrival = UsbNotificationKind::kArrival;
constexpr auto kRemoval = UsbNotificationKind::kRemoval;

const json kRpBoot = {
    {"idVendor", 0x2E8A}, {"idProduct", 0x000F}, {"USB Product Name", "RP2350 Boot"}};
const json kRpApp = {{"idVendor", 0x2E8A}, {"idProduct", 0x0009}, {"USB Product Name", "Pico"}};

const std::string& title(Harness& h) { return h.item().current.title; }
const std::string& menuInfo(Harness& h) { return h.item().menus.back().items.at(0).title; }

void choose(Harness& h, const std::string& entry) {
  for (const MenuItem& item : h.item().menus.back().items) {
    if (item.title == entry) dispatchMenuItem(item, h.app);
  }
}

void expectWatchError(Harness& h, const std::string& wanted) {
  EXPECT_EQ(title(h), "Want " + wanted + " | Have watch error");
  EXPECT_EQ(menuInfo(h), "Observed: USB watcher unavailable");
}

TEST(UsbWatcher, StartArmsBothNotificationsAndEachDeliveryRefreshesOnce) {
  Harness h;
  h.usb.devices = {{{"idVendor", 0x046D}, {"idProduct", 0xC52B}}, kRpBoot};
  auto monitor = h.launch();
  EXPECT_EQ(h.usb.calls, (Calls{"createPort", "addSource", "subscribe arrival", "subscribe removal",
                                "enumerate", "enumerate", "enumerate"}));
  EXPECT_TRUE(h.usb.armed(kArrival) && h.usb.armed(kRemoval));
  EXPECT_EQ(h.item().menus.size(), 3u);
  EXPECT_EQ(title(h), "Want C6 boot | Have RP likely boot");

  h.usb.plugIn(kRpApp);
  EXPECT_EQ(h.usb.enumerations(), 4);
  EXPECT_EQ(MonitorProbe::state(monitor), Observed::multiple);
  h.usb.unplug(0x2E8A, 0x000F);
  EXPECT_EQ(h.usb.enumerations(), 5);
  EXPECT_EQ(title(h), "Want C6 boot | Have RP likely app");
  EXPECT_TRUE(h.usb.armed(kArrival) && h.usb.armed(kRemoval));

  h.usb.calls.clear();
  h.app.terminate();
  EXPECT_EQ(h.usb.calls, (Calls{"release arrival", "release removal", "destroyPort"}));
  h.usb.plugIn(kRpBoot);
  EXPECT_EQ(h.usb.enumerations(), 0);
}

TEST(UsbWatcher, EveryStartFailureStaysShownAndStopReleasesOnlyWhatExists) {
  struct Row {
    bool FakeUsbRegistry::*fault;
    Observed state;
    Calls atStart, atStop;
  };
  const Calls subscribed = {"createPort", "addSource", "subscribe arrival", "subscribe removal"};
  const Row rows[] = {
      {&FakeUsbRegistry::refusePort, Observed::multiple, {"createPort"}, {}},
      {&FakeUsbRegistry::portWithoutSource, Observed::multiple, {"createPort"}, {"destroyPort"}},
      {&FakeUsbRegistry::refuseArrival,
       Observed::none,
       subscribed,
       {"release removal", "destroyPort"}},
      {&FakeUsbRegistry::refuseRemoval,
       Observed::none,
       subscribed,
       {"release arrival", "destroyPort"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(::testing::PrintToString(row.atStop));
    Harness h;
    h.usb.*row.fault = true;
    h.usb.devices = {kRpBoot};
    auto monitor = h.launch();
    EXPECT_EQ(h.usb.calls, row.atStart);
    EXPECT_EQ(MonitorProbe::state(monitor), row.state);
    EXPECT_FALSE(h.usb.armed(kArrival) || h.usb.armed(kRemoval));
    expectWatchError(h, "C6 boot");
    choose(h, "Want RP boot");
    EXPECT_EQ(h.preferences.writes.back(),
              (std::pair<std::string, std::string>{"desired", "RP boot"}));
    expectWatchError(h, "RP boot");

    h.usb.plugIn(kRpApp);
    h.usb.unplug(0x2E8A, 0x000F);
    EXPECT_EQ(h.usb.enumerations(), 0);
    h.usb.calls.clear();
    h.app.terminate();
    EXPECT_EQ(h.usb.calls, row.atStop);
  }
}

TEST(UsbWatcher, FailedEnumerationKeepsTheStateAndShowsTheErrorUntilAnEnumerationSucceeds) {
  Harness h;
  h.usb.devices = {kRpBoot};
  auto monitor = h.launch();
  h.usb.failEnumeration = true;
  h.usb.unplug(0x2E8A, 0x000F);
  EXPECT_EQ(MonitorProbe::state(monitor), Observed::rpBoot);
  EXPECT_TRUE(h.usb.armed(kRemoval));
  expectWatchError(h, "C6 boot");
  // Neither a success tint nor a menu choice hides the failure.
  h.files.contents[MonitorProbe::attentionPath(monitor)] = R"({"success_id": "s1"})";
  h.scheduler.advance(1.0);
  EXPECT_TRUE(h.item().current.green);
  expectWatchError(h, "C6 boot");
  choose(h, "Want C6 normal");
  expectWatchError(h, "C6 normal");

  h.usb.failEnumeration = false;
  h.usb.plugIn({{"idVendor", 0x303A}, {"idProduct", 0x1001}, {"USB Serial Number", "AA:BB"}});
  EXPECT_EQ(title(h), "Want C6 normal | Have ESP unknown");
  EXPECT_EQ(menuInfo(h), "Observed: ESP USB present · identity and mode unknown");
}

TEST(UsbWatcher, DevicesWithoutIntegralIdsAreLeftOutAndMissingTextsAreEmpty) {
  const auto huge = std::numeric_limits<std::uint64_t>::max();
  const std::pair<json, std::string> rows[] = {
      {json(), "none"},  // properties unreadable
      {json::array({0x2E8A, 0x000F}), "none"},
      {json("RP2350 Boot"), "none"},
      {{{"idProduct", 0x000F}, {"USB Product Name", "RP2350 Boot"}}, "none"},
      {{{"idVendor", 0x2E8A}, {"USB Product Name", "Pico"}}, "none"},
      {{{"idVendor", 11914.5}, {"idProduct", 9}}, "none"},
      {{{"idVendor", "0x2E8A"}, {"idProduct", 9}}, "none"},
      {{{"idVendor", 0x2E8A}, {"idProduct", huge}}, "none"},
      {{{"idVendor", 1e19}, {"idProduct", 9}}, "none"},
      {{{"idVendor", true}, {"idProduct", 9}}, "none"},
      {{{"idVendor", nullptr}, {"idProduct", 9}}, "none"},
      {{{"idVendor", 11914.0}, {"idProduct", 15.0}, {"USB Product Name", "rp2350 BOOT"}},
       "RP likely boot"},
      {{{"idVendor", 0x2E8A}, {"idProduct", 0x000F}}, "RP unknown"},
      {{{"idVendor", 0x2E8A}, {"idProduct", 0x0009}, {"USB Product Name", 7}}, "RP unknown"},
      {{{"idVendor", 0x303A}, {"idProduct", 0x1001}}, "ESP unknown"},
      {{{"idVendor", 0x303A}, {"idProduct", 0x1001}, {"USB Serial Number", json::object()}},
       "ESP unknown"},
      {{{"idVendor", 0x303A}, {"idProduct", 0x1001}, {"USB Serial Number", "f4:12:fa:00:11:22"}},
       "C6 unknown mode"},
  };
  for (const auto& [device, have] : rows) {
    SCOPED_TRACE(device.dump());
    Harness h;
    h.bundle.info = {{"BoardC6Serial", "F4:12:FA:00:11:22"}};
    h.usb.devices = {device};
    auto monitor = h.launch();
    EXPECT_EQ(title(h), "Want C6 boot | Have " + have);
  }
}

}  // namespace
}  // namespace vantorel
