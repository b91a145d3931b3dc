#include "core/board_names.h"

#include "core/device_rules.h"

namespace vantorel {
namespace {

// Lower-cased ASCII with hyphens read as spaces: the form both sides are compared in.
std::string comparable(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    c = c == '-' ? ' ' : lowerAscii(c);
  }
  return out;
}

}  // namespace

std::optional<Observed> observedFromName(std::string_view name) {
  const std::string wanted = comparable(name);
  for (const Observed each : kAllObserved) {
    if (comparable(shortLabel(each)) == wanted) return each;
  }
  return std::nullopt;
}

std::string observedNames() {
  std::string out;
  for (const Observed each : kAllObserved) {
    if (!out.empty()) out += ", ";
    out += "\"" + std::string(shortLabel(each)) + "\"";
  }
  return out;
}

}  // namespace vantorel
