// The GTK front end in-process, on a real (virtual) display with a private session bus: what a
// window manager or a status area host cannot show from outside (sizes and places are seen by
// tests/e2e/desktop_e2e.py).

#include "gtk/gtk_front_end.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>

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
  static void SetUpTestSuite() { ASSERT_TRUE(gtk_init_check(nullptr, nullptr)); }
  GtkWindow* shown() {  // the panel's window once it is on screen
    GtkWindow* window = frontEnd.panels().window();
    EXPECT_TRUE(spinUntil([&] { return gtk_widget_get_mapped(GTK_WIDGET(window)); }));
    return window;
  }
  std::vector<Choice> chosen;
  GtkFrontEnd frontEnd{{"/nonexistent", [this](Choice choice) { chosen.push_back(choice); }}};
};

TEST_F(GtkFrontEndTest, PanelsGoAfterTheHandlerThatDropsThemAndCloseActsAsTheDefaultOk) {
  int presses = 0;
  bool destroyed = false;
  frontEnd.prompt("<b>Hold</b> &amp;", [&] {
    frontEnd.ready();  // replaces the prompt from inside its own button's handler
    EXPECT_FALSE(destroyed);
    ++presses;
  });
  GtkWindow* prompt = shown();
  g_signal_connect(prompt, "destroy", G_CALLBACK(+[](GtkWidget*, bool* flag) { *flag = true; }),
                   &destroyed);
  const std::vector<GtkWidget*> parts = children(gtk_bin_get_child(GTK_BIN(prompt)));
  GtkWidget* label = gtk_bin_get_child(GTK_BIN(gtk_bin_get_child(GTK_BIN(parts[0]))));
  EXPECT_FALSE(gtk_label_get_use_markup(GTK_LABEL(label)));  // the text shown as it is
  gtk_button_clicked(GTK_BUTTON(parts[1]));
  EXPECT_EQ(presses, 1);
  EXPECT_TRUE(spinUntil([&] { return destroyed; }));
  // The prompt's close button acts as its "OK", which is the focused default button.
  frontEnd.prompt("Press BOOT", [&] { ++presses; });
  EXPECT_TRUE(gtk_widget_has_default(gtk_window_get_focus(shown())));
  gtk_window_close(frontEnd.panels().window());
  EXPECT_TRUE(spinUntil([&] { return frontEnd.panels().window() == nullptr; }));
  EXPECT_EQ(presses, 2);
}

// "x" for a checked choice, "-" for one that is not.
std::string checkMarks(GtkMenu* menu) {
  std::string marks;
  for (GtkWidget* entry : children(menu)) {
    if (GTK_IS_CHECK_MENU_ITEM(entry))
      marks += gtk_check_menu_item_get_active(GTK_CHECK_MENU_ITEM(entry)) ? 'x' : '-';
  }
  return marks;
}

TEST_F(GtkFrontEndTest, TheMenuChangesInPlaceAndDeliversEachChoiceOnceAfterTheSignal) {
  frontEnd.show(statusView(Desired::c6Boot, Observed::none, false));
  GtkMenu* menu = frontEnd.item().menu();
  const std::vector<GtkWidget*> entries = children(menu);
  for (const std::size_t clicked : {3u, 2u}) {  // another entry, then the checked one
    gtk_menu_item_activate(GTK_MENU_ITEM(entries.at(clicked)));
    EXPECT_EQ(checkMarks(menu), "x---");    // only a new view moves the mark
    EXPECT_EQ(chosen.size(), 3 - clicked);  // never from inside the toolkit's signal
    spinUntil([] { return false; }, 100);
  }
  EXPECT_EQ(chosen, (std::vector{Choice::pick(Desired::c6Normal), Choice::pick(Desired::c6Boot)}));

  const StatusView view = statusView(Desired::rpBoot, Observed::rpBoot, true);
  frontEnd.show(view);
  spinUntil([&] { return checkMarks(menu) == "--x-"; });  // the menu follows the label
  EXPECT_EQ(frontEnd.item().menu(), menu);
  EXPECT_EQ(children(menu), entries);
  EXPECT_EQ(checkMarks(menu), "--x-");
  EXPECT_EQ(gtk_menu_item_get_label(GTK_MENU_ITEM(entries[0])), view.menu[0].title);
}

}  // namespace
}  // namespace vantorel
