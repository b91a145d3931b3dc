#include "cli/status_report.h"

#include <nlohmann/json.hpp>

#include "core/classification.h"
#include "core/status_view.h"
#include "core/visible_text.h"

namespace vantorel {
namespace {

constexpr const char* kBuiltIn = "built-in";
constexpr const char* kLeftOut = "left out";

// The devices some rule is about, each with what decided it.
std::vector<std::pair<const USBDevice*, Verdict>> judged(const std::vector<USBDevice>& devices,
                                                         const Bench& bench) {
  std::vector<std::pair<const USBDevice*, Verdict>> out;
  for (const USBDevice& device : devices) {
    const Verdict verdict = judge(device, bench);
    if (verdict.state || verdict.rule) out.emplace_back(&device, verdict);
  }
  return out;
}

// "2e8a:000c Debug Probe (CMSIS-DAP)", with the serial when there is one; their controls shown,
// so a descriptor can neither act on the terminal nor reorder the line.
std::string deviceText(const USBDevice& device) {
  std::string text = idsText(device.vendor(), device.product()) + " " +
                     (device.name().empty() ? "(no name)" : visibleText(device.name()));
  if (!device.serial().empty()) text += " (serial " + visibleText(device.serial()) + ")";
  return text;
}

std::string ruleText(const Verdict& verdict) {
  return verdict.state ? std::string(shortLabel(*verdict.state)) : kLeftOut;
}

// The command that would change what `verdict` made of `device`, one of the candidates that made
// the state `state` ("multiple" or "RP unknown").
std::string changeHint(const USBDevice& device, const Verdict& verdict, Observed state) {
  const std::string ids = idsText(device.vendor(), device.product());
  if (verdict.rule) {
    return "counts as a board by your rule: `vantorel rule remove " + removalWords(*verdict.rule) +
           "` removes it";
  }
  if (state == Observed::rpUnknown) {
    return "is a Raspberry Pi device in an unknown mode: `vantorel rule add " + ids +
           " app` (or `boot`) counts it as the board, `vantorel rule add " + ids +
           " ignore` leaves it out";
  }
  return "counts as a board: `vantorel rule add " + ids + " ignore` leaves it out";
}

}  // namespace

std::string statusReport(Desired wanted, const std::vector<USBDevice>& devices,
                         const Bench& bench) {
  using Object = nlohmann::ordered_json;
  const Observed state = observed(devices, bench);
  Object report{{"wanted", rawValue(wanted)},
                {"observed", Object{{"label", shortLabel(state)}, {"description", detail(state)}}},
                {"devices", Object::array()}};
  for (const auto& [device, verdict] : judged(devices, bench)) {
    report["devices"].push_back(
        Object{{"vendor", idsText(device->vendor(), device->product()).substr(0, 4)},
               {"product", idsText(device->vendor(), device->product()).substr(5)},
               {"name", device->name()},
               {"serial", device->serial()},
               {"rule", ruleText(verdict)},
               {"decided_by", verdict.rule ? ruleWords(*verdict.rule) : kBuiltIn}});
  }
  report["c6_serial"] = Object{{"value", bench.c6Serial ? Object(*bench.c6Serial) : Object()},
                               {"source", sourceName(bench.serialSource)},
                               {"file", bench.serialFile}};
  return report.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

std::string statusText(Desired wanted, const std::vector<USBDevice>& devices, const Bench& bench) {
  const Observed state = observed(devices, bench);
  std::string text = statusView(wanted, state, false).title + "\n";
  const auto seen = judged(devices, bench);
  for (const auto& [device, verdict] : seen) {
    text += "  " + deviceText(*device) + ": " + ruleText(verdict) + ", by " +
            (verdict.rule ? "your rule `" + ruleWords(*verdict.rule) + "`"
                          : std::string("the built-in rules")) +
            "\n";
  }
  if (state == Observed::multiple || state == Observed::rpUnknown) {
    text += "\"" + std::string(shortLabel(state)) + "\" because of:\n";
    for (const auto& [device, verdict] : seen) {
      if (verdict.state)
        text += "  " + deviceText(*device) + " " + changeHint(*device, verdict, state) + "\n";
    }
  }
  return text + describeSerial(bench) + "\n";
}

}  // namespace vantorel
