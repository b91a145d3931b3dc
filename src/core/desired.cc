#include "core/desired.h"

namespace vantorel {

std::string_view rawValue(Desired desired) {
  switch (desired) {
    case Desired::c6Boot:
      return "C6 boot";
    case Desired::c6Normal:
      return "C6 normal";
    case Desired::rpBoot:
      return "RP boot";
    case Desired::rpNormal:
      return "RP normal";
  }
  return "C6 boot";
}

std::optional<Desired> desiredFromRawValue(std::string_view raw) {
  for (Desired desired : kAllDesired) {
    if (rawValue(desired) == raw) return desired;
  }
  return std::nullopt;
}

}  // namespace vantorel
