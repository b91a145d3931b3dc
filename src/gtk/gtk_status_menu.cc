#include "gtk/gtk_status_menu.h"

#include <utility>

namespace vantorel {

GtkStatusMenu::GtkStatusMenu(const std::vector<MenuEntry>& model,
                             std::function<void(Choice)> onChoice)
    : menu_(GTK_MENU(g_object_ref_sink(gtk_menu_new()))), onChoice_(std::move(onChoice)) {
  g_signal_connect(menu_.get(), "key-press-event", G_CALLBACK(onKeyPress), this);
  for (const MenuEntry& each : model) {
    GtkWidget* widget = makeWidget(each);
    gtk_menu_shell_append(GTK_MENU_SHELL(menu_.get()), widget);
    auto entry = std::make_unique<Entry>(Entry{this, each, widget});
    if (each.kind == MenuEntry::Kind::choice) {
      g_signal_connect(widget, "activate", G_CALLBACK(onActivate), entry.get());
      if (each.picksDesired()) {
        g_signal_connect(widget, "toggled", G_CALLBACK(onToggled), entry.get());
      }
    }
    entries_.push_back(std::move(entry));
  }
  gtk_widget_show_all(GTK_WIDGET(menu_.get()));
}

GtkStatusMenu::~GtkStatusMenu() {
  g_signal_handlers_disconnect_by_data(menu_.get(), this);
  for (const auto& entry : entries_)
    g_signal_handlers_disconnect_by_data(entry->widget, entry.get());
  gtk_widget_destroy(GTK_WIDGET(menu_.get()));
}

GtkWidget* GtkStatusMenu::makeWidget(const MenuEntry& model) {
  if (model.kind == MenuEntry::Kind::separator) return gtk_separator_menu_item_new();
  if (model.picksDesired()) {
    GtkWidget* widget = gtk_check_menu_item_new_with_label(model.title.c_str());
    // Before any handler is connected: the initial state is not an activation.
    gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(widget), model.checked);
    return widget;
  }
  GtkWidget* widget = gtk_menu_item_new_with_label(model.title.c_str());
  gtk_widget_set_sensitive(widget, model.kind == MenuEntry::Kind::choice);
  if (model.kind == MenuEntry::Kind::choice && model.choice.kind == Choice::Kind::quit) {
    // Drawn, not bound: a bound accelerator would be exported too (see onKeyPress).
    gtk_accel_label_set_accel(GTK_ACCEL_LABEL(gtk_bin_get_child(GTK_BIN(widget))), GDK_KEY_q,
                              GDK_CONTROL_MASK);
  }
  return widget;
}

void GtkStatusMenu::update(const std::vector<MenuEntry>& model) {
  for (std::size_t i = 0; i < model.size() && i < entries_.size(); ++i) {
    Entry& entry = *entries_[i];
    const MenuEntry& wanted = model[i];
    if (entry.model.kind != MenuEntry::Kind::separator && wanted.title != entry.model.title) {
      gtk_menu_item_set_label(GTK_MENU_ITEM(entry.widget), wanted.title.c_str());
    }
    const bool checked = entry.model.checked;
    entry.model = wanted;
    if (entry.model.picksDesired() && wanted.checked != checked) setChecked(entry, wanted.checked);
  }
}

void GtkStatusMenu::setChecked(Entry& entry, bool checked) {
  // Setting the mark activates the entry; that is not a choice.
  entry.restoring = true;
  gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(entry.widget), checked);
  entry.restoring = false;
}

void GtkStatusMenu::deliverLater(Choice choice) {
  pending_.push_back(choice);
  if (delivery_) return;
  delivery_ = addIdle([this] {
    delivery_.release();  // GLib removes the source once this returns
    // Copies: a choice may end the front end, and with it this menu.
    const std::vector<Choice> choices = std::exchange(pending_, {});
    const std::function<void(Choice)> onChoice = onChoice_;
    for (const Choice& each : choices) onChoice(each);
    return G_SOURCE_REMOVE;
  });
}

void GtkStatusMenu::onActivate(GtkMenuItem*, gpointer data) {
  auto* entry = static_cast<Entry*>(data);
  if (entry->restoring) return;
  entry->owner->deliverLater(entry->model.choice);
}

gboolean GtkStatusMenu::onKeyPress(GtkWidget* menu, GdkEventKey* event, gpointer data) {
  const bool control = (event->state & gtk_accelerator_get_default_mod_mask()) == GDK_CONTROL_MASK;
  if (!control || gdk_keyval_to_lower(event->keyval) != GDK_KEY_q) return FALSE;
  gtk_menu_shell_deactivate(GTK_MENU_SHELL(menu));
  static_cast<GtkStatusMenu*>(data)->deliverLater(Choice::quit());
  return TRUE;
}

void GtkStatusMenu::onToggled(GtkCheckMenuItem* widget, gpointer data) {
  auto* entry = static_cast<Entry*>(data);
  if (entry->restoring || gtk_check_menu_item_get_active(widget) == entry->model.checked) return;
  entry->owner->setChecked(*entry, entry->model.checked);
}

}  // namespace vantorel
