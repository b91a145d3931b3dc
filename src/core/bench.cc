#include "core/bench.h"

#include <vector>

namespace vantorel {
namespace {

bool isHex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// The bytes of "xx<sep>xx<sep>..." with one separator from `separators` throughout; nothing
// when `serial` is not of that form.
std::optional<std::vector<std::string>> hexBytes(std::string_view serial,
                                                 std::string_view separators) {
  if (serial.size() < 2 || serial.size() % 3 != 2) return std::nullopt;
  const char separator = serial.size() > 2 ? serial[2] : ':';
  if (separators.find(separator) == std::string_view::npos) return std::nullopt;
  std::vector<std::string> bytes;
  for (std::size_t at = 0; at < serial.size(); at += 3) {
    if (!isHex(serial[at]) || !isHex(serial[at + 1])) return std::nullopt;
    if (at + 2 < serial.size() && serial[at + 2] != separator) return std::nullopt;
    bytes.emplace_back(serial.substr(at, 2));
  }
  return bytes;
}

}  // namespace

std::string_view sourceName(SerialSource source) {
  switch (source) {
    case SerialSource::bundle:
      return "bundle";
    case SerialSource::user:
      return "user";
    case SerialSource::none:
      break;
  }
  return "none";
}

std::string describeSerial(const Bench& bench) {
  const std::string value = bench.c6Serial && !bench.c6Serial->empty() ? *bench.c6Serial : "(none)";
  switch (bench.serialSource) {
    case SerialSource::bundle:
      return "Expected C6 serial: " + value + " (bundle: " + bench.serialFile + ")";
    case SerialSource::user:
      return "Expected C6 serial: " + value + " (user setting: " + bench.serialFile + ")";
    case SerialSource::none:
      break;
  }
  return "Expected C6 serial: none (set one with: vantorel serial set SERIAL)";
}

std::optional<std::string> macOfEui64(std::string_view serial) {
  const auto bytes = hexBytes(serial, ":-");
  if (!bytes || bytes->size() != 8 || upper((*bytes)[3][0]) != 'F' ||
      upper((*bytes)[3][1]) != 'F' || upper((*bytes)[4][0]) != 'F' ||
      upper((*bytes)[4][1]) != 'E') {
    return std::nullopt;
  }
  std::string mac;
  for (const std::size_t i : {0, 1, 2, 5, 6, 7}) {
    if (!mac.empty()) mac += ':';
    for (const char c : (*bytes)[i]) mac += upper(c);
  }
  return mac;
}

bool c6CouldReport(std::string_view serial) {
  const auto bytes = hexBytes(serial, ":");
  return bytes && bytes->size() == 6;
}

}  // namespace vantorel
