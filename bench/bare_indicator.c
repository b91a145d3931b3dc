/* The memory floor of the desktop program: a bare GTK 3 process with an Ayatana indicator shown
 * (icon, label, a menu of five entries), with GDK's OpenGL probe disabled as the program does.
 * It prints "ready" once the item is set up, and runs the main loop until it is ended. */

#include <gtk/gtk.h>
#include <libayatana-appindicator/app-indicator.h>
#include <stdio.h>

int main(int argc, char **argv) {
  g_setenv("GDK_GL", "disable", TRUE);
  if (!gtk_init_check(&argc, &argv)) {
    fputs("bare_indicator: no display\n", stderr);
    return 1;
  }
  AppIndicator *item =
      app_indicator_new("bare-indicator", "dialog-information", APP_INDICATOR_CATEGORY_HARDWARE);
  GtkWidget *menu = gtk_menu_new();
  static const char *const entries[] = {"C6 boot", "C6 normal", "RP boot", "RP normal", "Quit"};
  for (size_t i = 0; i < G_N_ELEMENTS(entries); ++i) {
    GtkWidget *entry = gtk_menu_item_new_with_label(entries[i]);
    gtk_menu_shell_append(GTK_MENU_SHELL(menu), entry);
    gtk_widget_show(entry);
  }
  app_indicator_set_menu(item, GTK_MENU(menu));
  app_indicator_set_label(item, "Want C6 boot | Have none",
                          "Want C6 normal | Have C6 unknown mode");
  app_indicator_set_title(item, "Want C6 boot | Have none");
  app_indicator_set_status(item, APP_INDICATOR_STATUS_ACTIVE);
  puts("ready");
  fflush(stdout);
  gtk_main();
  return 0;
}
