#include "core/status_view.h"

namespace vantorel {

StatusView statusView(Desired desired, std::optional<Observed> observed, bool tinted) {
  const std::string wanted(rawValue(desired));
  // Without a USB watch nothing is known of the boards: the error, never a stale or default state.
  const std::string have = observed ? std::string(shortLabel(*observed)) : "watch error";
  const std::string observedText =
      observed ? std::string(detail(*observed)) : "USB watcher unavailable";

  StatusView view;
  view.title = "Want " + wanted + " | Have " + have;
  view.tooltip = "Desired: " + wanted + ". Observed: " + observedText + ".";
  view.accessibility = view.tooltip;
  view.tinted = tinted;
  view.menu.push_back({MenuEntry::Kind::info, "Observed: " + observedText, false, {}});
  view.menu.push_back({MenuEntry::Kind::separator, "", false, {}});
  for (const Desired each : kAllDesired) {
    view.menu.push_back({MenuEntry::Kind::choice, "Want " + std::string(rawValue(each)),
                         each == desired, Choice::pick(each)});
  }
  view.menu.push_back({MenuEntry::Kind::separator, "", false, {}});
  view.menu.push_back({MenuEntry::Kind::choice, "Quit", false, Choice::quit()});
  return view;
}

}  // namespace vantorel
