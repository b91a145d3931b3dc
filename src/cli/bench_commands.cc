#include "cli/bench_commands.h"

#include <nlohmann/json.hpp>
#include <vector>

#include "cli/commands.h"
#include "core/classification.h"
#include "core/visible_text.h"

namespace vantorel {
namespace {

int failed(BenchContext& context, const std::string& message, int status = kExitUsageOrIo) {
  context.err << "vantorel: " << message << "\n";
  return status;
}

Preferences readReporting(BenchContext& context) {
  Preferences preferences = context.file.read();
  for (const std::string& problem : preferences.problems) {
    context.err << "vantorel: " << context.file.path() << ": " << problem << "\n";
  }
  return preferences;
}

}  // namespace

int addRule(BenchContext& context, const DeviceRule& rule) {
  const Status stored =
      context.file.update([&rule](nlohmann::json& object) { return storeRule(object, rule); });
  if (!stored.ok()) return failed(context, stored.message());
  context.out << ruleWords(rule) << "\n";
  return kExitDone;
}

int removeDeviceRule(BenchContext& context, const DeviceRule& rule) {
  bool missing = false;
  const Status dropped = context.file.update([&rule, &missing](nlohmann::json& object) {
    Status none = dropRule(object, rule);
    missing = !none.ok();
    return none;
  });
  if (!dropped.ok())
    return failed(context, dropped.message(), missing ? kExitNotMet : kExitUsageOrIo);
  return kExitDone;
}

int listRules(BenchContext& context, bool json) {
  const Preferences preferences = readReporting(context);
  if (!json) {
    for (const DeviceRule& rule : preferences.rules) context.out << ruleWords(rule) << "\n";
    return kExitDone;
  }
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const DeviceRule& rule : preferences.rules) {
    nlohmann::ordered_json entry{{"ids", idsText(rule.vendor, rule.product)},
                                 {"kind", kindName(rule.kind)}};
    if (rule.name) entry["name"] = *rule.name;
    list.push_back(entry);
  }
  context.out << list.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
  return kExitDone;
}

int setSerial(BenchContext& context, const std::optional<std::string>& serial) {
  if (serial && serial->empty()) {
    return failed(context, "the serial must not be empty; `vantorel serial clear` removes it");
  }
  if (const auto mac = serial ? macOfEui64(*serial) : std::nullopt) {
    return failed(context, *serial +
                               " is the 8-byte EUI-64 form of a MAC; USB reports the 6 bytes: " +
                               "vantorel serial set " + *mac);
  }
  if (const Status stored = context.file.update(
          [&serial](nlohmann::json& object) { return storeC6Serial(object, serial); });
      !stored.ok()) {
    return failed(context, stored.message());
  }
  if (serial && !c6CouldReport(*serial)) {
    context.err << "vantorel: stored, but no ESP32-C6 reports a serial like " << *serial
                << ": it reports its MAC as six hex bytes, like F4:12:FA:00:11:22\n";
  }
  const Bench now = benchOf(context.bundle, readReporting(context), context.file.path());
  context.out << describeSerial(now) << "\n";
  if (serial && now.serialSource == SerialSource::bundle && now.c6Serial != serial &&
      !now.c6Serial->empty()) {
    context.err
        << "vantorel: stored, but this program's bundle names a serial, and that one wins\n";
  }
  return kExitDone;
}

int setSerialFromAttached(BenchContext& context) {
  const auto devices = context.usb.devices();
  if (!devices) return failed(context, "USB devices cannot be enumerated");
  std::vector<const USBDevice*> boards;
  for (const USBDevice& device : *devices) {
    if (device.vendor() == kEspressifVendor && device.product() == kEspressifC6Product) {
      boards.push_back(&device);
    }
  }
  if (boards.size() != 1 || boards.front()->serial().empty()) {
    context.err << "vantorel: changed nothing: "
                << (boards.empty()      ? "no ESP32-C6 (303a:1001) is attached"
                    : boards.size() > 1 ? "several ESP32-C6 (303a:1001) are attached"
                                        : "the ESP32-C6 attached reports no serial")
                << "\n";
    for (const USBDevice* board : boards) {
      context.err << "  303a:1001 " << visibleText(board->name()) << " serial "
                  << (board->serial().empty() ? "(none)" : visibleText(board->serial())) << "\n";
    }
    return kExitNotMet;
  }
  return setSerial(context, boards.front()->serial());
}

}  // namespace vantorel
