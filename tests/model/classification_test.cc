// Given the attached devices and the expected C6 serial, we should name one board state, the same
// for every order of the devices.

#include "model/classification.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <vector>

namespace vantorel {
namespace {

const std::string kSerial = "F4:12:FA:00:11:22";

USBDevice c6(std::string serial, std::string name = "USB JTAG/serial debug unit") {
  return USBDevice(0x303A, 0x1001, std::move(name), std::move(serial));
}
USBDevice rp(std::int64_t product, std::string name, std::string serial = "E6614C311B") {
  return USBDevice(0x2E8A, product, std::move(name), std::move(serial));
}
const USBDevice kKeyboard(0x046D, 0xC31C, "USB Keyboard", "");
const USBDevice kHub(0x1D6B, 0x0002, "xHCI Host Controller", "0000:00:14.0");

TEST(ClassificationTest, DevicesGiveOneStateWhateverTheirOrder) {
  struct Row {
    std::vector<USBDevice> devices;
    std::optional<std::string> c6Serial;
    Observed expected;
  };
  const std::vector<Row> rows = {
      {{}, kSerial, Observed::none},
      {{kKeyboard, kHub, USBDevice(0x303A, 0x1002, "ESP32-S3", kSerial)}, kSerial, Observed::none},
      // Raspberry Pi: the whole lower-cased name, tied to its product id; the serial plays no part.
      {{rp(0x000F, "RP2350 Boot")}, kSerial, Observed::rpBoot},
      {{rp(0x000F, "rp2350 BOOT", kSerial)}, kSerial, Observed::rpBoot},
      {{rp(0x0009, "PICO", "")}, kSerial, Observed::rpNormal},
      {{rp(0x0009, "Pico W")}, kSerial, Observed::rpUnknown},
      {{rp(0x0009, "my pico")}, kSerial, Observed::rpUnknown},
      {{rp(0x0009, " pico")}, kSerial, Observed::rpUnknown},
      {{rp(0x000F, "RP2350 Boot ")}, kSerial, Observed::rpUnknown},
      {{rp(0x000F, "RP2350Boot")}, kSerial, Observed::rpUnknown},
      {{rp(0x000F, "pico")}, kSerial, Observed::rpUnknown},
      {{rp(0x0009, "RP2350 Boot")}, kSerial, Observed::rpUnknown},
      // C6: the serial alone, ignoring letter case but not spaces; the name is not looked at.
      {{c6(kSerial)}, kSerial, Observed::c6Unknown},
      {{c6("f4:12:fa:00:11:22", "")}, kSerial, Observed::c6Unknown},
      {{c6(kSerial)}, "f4:12:fa:00:11:22", Observed::c6Unknown},
      {{c6("F4:12:FA:00:11:23")}, kSerial, Observed::espUnknown},
      {{c6(kSerial + " ")}, kSerial, Observed::espUnknown},
      {{c6(" " + kSerial)}, kSerial, Observed::espUnknown},
      {{c6("")}, kSerial, Observed::espUnknown},
      {{c6(kSerial)}, std::nullopt, Observed::espUnknown},
      {{c6("")}, "", Observed::espUnknown},
      // Ids are whole integers, never narrowed to 16 bits.
      {{USBDevice(0x12E8A, 0x0009, "pico", "")}, kSerial, Observed::none},
      {{USBDevice(0x2E8A, 0x10009, "pico", "")}, kSerial, Observed::rpUnknown},
      {{USBDevice(0x1303A, 0x1001, "", kSerial)}, kSerial, Observed::none},
      {{USBDevice(0x303A, 0x11001, "", kSerial)}, kSerial, Observed::none},
      // One candidate gives its own state; two or more give `multiple`.
      {{kKeyboard, rp(0x000F, "RP2350 Boot"), kHub}, kSerial, Observed::rpBoot},
      {{kHub, kKeyboard, c6(kSerial)}, kSerial, Observed::c6Unknown},
      {{c6(kSerial), rp(0x0009, "pico")}, kSerial, Observed::multiple},
      {{rp(0x000F, "RP2350 Boot"), rp(0x000F, "RP2350 Boot")}, kSerial, Observed::multiple},
      {{c6("other"), c6("another")}, std::nullopt, Observed::multiple},
      {{rp(0x0003, ""), kKeyboard, rp(0x0004, "")}, kSerial, Observed::multiple},
  };
  for (std::size_t r = 0; r < rows.size(); ++r) {
    SCOPED_TRACE("row " + std::to_string(r));
    const Row& row = rows[r];
    std::vector<std::size_t> order(row.devices.size());
    std::iota(order.begin(), order.end(), 0);
    do {
      std::vector<USBDevice> devices;
      for (std::size_t i : order) devices.push_back(row.devices[i]);
      EXPECT_EQ(observed(devices, row.c6Serial), row.expected);
    } while (std::next_permutation(order.begin(), order.end()));
  }
}

}  // namespace
}  // namespace vantorel
