// Given the attached devices, the expected C6 serial and a person's rules, we should name one board
// state in either order: on real benches what a developer expects, without rules the built-in one.

#include "core/classification.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace vantorel;

const std::string kSerial = "F4:12:FA:00:11:22";
static USBDevice c6(std::string serial) { return {0x303A, 0x1001, "USB JTAG", serial}; }
static USBDevice rp(std::int64_t id, const char* name) { return {0x2E8A, id, name, "E6"}; }
const USBDevice kKeyboard(0x046D, 0xC31C, "USB Keyboard", "");

// The one rule a person would add about a Raspberry Pi product id.
static DeviceRule rule(std::int64_t product, RuleKind kind, std::optional<std::string> name = {}) {
  return {0x2E8A, product, std::move(name), kind};
}

TEST(ClassificationTest, DevicesAndRulesGiveOneStateInEitherOrder) {
  using enum Observed;
  using enum RuleKind;
  const USBDevice bootsel = rp(0x000F, "RP2350 Boot"), probe = rp(0x000C, "Debug Probe");
  const std::string pasted = "40:4c:ca:ff:fe:41:a9:ec", mac = "40:4C:CA:41:A9:EC";
  const DeviceRule pico2 = rule(0x000F, app, "Pico 2");
  // The devices, the expected C6 serial, the rules and the state they give.
  using Row = std::tuple<std::vector<USBDevice>, std::optional<std::string>, DeviceRules, Observed>;
  const Row rows[] = {
      {{}, kSerial, {}, none},
      {{kKeyboard, {0x303A, 0x1002, "ESP32-S3", kSerial}}, kSerial, {}, none},
      // Raspberry Pi: the whole name in any letter case, tied to its product id.
      {{rp(0x000F, "rp2350 BOOT")}, kSerial, {}, rpBoot},
      {{rp(0x0009, "PICO")}, kSerial, {}, rpNormal},
      {{rp(0x000F, "pico")}, kSerial, {}, rpUnknown},
      {{rp(0x0010, "Pi 500 Keyboard")}, kSerial, {}, rpUnknown},
      // C6: the serial alone, ignoring letter case but not spaces; an EUI-64 never matches.
      {{c6("f4:12:fa:00:11:22")}, kSerial, {}, c6Unknown},
      {{c6(kSerial + " ")}, kSerial, {}, espUnknown},
      {{c6(kSerial)}, std::nullopt, {}, espUnknown},
      {{c6("")}, "", {}, espUnknown},
      {{c6(mac)}, pasted, {}, espUnknown},
      // Ids are whole integers, never narrowed to 16 bits.
      {{{0x12E8A, 0x0009, "pico", ""}}, kSerial, {}, none},
      {{{0x2E8A, 0x10009, "pico", ""}}, kSerial, {}, rpUnknown},
      {{{0x303A, 0x11001, "", kSerial}}, kSerial, {}, none},
      // One candidate among others gives its own state; two give `multiple`.
      {{kKeyboard, rp(0x000F, "RP2350 Boot")}, kSerial, {}, rpBoot},
      {{c6(kSerial), kKeyboard, rp(0x0009, "pico")}, kSerial, {}, multiple},
      {{c6("a"), c6("b")}, std::nullopt, {}, multiple},
      {{bootsel, probe}, {}, {}, multiple},
      // Benches with the rules a person adds: a probe ignored, a Pi 500's keyboard ignored,
      // MicroPython's product taken as an app, the serial stored as a MAC.
      {{bootsel, probe}, {}, {rule(0x000C, ignore)}, rpBoot},
      {{probe, rp(0x0009, "Pico")}, {}, {rule(0x000C, ignore)}, rpNormal},
      {{rp(0x0010, "Pi 500 Keyboard")}, {}, {rule(0x0010, ignore)}, none},
      {{rp(0x0005, "Board in FS mode")}, {}, {rule(0x0005, app)}, rpNormal},
      {{c6(mac)}, macOfEui64(pasted), {}, c6Unknown},
      // arduino-pico: the bootloader's ids with another name; the named rule leaves the
      // bootloader as it is.
      {{rp(0x000F, "pico 2")}, {}, {pico2}, rpNormal},
      {{bootsel}, {}, {pico2}, rpBoot},
      // A rule with the name wins over one without, whichever comes first.
      {{bootsel}, {}, {rule(0x000F, ignore), rule(0x000F, boot, "rp2350 BOOT")}, rpBoot},
  };
  for (int number = 0; const auto& [attached, serial, rules, expected] : rows) {
    SCOPED_TRACE(number++);
    for (std::vector<USBDevice> devices = attached; const bool reversed : {false, true}) {
      if (reversed) std::ranges::reverse(devices);
      EXPECT_EQ(observed(devices, Bench{serial, SerialSource::user, "", rules}), expected);
      if (rules.empty()) {
        EXPECT_EQ(observed(devices, serial), expected);
      }
    }
  }
}

TEST(ClassificationTest, RuleIdsAndSerialFormsAreReadExactly) {
  // Each text and its vendor << 16 | product, or -1: refused.
  const std::pair<const char*, std::int64_t> ids[] = {
      {"2e8a:000C", 0x2E8A000C}, {"2E8A:000c", 0x2E8A000C}, {"2e8a:00c", -1},  {"2e8a:0x0c", -1},
      {"2e8a-000c", -1},         {" 2e8a:000c", -1},        {"2e8a:000cc", -1}};
  for (const auto& [text, both] : ids) {
    const auto parsed = parseIds(text);
    EXPECT_EQ(parsed ? parsed->first << 16 | parsed->second : -1, both) << text;
  }
  EXPECT_EQ(ruleWords(rule(0x0005, RuleKind::app, "Say \"hi\" $x")),
            R"(2e8a:0005 app --name "Say \"hi\" \$x")");
  // Each serial, the MAC an EUI-64 is refused with, and whether a C6 could report it.
  const std::tuple<const char*, const char*, bool> serials[] = {
      {"40:4c:ca:ff:fe:41:a9:ec", "40:4C:CA:41:A9:EC", false},
      {"40-4C-CA-FF-FE-41-A9-EC", "40:4C:CA:41:A9:EC", false},
      {"40:4c:ca:ff:fd:41:a9:ec", nullptr, false},
      {"40:4c:ca:ff:fe:41:a9", nullptr, false},
      {"40:4C:CA:41:A9:EC", nullptr, true},
      {"40:4C:CA:41:A9-EC", nullptr, false},
      {"404CCA41A9EC", nullptr, false}};
  for (const auto& [text, mac, plausible] : serials) {
    EXPECT_EQ(macOfEui64(text), mac ? std::optional<std::string>(mac) : std::nullopt) << text;
    EXPECT_EQ(c6CouldReport(text), plausible) << text;
  }
}
