#include "core/observed.h"

namespace vantorel {

std::string_view shortLabel(Observed observed) {
  switch (observed) {
    case Observed::none:
      return "none";
    case Observed::c6Unknown:
      return "C6 unknown mode";
    case Observed::espUnknown:
      return "ESP unknown";
    case Observed::rpBoot:
      return "RP likely boot";
    case Observed::rpNormal:
      return "RP likely app";
    case Observed::rpUnknown:
      return "RP unknown";
    case Observed::multiple:
      return "multiple";
  }
  return "none";
}

// The separator is the middle dot U+00B7, spelled as UTF-8 bytes so the source encoding can
// never change it.
std::string_view detail(Observed observed) {
  switch (observed) {
    case Observed::none:
      return "No matching USB device";
    case Observed::c6Unknown:
      return "C6 USB present \xC2\xB7 boot/application unknown";
    case Observed::espUnknown:
      return "ESP USB present \xC2\xB7 identity and mode unknown";
    case Observed::rpBoot:
      return "RP bootloader USB descriptor \xC2\xB7 identity unverified";
    case Observed::rpNormal:
      return "RP application USB descriptor \xC2\xB7 identity unverified";
    case Observed::rpUnknown:
      return "Raspberry Pi USB present \xC2\xB7 mode unknown";
    case Observed::multiple:
      return "Multiple matching USB devices \xC2\xB7 check identity";
  }
  return "No matching USB device";
}

}  // namespace vantorel
