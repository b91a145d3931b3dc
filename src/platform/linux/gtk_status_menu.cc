#include "platform/linux/gtk_status_menu.h"

namespace vantorel {
namespace {

// An entry that is checked, or that carries a value to choose, belongs to a group of choices and
// is drawn with a check mark slot even while it is off.
bool isChoice(const MenuItem& model) {
  return model.checked || model.representedObject.has_value();
}

// "q" -> GDK_KEY_q; nothing for an empty or multi-character key equivalent.
guint keyvalFor(const std::string& keyEquivalent) {
  if (keyEquivalent.size() != 1) return 0;
  const guint keyval = gdk_unicode_to_keyval(static_cast<unsigned char>(keyEquivalent[0]));
  return (keyval & 0x01000000) != 0 ? 0 : keyval;  // no keysym: GDK marks the raw code point
}

}  // namespace

GtkStatusMenu::GtkStatusMenu(const Menu& menu, ChosenHandler onChosen)
    : menu_(GTK_MENU(g_object_ref_sink(gtk_menu_new()))),
      accelGroup_(gtk_accel_group_new()),
      onChosen_(std::move(onChosen)) {
  gtk_menu_set_accel_group(menu_, accelGroup_);
  for (const MenuItem& model : menu.items) {
    GtkWidget* widget = makeWidget(model);
    gtk_menu_shell_append(GTK_MENU_SHELL(menu_), widget);
    if (model.separator) continue;
    auto entry = std::make_unique<Entry>(Entry{this, model, widget});
    g_signal_connect(widget, "activate", G_CALLBACK(onActivate), entry.get());
    if (GTK_IS_CHECK_MENU_ITEM(widget)) {
      g_signal_connect(widget, "toggled", G_CALLBACK(onToggled), entry.get());
    }
    entries_.push_back(std::move(entry));
  }
  gtk_widget_show_all(GTK_WIDGET(menu_));
}

GtkStatusMenu::~GtkStatusMenu() {
  for (const auto& entry : entries_) {
    g_signal_handlers_disconnect_by_data(entry->widget, entry.get());
  }
  gtk_widget_destroy(GTK_WIDGET(menu_));
  g_object_unref(menu_);
  g_object_unref(accelGroup_);
}

GtkWidget* GtkStatusMenu::makeWidget(const MenuItem& model) {
  if (model.separator) return gtk_separator_menu_item_new();
  GtkWidget* widget = isChoice(model) ? gtk_check_menu_item_new_with_label(model.title.c_str())
                                      : gtk_menu_item_new_with_label(model.title.c_str());
  if (GTK_IS_CHECK_MENU_ITEM(widget)) {
    // Before any handler is connected: the initial state is not an activation.
    gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(widget), model.checked);
  }
  gtk_widget_set_sensitive(widget, model.enabled);
  if (const guint keyval = keyvalFor(model.keyEquivalent)) {
    gtk_widget_add_accelerator(widget, "activate", accelGroup_, keyval, GDK_CONTROL_MASK,
                               GTK_ACCEL_VISIBLE);
  }
  return widget;
}

void GtkStatusMenu::onActivate(GtkMenuItem*, gpointer data) {
  auto* entry = static_cast<Entry*>(data);
  // Setting the check mark back activates the entry once more; that is not a choice.
  if (entry->restoring) return;
  entry->owner->onChosen_(entry->model);
}

void GtkStatusMenu::onToggled(GtkCheckMenuItem* widget, gpointer data) {
  auto* entry = static_cast<Entry*>(data);
  if (entry->restoring || gtk_check_menu_item_get_active(widget) == entry->model.checked) return;
  entry->restoring = true;
  gtk_check_menu_item_set_active(widget, entry->model.checked);
  entry->restoring = false;
}

}  // namespace vantorel
