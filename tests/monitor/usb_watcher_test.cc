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

constexpr std::int64_t kRaspberryPi = 0x2E8A;
constexpr std::int64_t kEspressif = 0x303A;

json device(std::int64_t vendor, std::int64_t product, std::string name = "",
            std::string serial = "") {
  return {{"idVendor", vendor},
          {"idProduct", product},
          {"USB Product Name", std::move(name)},
          {"USB Serial Number", std::move(serial)}};
}

json rpBootloader() { return device(kRaspberryPi, 0x000F, "RP2350 Boot"); }
json rpApplication() { return device(kRaspberryPi, 0x0009, "Pico"); }

class UsbWatcherTest : public ::testing::Test {
 protected:
  void launch() { monitor = h.launch(); }
  Observed state() const { return MonitorProbe::state(monitor); }
  const FakeRender& shown() { return h.item().current; }
  std::string menuInfo() { return h.item().menus.back().items.at(0).title; }
  int enumerations() const { return h.usb.enumerations(); }
  bool armed(UsbNotificationKind kind) const { return h.usb.armed(kind); }
  void choose(const std::string& title) {
    for (const MenuItem& entry : h.item().menus.back().items) {
      if (entry.title == title) dispatchMenuItem(entry, h.app);
    }
  }
  void expectWatchError(const std::string& wanted) {
    EXPECT_EQ(shown().title, "Want " + wanted + " | Have watch error");
    EXPECT_EQ(shown().toolTip, "Desired: " + wanted + ". Observed: USB watcher unavailable.");
    EXPECT_EQ(menuInfo(), "Observed: USB watcher unavailable");
  }

  Harness h;
  std::shared_ptr<Monitor> monitor;
};

TEST_F(UsbWatcherTest, StartArmsBothNotificationsAndEnumeratesThreeTimes) {
  h.usb.devices = {device(0x046D, 0xC52B, "Receiver"), rpBootloader()};
  launch();

  EXPECT_EQ(h.usb.calls, (Calls{"createPort", "addSource", "subscribe arrival", "subscribe removal",
                                "enumerate", "enumerate", "enumerate"}));
  EXPECT_TRUE(armed(UsbNotificationKind::kArrival));
  EXPECT_TRUE(armed(UsbNotificationKind::kRemoval));
  EXPECT_EQ(state(), Observed::rpBoot);
  EXPECT_EQ(shown().title, "Want C6 boot | Have RP likely boot");
  EXPECT_EQ(h.item().menus.size(), 3u);
}

TEST_F(UsbWatcherTest, StartWithNothingRelevantAttachedObservesNone) {
  h.usb.devices = {device(0x046D, 0xC52B), device(kEspressif, 0x1002)};
  launch();
  EXPECT_EQ(enumerations(), 3);
  EXPECT_EQ(state(), Observed::none);
  EXPECT_EQ(shown().title, "Want C6 boot | Have none");
}

TEST_F(UsbWatcherTest, EachArrivalAndRemovalRefreshesExactlyOnce) {
  launch();

  h.usb.plugIn(rpApplication());
  EXPECT_EQ(enumerations(), 4);
  EXPECT_EQ(state(), Observed::rpNormal);
  EXPECT_EQ(shown().title, "Want C6 boot | Have RP likely app");

  h.usb.plugIn(rpBootloader());
  EXPECT_EQ(enumerations(), 5);
  EXPECT_EQ(state(), Observed::multiple);

  h.usb.unplug(kRaspberryPi, 0x0009);
  h.usb.unplug(kRaspberryPi, 0x000F);
  EXPECT_EQ(enumerations(), 7);
  EXPECT_EQ(state(), Observed::none);
  EXPECT_TRUE(armed(UsbNotificationKind::kArrival));
  EXPECT_TRUE(armed(UsbNotificationKind::kRemoval));
}

TEST_F(UsbWatcherTest, PortThatCannotBeCreatedObservesMultipleWithoutEnumerating) {
  h.usb.refusePort = true;
  h.usb.devices = {rpBootloader()};
  launch();

  EXPECT_EQ(state(), Observed::multiple);
  expectWatchError("C6 boot");
  h.app.terminate();
  EXPECT_EQ(h.usb.calls, (Calls{"createPort"}));
}

TEST_F(UsbWatcherTest, PortWithoutSourceObservesMultipleAndIsDestroyedAtStop) {
  h.usb.portWithoutSource = true;
  launch();

  EXPECT_EQ(state(), Observed::multiple);
  expectWatchError("C6 boot");
  EXPECT_EQ(h.usb.calls, (Calls{"createPort"}));
  h.app.terminate();
  EXPECT_EQ(h.usb.calls, (Calls{"createPort", "destroyPort"}));
}

// Parameter: true refuses the arrival registration, false the removal registration.
class RefusedRegistrationTest : public UsbWatcherTest,
                                public ::testing::WithParamInterface<bool> {};

TEST_P(RefusedRegistrationTest, KeepsStateArmsNothingAndReleasesOnlyTheOtherRegistration) {
  const bool arrivalRefused = GetParam();
  h.usb.refuseArrival = arrivalRefused;
  h.usb.refuseRemoval = !arrivalRefused;
  h.usb.devices = {rpBootloader()};
  launch();

  EXPECT_EQ(h.usb.calls,
            (Calls{"createPort", "addSource", "subscribe arrival", "subscribe removal"}));
  EXPECT_EQ(state(), Observed::none);
  expectWatchError("C6 boot");
  EXPECT_FALSE(armed(UsbNotificationKind::kArrival));
  EXPECT_FALSE(armed(UsbNotificationKind::kRemoval));

  h.usb.plugIn(rpApplication());
  h.usb.unplug(kRaspberryPi, 0x000F);
  EXPECT_EQ(enumerations(), 0);

  h.usb.calls.clear();
  h.app.terminate();
  const std::string kept = arrivalRefused ? "release removal" : "release arrival";
  EXPECT_EQ(h.usb.calls, (Calls{kept, "destroyPort"}));
}

INSTANTIATE_TEST_SUITE_P(EitherRegistration, RefusedRegistrationTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Arrival" : "Removal"; });

TEST_F(UsbWatcherTest, FailedEnumerationKeepsStateUntilTheNextNotificationRefreshes) {
  h.usb.devices = {rpBootloader()};
  launch();

  h.usb.failEnumeration = true;
  h.usb.unplug(kRaspberryPi, 0x000F);
  EXPECT_EQ(state(), Observed::rpBoot);
  expectWatchError("C6 boot");
  EXPECT_TRUE(armed(UsbNotificationKind::kRemoval));

  h.usb.failEnumeration = false;
  h.usb.plugIn(device(kEspressif, 0x1001, "", "AA:BB"));
  EXPECT_EQ(state(), Observed::espUnknown);
  EXPECT_EQ(shown().title, "Want C6 boot | Have ESP unknown");
  EXPECT_EQ(menuInfo(), "Observed: ESP USB present · identity and mode unknown");
}

TEST_F(UsbWatcherTest, DevicesWithoutUsableIdsAreLeftOut) {
  const auto huge = std::numeric_limits<std::uint64_t>::max();
  h.usb.devices = {
      json(),                                                            // properties unreadable
      json::array({kRaspberryPi, 0x000F}),                               // not a map
      json("RP2350 Boot"),                                               // not a map
      json{{"idProduct", 0x000F}, {"USB Product Name", "RP2350 Boot"}},  // no vendor
      json{{"idVendor", kRaspberryPi}, {"USB Product Name", "Pico"}},    // no product
      json{{"idVendor", 11914.5}, {"idProduct", 9}},
      json{{"idVendor", "0x2E8A"}, {"idProduct", 9}},
      json{{"idVendor", kRaspberryPi}, {"idProduct", huge}},
      json{{"idVendor", 1e19}, {"idProduct", 9}},
      json{{"idVendor", true}, {"idProduct", 9}},
      json{{"idVendor", nullptr}, {"idProduct", 9}},
  };
  launch();
  EXPECT_EQ(state(), Observed::none);

  // One readable board among them: any malformed device counted would make this "multiple".
  h.usb.plugIn(rpApplication());
  EXPECT_EQ(state(), Observed::rpNormal);
}

TEST_F(UsbWatcherTest, IntegralIdsWrittenAsFloatingPointAreRead) {
  h.usb.devices = {
      json{{"idVendor", 11914.0}, {"idProduct", 15.0}, {"USB Product Name", "rp2350 BOOT"}}};
  launch();
  EXPECT_EQ(state(), Observed::rpBoot);
}

TEST_F(UsbWatcherTest, RaspberryPiDeviceWithoutUsableNameIsRpUnknown) {
  h.usb.devices = {json{{"idVendor", kRaspberryPi}, {"idProduct", 0x000F}}};
  launch();
  EXPECT_EQ(shown().title, "Want C6 boot | Have RP unknown");

  h.usb.unplug(kRaspberryPi, 0x000F);
  h.usb.plugIn(json{{"idVendor", kRaspberryPi}, {"idProduct", 0x0009}, {"USB Product Name", 7}});
  EXPECT_EQ(state(), Observed::rpUnknown);
}

TEST_F(UsbWatcherTest, EspressifDeviceWithoutUsableSerialIsEspUnknown) {
  h.bundle.info = {{"BoardC6Serial", "F4:12:FA:00:11:22"}};
  h.usb.devices = {json{{"idVendor", kEspressif}, {"idProduct", 0x1001}}};
  launch();
  EXPECT_EQ(shown().title, "Want C6 boot | Have ESP unknown");

  h.usb.unplug(kEspressif, 0x1001);
  h.usb.plugIn(
      json{{"idVendor", kEspressif}, {"idProduct", 0x1001}, {"USB Serial Number", json::object()}});
  EXPECT_EQ(state(), Observed::espUnknown);

  h.usb.unplug(kEspressif, 0x1001);
  h.usb.plugIn(device(kEspressif, 0x1001, "", "f4:12:fa:00:11:22"));
  EXPECT_EQ(shown().title, "Want C6 boot | Have C6 unknown mode");
}

TEST_F(UsbWatcherTest, FailedStartStaysVisibleThroughLaterRenders) {
  h.usb.refuseRemoval = true;
  launch();

  choose("Want RP boot");
  EXPECT_EQ(h.preferences.writes.back(),
            (std::pair<std::string, std::string>{"desired", "RP boot"}));
  expectWatchError("RP boot");
}

TEST_F(UsbWatcherTest, FailedEnumerationStaysVisibleUntilAnEnumerationSucceeds) {
  launch();
  h.usb.failEnumeration = true;
  h.usb.plugIn(rpBootloader());

  h.files.contents[MonitorProbe::attentionPath(monitor)] = R"({"success_id": "s1"})";
  h.scheduler.advance(1.0);
  EXPECT_TRUE(shown().green);
  expectWatchError("C6 boot");
  choose("Want C6 normal");
  expectWatchError("C6 normal");

  h.usb.failEnumeration = false;
  h.usb.unplug(kRaspberryPi, 0x000F);
  EXPECT_EQ(shown().title, "Want C6 normal | Have none");
  EXPECT_EQ(menuInfo(), "Observed: No matching USB device");
}

TEST_F(UsbWatcherTest, StopReleasesBothNotificationsThenThePort) {
  launch();
  h.usb.calls.clear();
  h.app.terminate();
  EXPECT_EQ(h.usb.calls, (Calls{"release arrival", "release removal", "destroyPort"}));

  h.usb.plugIn(rpBootloader());
  EXPECT_EQ(enumerations(), 0);
}

}  // namespace
}  // namespace vantorel
