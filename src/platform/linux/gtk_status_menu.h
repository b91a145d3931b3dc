#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <memory>
#include <vector>

#include "platform/menu.h"

namespace vantorel {

// A GtkMenu drawn from a menu model: disabled entries greyed, check entries for checked or
// checkable entries, separators, and a key equivalent as Ctrl+<key>.
//
// Check entries always show the model's state. The toolkit flips a check entry whenever it is
// activated; the menu flips it straight back, so only a new model can move a check mark.
// `onChosen` receives the model entry once per activation, from inside the toolkit's signal: the
// receiver must defer anything that replaces or destroys this menu.
class GtkStatusMenu {
 public:
  using ChosenHandler = std::function<void(const MenuItem&)>;

  GtkStatusMenu(const Menu& menu, ChosenHandler onChosen);
  // Disconnects every entry from this object, then destroys the widgets.
  ~GtkStatusMenu();
  GtkStatusMenu(const GtkStatusMenu&) = delete;
  GtkStatusMenu& operator=(const GtkStatusMenu&) = delete;

  GtkMenu* widget() const { return menu_; }

 private:
  struct Entry {
    GtkStatusMenu* owner;
    MenuItem model;
    GtkWidget* widget;
    bool restoring = false;  // true while the menu itself sets the check mark back
  };

  GtkWidget* makeWidget(const MenuItem& model);
  static void onActivate(GtkMenuItem* widget, gpointer entry);
  static void onToggled(GtkCheckMenuItem* widget, gpointer entry);

  GtkMenu* menu_;  // one reference held by this object
  GtkAccelGroup* accelGroup_;
  ChosenHandler onChosen_;
  std::vector<std::unique_ptr<Entry>> entries_;
};

}  // namespace vantorel
