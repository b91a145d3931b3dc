// The GTK panels and the indicator's menu in-process, on a real (virtual) display and session bus:
// what a window manager or a status area host cannot show from outside.

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <array>
#include <string>

#include "fakes/fakes.h"
#include "platform/linux/gtk_panels.h"
#include "platform/linux/indicator_status_item.h"
#include "statusmenu/status_menu.h"

namespace vantorel {
namespace {

// Runs the main loop until `done` holds or a generous bound passes; returns `done()`.
bool spinUntil(const std::function<bool()>& done) {
  const gint64 deadline = g_get_monotonic_time() + 10 * G_USEC_PER_SEC;
  while (!done() && g_get_monotonic_time() < deadline) {
    if (!g_main_context_iteration(nullptr, FALSE)) g_usleep(5000);
  }
  return done();
}

std::array<int, 4> frameOf(GtkWidget* widget) {
  GtkAllocation a;
  gtk_widget_get_allocation(widget, &a);
  return {a.x, a.y, a.width, a.height};
}

// Sets `*flag` when `object` is destroyed.
void watchDestroy(gpointer object, bool* flag) {
  g_signal_connect(object, "destroy",
                   G_CALLBACK(+[](GtkWidget*, gpointer f) { *static_cast<bool*>(f) = true; }),
                   flag);
}

class GtkBackendTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(gtk_init_check(nullptr, nullptr)); }
};

GtkPanel& gtk(const std::unique_ptr<Panel>& panel) { return static_cast<GtkPanel&>(*panel); }

TEST_F(GtkBackendTest, PanelsKeepTheirFramesAndOnlyAClosableOneLeavesOnACloseRequest) {
  GtkPanelFactory factory;
  std::string text = "<b>Press</b> &amp; hold BOOT ";
  for (int i = 0; i < 8; ++i) text += text;  // 7 KiB: far more than the label can show
  std::unique_ptr<Panel> attention;
  int presses = 0;
  attention = factory.createPanel(
      {.width = 440,
       .height = 150,
       .styleMask = kPanelTitled | kPanelClosable,
       .title = "Board action needed",
       .labels = {{.text = text, .frame = {20, 60, 400, 70}, .wraps = true}},
       .button = ButtonSpec{.title = "OK", .frame = {340, 15, 80, 30}, .action = [&] {
                              ++presses;
                              attention->close();
                              attention.reset();
                            }}});
  auto success = factory.createPanel(
      {.width = 440, .height = 110, .title = "Board ready", .labels = {}, .button = std::nullopt});
  GtkWindow* attentionWindow = gtk(attention).window();
  GtkWindow* successWindow = gtk(success).window();
  GtkWidget* button = gtk(attention).button();
  attention->center();
  attention->makeKeyAndOrderFront();
  success->makeKeyAndOrderFront();
  ASSERT_TRUE(spinUntil([&] {
    return gtk_widget_get_mapped(GTK_WIDGET(successWindow)) && gtk_widget_get_mapped(button) &&
           frameOf(button)[1] > 0;
  }));

  int width = 0, height = 0;
  gtk_window_get_size(attentionWindow, &width, &height);
  EXPECT_EQ((std::array{width, height}), (std::array{440, 150}));
  EXPECT_EQ(frameOf(button), (std::array{340, 105, 80, 30}));
  // The label sits in a clipping area of exactly its frame and shows the text as it is, cut
  // where no frame could show more, so layout never stalls the loop.
  GtkWidget* clip = nullptr;
  for (GList* l = gtk_container_get_children(GTK_CONTAINER(gtk_widget_get_parent(button)));
       l != nullptr; l = g_list_delete_link(l, l)) {
    if (GTK_IS_SCROLLED_WINDOW(l->data)) clip = GTK_WIDGET(l->data);
  }
  ASSERT_NE(clip, nullptr);
  EXPECT_EQ(frameOf(clip), (std::array{20, 20, 400, 70}));
  GtkWidget* label = gtk_bin_get_child(GTK_BIN(gtk_bin_get_child(GTK_BIN(clip))));
  ASSERT_TRUE(GTK_IS_LABEL(label));
  EXPECT_EQ(gtk_label_get_text(GTK_LABEL(label)), text.substr(0, 4096) + "\xE2\x80\xA6");
  EXPECT_FALSE(gtk_label_get_use_markup(GTK_LABEL(label)));

  gtk_window_close(successWindow);
  gtk_window_close(attentionWindow);
  ASSERT_TRUE(spinUntil([&] { return !gtk_widget_get_visible(GTK_WIDGET(attentionWindow)); }));
  EXPECT_TRUE(gtk_widget_get_visible(GTK_WIDGET(successWindow)));
  EXPECT_FALSE(gtk_window_get_deletable(successWindow));
  // Closed, not destroyed: closing again does nothing, and it can be shown again.
  attention->close();
  attention->makeKeyAndOrderFront();
  ASSERT_TRUE(spinUntil([&] { return gtk_widget_get_mapped(GTK_WIDGET(attentionWindow)); }));

  // Its button's action may drop the panel: the window goes later, not inside its own handler.
  bool destroyed = false;
  watchDestroy(attentionWindow, &destroyed);
  gtk_button_clicked(GTK_BUTTON(button));
  EXPECT_EQ(presses, 1);
  EXPECT_EQ(attention, nullptr);
  EXPECT_FALSE(destroyed);
  EXPECT_TRUE(spinUntil([&] { return destroyed; }));
}

std::vector<GtkCheckMenuItem*> entries(GtkMenu* menu) {
  std::vector<GtkCheckMenuItem*> out;
  for (GList* l = gtk_container_get_children(GTK_CONTAINER(menu)); l != nullptr;
       l = g_list_delete_link(l, l)) {
    if (GTK_IS_CHECK_MENU_ITEM(l->data)) out.push_back(GTK_CHECK_MENU_ITEM(l->data));
  }
  return out;
}

// "x" for a checked choice, "-" for one that is not.
std::string checkMarks(GtkMenu* menu) {
  std::string marks;
  for (GtkCheckMenuItem* entry : entries(menu))
    marks += gtk_check_menu_item_get_active(entry) ? 'x' : '-';
  return marks;
}

TEST_F(GtkBackendTest, MenuChoicesAreDeliveredOnceLaterAndTheOldMenuRetiredAfterDelivery) {
  FakeApplication app;
  IndicatorStatusItem item(app, "/nonexistent");
  auto target = std::make_shared<FakeMenuTarget>();
  item.setMenu(statusMenu(Desired::c6Boot, "none", target));
  GtkMenu* old = item.menu();
  bool oldDestroyed = false;
  watchDestroy(old, &oldDestroyed);

  gtk_menu_item_activate(GTK_MENU_ITEM(entries(old)[0]));  // the checked one
  EXPECT_EQ(checkMarks(old), "x---");
  EXPECT_TRUE(target->chosen.empty());  // never from inside the menu's own signal
  while (g_main_context_iteration(nullptr, FALSE)) {
  }
  EXPECT_EQ(target->chosen, (std::vector<std::string>{"Want C6 boot"}));
  EXPECT_EQ(checkMarks(old), "x---");

  // The choice installs a new menu, as the controller's re-render does.
  target->onChoice = [&] { item.setMenu(statusMenu(Desired::c6Normal, "none", target)); };
  gtk_menu_item_activate(GTK_MENU_ITEM(entries(old)[1]));
  EXPECT_EQ(checkMarks(old), "x---");
  ASSERT_TRUE(spinUntil([&] { return oldDestroyed; }));
  EXPECT_EQ(target->chosen, (std::vector<std::string>{"Want C6 boot", "Want C6 normal"}));
  EXPECT_EQ(checkMarks(item.menu()), "-x--");
  EXPECT_EQ(app_indicator_get_menu(item.indicator()), item.menu());
}

}  // namespace
}  // namespace vantorel
