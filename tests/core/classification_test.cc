// Given the attached devices and the expected C6 serial, we should name one board state, the same
// whichever order the devices are listed in.

#include "core/classification.h"

#include <gtest/gtest.h>

namespace vantorel {
namespace {

const std::string kSerial = "F4:12:FA:00:11:22";
USBDevice c6(std::string serial) { return {0x303A, 0x1001, "USB JTAG", serial}; }
USBDevice rp(std::int64_t product, std::string name) { return {0x2E8A, product, name, "E6"}; }
const USBDevice kKeyboard(0x046D, 0xC31C, "USB Keyboard", "");

TEST(ClassificationTest, DevicesGiveOneStateInEitherOrder) {
  struct Row {
    std::vector<USBDevice> devices;
    std::optional<std::string> c6Serial;
    Observed expected;
  } rows[] = {
      {{}, kSerial, Observed::none},
      {{kKeyboard, {0x303A, 0x1002, "ESP32-S3", kSerial}}, kSerial, Observed::none},
      // Raspberry Pi: the whole name in any letter case, tied to its product id.
      {{rp(0x000F, "rp2350 BOOT")}, kSerial, Observed::rpBoot},
      {{rp(0x0009, "PICO")}, kSerial, Observed::rpNormal},
      {{rp(0x0009, "Pico W")}, kSerial, Observed::rpUnknown},
      {{rp(0x000F, "pico")}, kSerial, Observed::rpUnknown},
      // C6: the serial alone, ignoring letter case but not spaces.
      {{c6("f4:12:fa:00:11:22")}, kSerial, Observed::c6Unknown},
      {{c6(kSerial + " ")}, kSerial, Observed::espUnknown},
      {{c6(kSerial)}, std::nullopt, Observed::espUnknown},
      {{c6("")}, "", Observed::espUnknown},
      // Ids are whole integers, never narrowed to 16 bits.
      {{{0x12E8A, 0x0009, "pico", ""}}, kSerial, Observed::none},
      {{{0x2E8A, 0x10009, "pico", ""}}, kSerial, Observed::rpUnknown},
      {{{0x303A, 0x11001, "", kSerial}}, kSerial, Observed::none},
      // One candidate among others gives its own state; two give `multiple`.
      {{kKeyboard, rp(0x000F, "RP2350 Boot")}, kSerial, Observed::rpBoot},
      {{c6(kSerial), kKeyboard, rp(0x0009, "pico")}, kSerial, Observed::multiple},
      {{c6("a"), c6("b")}, std::nullopt, Observed::multiple},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(shortLabel(row.expected));
    EXPECT_EQ(observed(row.devices, row.c6Serial), row.expected);
    EXPECT_EQ(observed({row.devices.rbegin(), row.devices.rend()}, row.c6Serial), row.expected);
  }
}

}  // namespace
}  // namespace vantorel
