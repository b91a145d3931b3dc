// Given preferences.json in a fresh folder and fake USB, we should store and remove rules and the
// serial as the commands promise, refuse the EUI-64 form with the form USB reports, and take the
// serial from the attached board only when exactly one ESP32-C6 with a serial is there.

#include "cli/bench_commands.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "cli/commands.h"
#include "fakes/fake_ports.h"
#include "linux/temp_folder.h"

using namespace vantorel;

namespace {

USBDevice c6(std::string serial) {
  return USBDevice(0x303a, 0x1001, "USB JTAG/serial debug unit", std::move(serial));
}

class BenchCommandsTest : public ::testing::Test {
 protected:
  std::string stored() { return file.text().value_or("(none)"); }

  TempFolder temp;
  const PreferencesFile file{temp.path / "config"};
  const Bundle bundle = Bundle::at(temp.path / "bundle");
  FakeUsbWatch usb;
  std::ostringstream out, err;
  BenchContext context{file, bundle, usb, out, err};
};

TEST_F(BenchCommandsTest, RulesAreAddedReplacedListedAndRemoved) {
  const DeviceRule probe{0x2e8a, 0x000c, {}, RuleKind::ignore};
  const DeviceRule named{0x2e8a, 0x0005, "FS", RuleKind::app};
  for (const DeviceRule& rule : {probe, named, DeviceRule{0x2e8a, 0x000c, {}, RuleKind::boot}})
    EXPECT_EQ(addRule(context, rule), kExitDone);
  EXPECT_EQ(listRules(context, false), kExitDone);
  EXPECT_EQ(listRules(context, true), kExitDone);
  EXPECT_EQ(out.str(),
            "2e8a:000c ignore\n2e8a:0005 app --name \"FS\"\n2e8a:000c boot\n"  // as added
            "2e8a:000c boot\n2e8a:0005 app --name \"FS\"\n"
            R"([{"ids":"2e8a:000c","kind":"boot"},{"ids":"2e8a:0005","kind":"app","name":"FS"}])"
            "\n");
  EXPECT_EQ(removeDeviceRule(context, probe), kExitDone);
  EXPECT_EQ(removeDeviceRule(context, probe), kExitNotMet);
  EXPECT_EQ(file.read().rules, DeviceRules{named});
}

TEST_F(BenchCommandsTest, ACorruptFileIsNamedAndNotOverwritten) {
  std::filesystem::create_directories(temp.path / "config");
  std::ofstream(file.path()) << "[1]";
  EXPECT_EQ(addRule(context, DeviceRule{1, 2, {}, RuleKind::ignore}), kExitUsageOrIo);
  EXPECT_EQ(setSerial(context, "F4:12:FA:00:11:22"), kExitUsageOrIo);
  EXPECT_EQ(stored(), "[1]");
  EXPECT_EQ(out.str(), "");
}

TEST_F(BenchCommandsTest, SetSerialStoresWarnsOrRefuses) {
  const std::string where = " (user setting: " + file.path() + ")\n";
  const std::tuple<std::optional<std::string>, int, std::string, std::string> cases[] = {
      {"F4:12:FA:00:11:22", kExitDone, "Expected C6 serial: F4:12:FA:00:11:22" + where, ""},
      {"40:4c:ca:ff:fe:41:a9:ec", kExitUsageOrIo, "",
       "vantorel: 40:4c:ca:ff:fe:41:a9:ec is the 8-byte EUI-64 form of a MAC; USB reports the 6 "
       "bytes: vantorel serial set 40:4C:CA:41:A9:EC\n"},
      {"", kExitUsageOrIo, "",
       "vantorel: the serial must not be empty; `vantorel serial clear` removes it\n"},
      {"board-7", kExitDone, "Expected C6 serial: board-7" + where,
       "vantorel: stored, but no ESP32-C6 reports a serial like board-7: it reports its MAC as "
       "six hex bytes, like F4:12:FA:00:11:22\n"},
      {std::nullopt, kExitDone,
       "Expected C6 serial: none (set one with: vantorel serial set SERIAL)\n", ""},
  };
  for (const auto& [serial, status, printed, warned] : cases) {
    SCOPED_TRACE(serial.value_or("(clear)"));
    out.str(""), err.str("");
    const std::string before = stored();
    EXPECT_EQ(setSerial(context, serial), status);
    EXPECT_EQ(out.str(), printed);
    EXPECT_EQ(err.str(), warned);
    if (status != kExitDone) {
      EXPECT_EQ(stored(), before);
    }
  }
}

TEST_F(BenchCommandsTest, TheAttachedSerialIsTakenOnlyFromExactlyOneC6) {
  using Attached = std::optional<std::vector<USBDevice>>;
  const std::tuple<Attached, int, std::string> cases[] = {
      {std::vector<USBDevice>{}, kExitNotMet,
       "vantorel: changed nothing: no ESP32-C6 (303a:1001) is attached\n"},
      {std::vector{c6("A"), c6("B\x1b")}, kExitNotMet,
       "vantorel: changed nothing: several ESP32-C6 (303a:1001) are attached\n"
       "  303a:1001 USB JTAG/serial debug unit serial A\n"
       "  303a:1001 USB JTAG/serial debug unit serial B^[\n"},
      {std::vector{c6("")}, kExitNotMet,
       "vantorel: changed nothing: the ESP32-C6 attached reports no serial\n"
       "  303a:1001 USB JTAG/serial debug unit serial (none)\n"},
      {std::nullopt, kExitUsageOrIo, "vantorel: USB devices cannot be enumerated\n"},
      {std::vector{USBDevice(0x2e8a, 0x000f, "", ""), c6("40:4C:CA:41:A9:EC")}, kExitDone, ""},
  };
  for (const auto& [attached, status, warned] : cases) {
    err.str(""), usb.attached = attached;
    EXPECT_EQ(setSerialFromAttached(context), status);
    EXPECT_EQ(err.str(), warned);
    EXPECT_EQ(file.read().c6Serial,
              status == kExitDone ? "40:4C:CA:41:A9:EC" : std::optional<std::string>());
  }
}

}  // namespace
