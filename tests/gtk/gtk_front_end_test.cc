// The GTK front end in-process on a virtual display with a private session bus and no status
// area host: what a window manager or a host cannot show from outside.

#include "gtk/gtk_front_end.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>
// After GoogleTest: Xlib defines None and other names as macros.
#include <gdk/gdkx.h>

#include <string>
#include <vector>

namespace vantorel {
namespace {

// Runs the main loop until `done` holds or `ms` pass; returns `done()`.
bool spinUntil(const std::function<bool()>& done, gint64 ms = 10000) {
  const gint64 deadline = g_get_monotonic_time() + ms * 1000;
  while (!done() && g_get_monotonic_time() < deadline) {
    if (!g_main_context_iteration(nullptr, FALSE)) g_usleep(5000);
  }
  return done();
}

std::vector<GtkWidget*> children(gpointer container) {
  std::vector<GtkWidget*> found;
  for (GList* l = gtk_container_get_children(GTK_CONTAINER(container)); l;
       l = g_list_delete_link(l, l))
    found.push_back(GTK_WIDGET(l->data));
  return found;
}

class GtkFrontEndTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(gtk_init_check(nullptr, nullptr));
    // A GTK critical (a destroyed widget used, a failed assertion) ends the test run.
    g_log_set_always_fatal(static_cast<GLogLevelFlags>(G_LOG_FATAL_MASK | G_LOG_LEVEL_CRITICAL));
  }
  GtkWindow* shown() {  // the panel's window once it is on screen
    GtkWindow* window = frontEnd.panels().window();
    EXPECT_TRUE(spinUntil([&] { return gtk_widget_get_mapped(GTK_WIDGET(window)); }));
    return window;
  }
  std::vector<Choice> chosen;
  GtkFrontEnd frontEnd{{"/nonexistent", [this](Choice choice) { chosen.push_back(choice); }}};
};

TEST_F(GtkFrontEndTest, PanelsShowTextAsItIsGoAfterTheirHandlerAndCloseActsAsTheDefaultOk) {
  int presses = 0;
  bool destroyed = false;
  frontEnd.prompt("<b>Hold</b> &amp; \u202eTESER", [&] {
    frontEnd.ready();  // replaces the prompt from inside its own button's handler
    EXPECT_FALSE(destroyed);
    ++presses;
  });
  GtkWindow* prompt = shown();
  g_signal_connect(prompt, "destroy", G_CALLBACK(+[](GtkWidget*, bool* flag) { *flag = true; }),
                   &destroyed);
  const std::vector<GtkWidget*> parts = children(gtk_bin_get_child(GTK_BIN(prompt)));
  EXPECT_FALSE(gtk_label_get_use_markup(GTK_LABEL(parts[0])));
  EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(parts[0])), "<b>Hold</b> &amp; <U+202E>TESER");
  gtk_button_clicked(GTK_BUTTON(parts[1]));
  EXPECT_TRUE(presses == 1 && spinUntil([&] { return destroyed; }));
  // A long request ends with an ellipsis, the panel keeping its size, and is whole in the
  // tooltip and for screen readers.
  std::string text = "Hold BOOTSEL on the RP2350 board, press and release RESET. ";
  text += text + text + text;
  frontEnd.prompt(text, [&] { ++presses; });
  GtkWindow* window = shown();
  GtkWidget* label = children(gtk_bin_get_child(GTK_BIN(window)))[0];
  spinUntil([] { return false; }, 100);
  g_autofree gchar* tooltip = gtk_widget_get_tooltip_text(label);
  EXPECT_TRUE(pango_layout_is_ellipsized(gtk_label_get_layout(GTK_LABEL(label))));
  EXPECT_EQ(tooltip, text);
  EXPECT_EQ(atk_object_get_description(gtk_widget_get_accessible(label)), text);
  int width = 0, height = 0;
  gtk_window_get_size(window, &width, &height);
  EXPECT_EQ(std::pair(width, height), std::pair(440, 150));
  // Closing acts as its "OK", which is the focused default button.
  EXPECT_TRUE(gtk_widget_has_default(gtk_window_get_focus(window)));
  gtk_window_close(window);
  EXPECT_TRUE(spinUntil([&] { return frontEnd.panels().window() == nullptr; }) && presses == 2);
}

TEST_F(GtkFrontEndTest, APanelDestroyedFromOutsideIsForgottenAtOnceAndCountsAsDismissed) {
  int presses = 0;
  for (const bool prompt : {true, false}) {
    prompt ? frontEnd.prompt("Press BOOT", [&] { ++presses; }) : frontEnd.ready();
    GtkWindow* window = shown();
    // Another client destroys it (`xdotool windowclose`), the pointer elsewhere: with the pointer
    // on it, GTK 3.24 itself logs a critical disposing of the vanished window.
    Display* other = XOpenDisplay(gdk_display_get_name(gdk_display_get_default()));
    XWarpPointer(other, None, DefaultRootWindow(other), 0, 0, 0, 0, 0, 0);
    XSync(other, False);
    spinUntil([] { return false; }, 300);  // settled, as a panel someone looks at
    XDestroyWindow(other, GDK_WINDOW_XID(gtk_widget_get_window(GTK_WIDGET(window))));
    XCloseDisplay(other);
    EXPECT_TRUE(spinUntil([&] { return frontEnd.panels().window() == nullptr; }));
    frontEnd.closePanel();
  }
  EXPECT_EQ(presses, 1);
  frontEnd.prompt("Press BOOT", [] {});  // the panels still work
  shown();
}

TEST_F(GtkFrontEndTest, TheItemShowsTheViewAndItsMenuChangesInPlaceDeliveringChoicesLater) {
  const auto marks = [](GtkMenu* menu) {  // "x" for a checked choice, "-" for one that is not
    std::string found;
    for (GtkWidget* entry : children(menu))
      if (GTK_IS_CHECK_MENU_ITEM(entry))
        found += gtk_check_menu_item_get_active(GTK_CHECK_MENU_ITEM(entry)) ? 'x' : '-';
    return found;
  };
  frontEnd.show(statusView(Desired::c6Boot, Observed::none, false));
  GtkMenu* menu = frontEnd.item().menu();
  const std::vector<GtkWidget*> entries = children(menu);
  for (const std::size_t clicked : {3u, 2u}) {  // another entry, then the checked one
    gtk_menu_item_activate(GTK_MENU_ITEM(entries.at(clicked)));
    EXPECT_EQ(marks(menu), "x---");         // only a new view moves the mark
    EXPECT_EQ(chosen.size(), 3 - clicked);  // never from inside the toolkit's signal
    spinUntil([] { return false; }, 100);
  }
  EXPECT_EQ(chosen, (std::vector{Choice::pick(Desired::c6Normal), Choice::pick(Desired::c6Boot)}));

  const StatusView view = statusView(Desired::rpBoot, Observed::rpBoot, true);
  frontEnd.show(view);
  EXPECT_TRUE(spinUntil([&] { return marks(menu) == "--x-"; }));  // after the label
  // As hosts read it (the guide, the widest label, is the room they keep for it), and the tooltip
  // of the plain tray icon the library shows without a host.
  AppIndicator* item = frontEnd.item().indicator();
  EXPECT_TRUE(spinUntil([&] { return frontEnd.item().trayIcon() != nullptr; }));
  G_GNUC_BEGIN_IGNORE_DEPRECATIONS
  g_autofree gchar* tray = gtk_status_icon_get_tooltip_text(frontEnd.item().trayIcon());
  G_GNUC_END_IGNORE_DEPRECATIONS
  EXPECT_EQ(
      (std::vector<std::string>{app_indicator_get_label(item), app_indicator_get_title(item),
                                app_indicator_get_icon_desc(item), app_indicator_get_icon(item),
                                app_indicator_get_label_guide(item), tray ? tray : ""}),
      (std::vector<std::string>{view.title, view.tooltip, view.accessibility,
                                IndicatorItem::kAttentionIcon,
                                "Want C6 normal | Have C6 unknown mode", view.tooltip}));
  EXPECT_TRUE(frontEnd.item().menu() == menu && children(menu) == entries);
  EXPECT_EQ(gtk_menu_item_get_label(GTK_MENU_ITEM(entries[0])), view.menu[0].title);
}

}  // namespace
}  // namespace vantorel
