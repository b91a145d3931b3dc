#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <memory>
#include <vector>

#include "core/status_view.h"
#include "glib/glib_handles.h"

namespace vantorel {

// The status item's GtkMenu, built once from the first menu model and afterwards changed in
// place: later models change entry titles and check marks only, since the menu's shape (the
// kinds of its entries and their order) never changes. Choices are drawn as check entries, the
// information entry is disabled, and "Quit" answers Ctrl+Q while the menu is open. The shortcut
// is drawn beside "Quit" in this menu only: a host that draws the menu itself (from the exported
// copy) never delivers the key, so it is not exported.
//
// Check entries always show the model's state: the toolkit flips a check entry whenever it is
// activated, and the menu flips it straight back, so only a new model moves a check mark. A
// choice reaches `onChoice` once per activation, on an idle moment of the main loop, never from
// inside the toolkit's signal.
class GtkStatusMenu {
 public:
  GtkStatusMenu(const std::vector<MenuEntry>& model, std::function<void(Choice)> onChoice);
  // Disconnects every entry from this object, drops pending choices and destroys the widgets.
  ~GtkStatusMenu();
  GtkStatusMenu(const GtkStatusMenu&) = delete;
  GtkStatusMenu& operator=(const GtkStatusMenu&) = delete;

  // Shows `model`, an update of the model the menu was built from.
  void update(const std::vector<MenuEntry>& model);

  GtkMenu* widget() const { return menu_.get(); }

 private:
  struct Entry {
    GtkStatusMenu* owner;
    MenuEntry model;
    GtkWidget* widget;
    bool restoring = false;  // true while the menu itself sets the check mark
  };

  GtkWidget* makeWidget(const MenuEntry& model);
  void setChecked(Entry& entry, bool checked);
  void deliverLater(Choice choice);
  static void onActivate(GtkMenuItem* widget, gpointer entry);
  static void onToggled(GtkCheckMenuItem* widget, gpointer entry);
  static gboolean onKeyPress(GtkWidget* menu, GdkEventKey* event, gpointer self);

  GObjectPtr<GtkMenu> menu_;
  std::function<void(Choice)> onChoice_;
  std::vector<std::unique_ptr<Entry>> entries_;  // one per model entry, separators included
  std::vector<Choice> pending_;
  SourceHandle delivery_;  // last: removed before anything it touches goes
};

}  // namespace vantorel
