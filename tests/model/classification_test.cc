#include "model/classification.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace vantorel {
namespace {

const std::optional<std::string> kNoSerial = std::nullopt;
const std::optional<std::string> kSerial = std::string("F4:12:FA:00:11:22");

USBDevice c6(std::string serial, std::string name = "USB JTAG/serial debug unit") {
  return USBDevice(0x303A, 0x1001, std::move(name), std::move(serial));
}
USBDevice rp(std::int64_t product, std::string name, std::string serial = "E6614C311B") {
  return USBDevice(0x2E8A, product, std::move(name), std::move(serial));
}
USBDevice keyboard() { return USBDevice(0x046D, 0xC31C, "USB Keyboard", ""); }
USBDevice hub() { return USBDevice(0x1D6B, 0x0002, "xHCI Host Controller", "0000:00:14.0"); }

Observed one(const USBDevice& device, const std::optional<std::string>& serial = kSerial) {
  return observed({device}, serial);
}

class ClassificationTest : public ::testing::Test {};

TEST_F(ClassificationTest, NothingRelevantAttachedIsNone) {
  EXPECT_EQ(observed({}, kSerial), Observed::none);
  EXPECT_EQ(observed({keyboard(), hub(), USBDevice(0x303A, 0x1002, "ESP32-S3", "x"),
                      USBDevice(0x303A, 0x0002, "", "")},
                     kSerial),
            Observed::none);
}

TEST_F(ClassificationTest, BootloaderNameIsComparedAfterLowerCasing) {
  EXPECT_EQ(one(rp(0x000F, "RP2350 Boot")), Observed::rpBoot);
  EXPECT_EQ(one(rp(0x000F, "rp2350 boot")), Observed::rpBoot);
  EXPECT_EQ(one(rp(0x000F, "RP2350 BOOT")), Observed::rpBoot);
}

TEST_F(ClassificationTest, ApplicationNameIsComparedAfterLowerCasing) {
  EXPECT_EQ(one(rp(0x0009, "pico")), Observed::rpNormal);
  EXPECT_EQ(one(rp(0x0009, "Pico")), Observed::rpNormal);
  EXPECT_EQ(one(rp(0x0009, "PICO")), Observed::rpNormal);
}

TEST_F(ClassificationTest, NamesMustMatchAsWholeStringsWithoutTrimming) {
  for (const char* name : {"Pico W", "my pico", "pic", " pico", "pico ", "pico\n", ""}) {
    EXPECT_EQ(one(rp(0x0009, name)), Observed::rpUnknown) << '"' << name << '"';
  }
  for (const char* name : {"RP2350 Boot ", "RP2350  Boot", "RP2350Boot", "RP2350 Boot loader",
                           "RP2040 Boot", ""}) {
    EXPECT_EQ(one(rp(0x000F, name)), Observed::rpUnknown) << '"' << name << '"';
  }
}

TEST_F(ClassificationTest, EachNameCountsOnlyWithItsOwnProductId) {
  EXPECT_EQ(one(rp(0x0009, "RP2350 Boot")), Observed::rpUnknown);
  EXPECT_EQ(one(rp(0x000F, "pico")), Observed::rpUnknown);
  EXPECT_EQ(one(rp(0x0003, "RP2350 Boot")), Observed::rpUnknown);
  EXPECT_EQ(one(rp(0x000A, "pico")), Observed::rpUnknown);
}

TEST_F(ClassificationTest, RaspberryPiSerialPlaysNoPart) {
  EXPECT_EQ(one(rp(0x000F, "RP2350 Boot", *kSerial)), Observed::rpBoot);
  EXPECT_EQ(one(rp(0x0009, "Pico", "")), Observed::rpNormal);
}

TEST_F(ClassificationTest, C6IsKnownOnlyByItsSerialIgnoringLetterCase) {
  EXPECT_EQ(one(c6("F4:12:FA:00:11:22")), Observed::c6Unknown);
  EXPECT_EQ(one(c6("f4:12:fa:00:11:22")), Observed::c6Unknown);
  EXPECT_EQ(one(c6("F4:12:FA:00:11:22", "")), Observed::c6Unknown);  // the name is not looked at
  EXPECT_EQ(one(c6("F4:12:FA:00:11:23")), Observed::espUnknown);
  EXPECT_EQ(one(c6("F4:12:FA:00:11:22 ")), Observed::espUnknown);
  EXPECT_EQ(one(c6(" F4:12:FA:00:11:22")), Observed::espUnknown);
  EXPECT_EQ(one(c6("F4:12:FA:00:11")), Observed::espUnknown);
  EXPECT_EQ(one(c6("")), Observed::espUnknown);
}

TEST_F(ClassificationTest, C6WithoutAUsableExpectedSerialIsAnUnknownEsp) {
  EXPECT_EQ(one(c6("F4:12:FA:00:11:22"), kNoSerial), Observed::espUnknown);
  EXPECT_EQ(one(c6(""), std::string()), Observed::espUnknown);
  EXPECT_EQ(one(c6("abc"), std::string()), Observed::espUnknown);
}

TEST_F(ClassificationTest, IdsAreComparedAsWholeIntegers) {
  EXPECT_EQ(one(USBDevice(0x10000 + 0x2E8A, 0x0009, "pico", "")), Observed::none);
  EXPECT_EQ(one(USBDevice(0x2E8A, 0x10000 + 0x0009, "pico", "")), Observed::rpUnknown);
  EXPECT_EQ(one(USBDevice(0x2E8A, 0x10000 + 0x000F, "rp2350 boot", "")), Observed::rpUnknown);
  EXPECT_EQ(one(USBDevice(0x303A, 0x11001, "", *kSerial)), Observed::none);
  EXPECT_EQ(one(USBDevice(0x1303A, 0x1001, "", *kSerial)), Observed::none);
  EXPECT_EQ(one(USBDevice(-0x2E8A, 0x0009, "pico", "")), Observed::none);
}

TEST_F(ClassificationTest, OneBoardAmongUnrelatedDevicesGivesItsOwnState) {
  EXPECT_EQ(observed({keyboard(), rp(0x000F, "RP2350 Boot"), hub()}, kSerial), Observed::rpBoot);
  EXPECT_EQ(observed({hub(), keyboard(), c6("F4:12:FA:00:11:22")}, kSerial), Observed::c6Unknown);
}

TEST_F(ClassificationTest, TwoOrMoreCandidatesAreMultipleWhateverTheirStates) {
  EXPECT_EQ(observed({c6("F4:12:FA:00:11:22"), rp(0x0009, "pico")}, kSerial), Observed::multiple);
  EXPECT_EQ(observed({rp(0x000F, "RP2350 Boot"), rp(0x000F, "RP2350 Boot")}, kSerial),
            Observed::multiple);
  EXPECT_EQ(observed({c6("other"), c6("another")}, kNoSerial), Observed::multiple);
  EXPECT_EQ(observed({rp(0x0003, ""), keyboard(), rp(0x0004, "")}, kSerial), Observed::multiple);
}

TEST_F(ClassificationTest, DeviceOrderNeverChangesTheResult) {
  const std::vector<std::vector<USBDevice>> lists = {
      {keyboard(), rp(0x0009, "pico"), hub()},
      {c6("f4:12:fa:00:11:22"), keyboard(), rp(0x000F, "rp2350 boot")},
      {hub(), c6("x"), keyboard()},
  };
  for (std::vector<USBDevice> devices : lists) {
    const Observed first = observed(devices, kSerial);
    std::vector<std::size_t> order(devices.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    while (std::next_permutation(order.begin(), order.end())) {
      std::vector<USBDevice> permuted;
      for (std::size_t i : order) permuted.push_back(devices[i]);
      EXPECT_EQ(observed(permuted, kSerial), first);
    }
  }
}

}  // namespace
}  // namespace vantorel
