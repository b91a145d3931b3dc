// Given the attached devices and the expected C6 serial, we should name one board state, the same
// whichever order the devices are listed in; on real benches a person's rules (and the serial as
// they would store it) give what a developer expects, and without them exactly the built-in
// label.

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

// The one rule a person would add about a Raspberry Pi product id.
DeviceRules rule(std::int64_t product, RuleKind kind, std::optional<std::string> name = {}) {
  return {{0x2E8A, product, std::move(name), kind}};
}

TEST(ClassificationTest, BenchesGiveWhatTheDeveloperExpectsWithRulesAndTodaysLabelWithout) {
  using enum Observed;
  using enum RuleKind;
  const USBDevice bootsel = rp(0x000F, "RP2350 Boot"), running = rp(0x0009, "Pico");
  const USBDevice probe = rp(0x000C, "Debug Probe (CMSIS-DAP)");
  const std::string pasted = "40:4c:ca:ff:fe:41:a9:ec", mac = "40:4C:CA:41:A9:EC";
  const DeviceRules pico2 = rule(0x000F, app, "Pico 2"), named = rule(0x000F, boot, "rp2350 BOOT");
  struct Row {
    const char* bench;
    std::vector<USBDevice> devices;
    DeviceRules rules;
    std::optional<std::string> serial;  // the person's, as stored: for the pasted EUI-64 its MAC
    Observed today, expected;
  } rows[] = {
      {"BOOTSEL + probe", {bootsel, probe}, rule(0x000C, ignore), {}, multiple, rpBoot},
      {"app + probe", {probe, running}, rule(0x000C, ignore), {}, multiple, rpNormal},
      {"Pi 500", {rp(0x0010, "Pi 500 Keyboard")}, rule(0x0010, ignore), {}, rpUnknown, none},
      {"MicroPython", {rp(0x0005, "Board in FS mode")}, rule(0x0005, app), {}, rpUnknown, rpNormal},
      // The bootloader's ids with another name: the named rule leaves the bootloader as it is.
      {"arduino-pico", {rp(0x000F, "pico 2")}, pico2, {}, rpUnknown, rpNormal},
      {"its bootloader", {bootsel}, pico2, {}, rpBoot, rpBoot},
      {"EUI-64 serial", {c6(mac)}, {}, macOfEui64(pasted), espUnknown, c6Unknown},
      {"two C6", {c6(kSerial), c6(mac)}, {}, kSerial, multiple, multiple},
      // A rule with the name wins over one without, whichever comes first.
      {"named wins", {bootsel}, {rule(0x000F, ignore)[0], named[0]}, {}, rpBoot, rpBoot},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.bench);
    const std::optional<std::string> before = row.serial ? std::optional(pasted) : std::nullopt;
    EXPECT_EQ(observed(row.devices, Bench{before, SerialSource::user, "", {}}), row.today);
    EXPECT_EQ(observed(row.devices, before), row.today);
    const Bench bench{row.serial, SerialSource::user, "", row.rules};
    EXPECT_EQ(observed(row.devices, bench), row.expected);
    EXPECT_EQ(observed({row.devices.rbegin(), row.devices.rend()}, bench), row.expected);
  }
}

TEST(ClassificationTest, RuleIdsAndSerialFormsAreReadExactly) {
  struct Ids {
    const char* text;
    std::int64_t both;  // vendor << 16 | product, or -1: refused
  } ids[] = {{"2e8a:000C", 0x2E8A000C}, {"2E8A:000c", 0x2E8A000C}, {"2e8a:00c", -1},
             {"2e8a:0x0c", -1},         {"2e8a-000c", -1},         {" 2e8a:000c", -1},
             {"2e8a:000cc", -1}};
  for (const Ids& each : ids) {
    const auto parsed = parseIds(each.text);
    EXPECT_EQ(parsed ? parsed->first << 16 | parsed->second : -1, each.both) << each.text;
  }
  EXPECT_EQ(ruleWords(rule(0x0005, RuleKind::app, "Say \"hi\" $x")[0]),
            R"(2e8a:0005 app --name "Say \"hi\" \$x")");
  struct Serial {
    const char* text;
    const char* mac;  // what an EUI-64 is refused with
    bool plausible;
  } serials[] = {{"40:4c:ca:ff:fe:41:a9:ec", "40:4C:CA:41:A9:EC", false},
                 {"40-4C-CA-FF-FE-41-A9-EC", "40:4C:CA:41:A9:EC", false},
                 {"40:4c:ca:ff:fd:41:a9:ec", nullptr, false},
                 {"40:4c:ca:ff:fe:41:a9", nullptr, false},
                 {"40:4C:CA:41:A9:EC", nullptr, true},
                 {"40:4C:CA:41:A9-EC", nullptr, false},
                 {"404CCA41A9EC", nullptr, false}};
  for (const Serial& each : serials) {
    EXPECT_EQ(macOfEui64(each.text), each.mac ? std::optional<std::string>(each.mac) : std::nullopt)
        << each.text;
    EXPECT_EQ(c6CouldReport(each.text), each.plausible) << each.text;
  }
}

}  // namespace
}  // namespace vantorel
