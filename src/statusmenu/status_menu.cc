#include "statusmenu/status_menu.h"

#include "monitor/monitor.h"

namespace vantorel {

StatusTexts statusTexts(Desired desired, Observed state, bool watcherFailed) {
  const std::string wanted(rawValue(desired));
  const std::string have = watcherFailed ? "watch error" : std::string(shortLabel(state));
  StatusTexts texts;
  texts.observedText = watcherFailed ? "USB watcher unavailable" : std::string(detail(state));
  texts.title = "Want " + wanted + " | Have " + have;
  texts.toolTip = "Desired: " + wanted + ". Observed: " + texts.observedText + ".";
  return texts;
}

Menu statusMenu(Desired desired, const std::string& observedText,
                const std::weak_ptr<MenuTarget>& target) {
  Menu menu;
  MenuItem info;
  info.title = "Observed: " + observedText;
  info.enabled = false;
  menu.items.push_back(info);
  menu.items.push_back(MenuItem::Separator());
  for (Desired choice : kAllDesired) {
    MenuItem entry;
    entry.title = "Want " + std::string(rawValue(choice));
    entry.action = MenuAction::kSelectDesired;
    entry.target = target;
    entry.representedObject = std::string(rawValue(choice));
    entry.checked = choice == desired;
    menu.items.push_back(entry);
  }
  menu.items.push_back(MenuItem::Separator());
  MenuItem quit;
  quit.title = "Quit";
  quit.action = MenuAction::kTerminate;
  quit.keyEquivalent = "q";
  menu.items.push_back(quit);
  return menu;
}

void Monitor::rebuild(bool watcherFailed) {
  const StatusTexts texts = statusTexts(desired, state, watcherFailed || watcherUnavailable);
  if (StatusButton* button = item->button()) button->setTitle(texts.title);
  if (StatusButton* button = item->button()) {
    button->setGreenTint(services_.clock.now() < greenUntil);
  }
  if (StatusButton* button = item->button()) button->setToolTip(texts.toolTip);
  if (StatusButton* button = item->button()) button->setAccessibilityLabel(button->toolTip());
  item->setMenu(statusMenu(desired, texts.observedText, weak_from_this()));
}

void Monitor::selectDesired(const MenuItem& sender) {
  const auto* raw = std::any_cast<std::string>(&sender.representedObject);
  if (raw == nullptr) return;
  const std::optional<Desired> choice = desiredFromRawValue(*raw);
  if (!choice) return;
  desired = *choice;
  // A store that cannot be written keeps the choice for this run; nothing else to do about it.
  (void)services_.preferences.setString(kDesiredKey, *raw);
  rebuild(false);
}

}  // namespace vantorel
