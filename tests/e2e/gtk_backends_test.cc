// The GTK panels and the indicator's menu in-process, on a real (virtual) display and session bus:
// what a window manager or a status area host cannot show from outside.

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <array>
#include <chrono>
#include <string>
#include <thread>

#include "fakes/fakes.h"
#include "platform/linux/gtk_panels.h"
#include "platform/linux/indicator_status_item.h"

namespace vantorel {
namespace {

// Runs the main loop until `done` holds or a generous bound passes; returns `done()`.
template <typename Predicate>
bool spinUntil(Predicate done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done() && std::chrono::steady_clock::now() < deadline) {
    if (!g_main_context_iteration(nullptr, FALSE)) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
  return done();
}

void drain() {
  while (g_main_context_iteration(nullptr, FALSE)) {
  }
}

GtkAllocation allocationOf(GtkWidget* widget) {
  GtkAllocation allocation;
  gtk_widget_get_allocation(widget, &allocation);
  return allocation;
}

class GtkBackendTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(gtk_init_check(nullptr, nullptr)); }
};

PanelSpec attentionSpec(std::string text, std::function<void()> onOK) {
  PanelSpec spec;
  spec.width = 440;
  spec.height = 150;
  spec.styleMask = kPanelTitled | kPanelClosable;
  spec.title = "Board action needed";
  spec.labels.push_back(
      {.text = std::move(text), .frame = {20, 60, 400, 70}, .fontSize = 15, .wraps = true});
  spec.button = ButtonSpec{.title = "OK", .frame = {340, 15, 80, 30}, .action = std::move(onOK)};
  return spec;
}

PanelSpec successSpec() {
  PanelSpec spec;
  spec.width = 440;
  spec.height = 110;
  spec.title = "Board ready";
  spec.background = PanelColor::kSystemGreen;
  spec.labels.push_back({.text = "Ready",
                         .frame = {20, 35, 400, 40},
                         .fontSize = 24,
                         .bold = true,
                         .textColor = PanelColor::kWhite,
                         .alignment = TextAlignment::kCenter});
  return spec;
}

using GtkPanelTest = GtkBackendTest;

TEST_F(GtkPanelTest, LongMarkupLikeTextKeepsTheExactSizeAndFrames) {
  GtkPanelFactory factory;
  std::string text = "<b>Press</b> &amp; hold BOOT ";
  for (int i = 0; i < 6; ++i) text += text;  // far more than the label can show
  auto panel = factory.createPanel(attentionSpec(text, [] {}));
  auto* gtkPanel = static_cast<GtkPanel*>(panel.get());
  panel->center();
  panel->makeKeyAndOrderFront();
  GtkWidget* button = gtkPanel->button();
  ASSERT_TRUE(
      spinUntil([&] { return gtk_widget_get_mapped(button) && allocationOf(button).y > 0; }));

  int width = 0, height = 0;
  gtk_window_get_size(gtkPanel->window(), &width, &height);
  EXPECT_EQ(width, 440);
  EXPECT_EQ(height, 150);
  const GtkAllocation ok = allocationOf(button);
  EXPECT_EQ((std::array{ok.x, ok.y, ok.width, ok.height}), (std::array{340, 105, 80, 30}));
  // The label sits in a clipping area of exactly its frame and shows the text as it is.
  GtkWidget* clip = nullptr;
  for (GList* l = gtk_container_get_children(GTK_CONTAINER(gtk_widget_get_parent(button)));
       l != nullptr; l = g_list_delete_link(l, l)) {
    if (GTK_IS_SCROLLED_WINDOW(l->data)) clip = GTK_WIDGET(l->data);
  }
  ASSERT_NE(clip, nullptr);
  const GtkAllocation area = allocationOf(clip);
  EXPECT_EQ((std::array{area.x, area.y, area.width, area.height}), (std::array{20, 20, 400, 70}));
  GtkWidget* label = gtk_bin_get_child(GTK_BIN(gtk_bin_get_child(GTK_BIN(clip))));
  ASSERT_TRUE(GTK_IS_LABEL(label));
  EXPECT_EQ(gtk_label_get_text(GTK_LABEL(label)), text);
  EXPECT_FALSE(gtk_label_get_use_markup(GTK_LABEL(label)));
}

TEST_F(GtkPanelTest, OnlyAClosablePanelLeavesTheScreenOnACloseRequest) {
  GtkPanelFactory factory;
  auto attention = factory.createPanel(attentionSpec("Press RESET", [] {}));
  auto success = factory.createPanel(successSpec());
  GtkWindow* attentionWindow = static_cast<GtkPanel*>(attention.get())->window();
  GtkWindow* successWindow = static_cast<GtkPanel*>(success.get())->window();
  attention->makeKeyAndOrderFront();
  success->makeKeyAndOrderFront();
  ASSERT_TRUE(spinUntil([&] {
    return gtk_widget_get_mapped(GTK_WIDGET(attentionWindow)) &&
           gtk_widget_get_mapped(GTK_WIDGET(successWindow));
  }));

  gtk_window_close(successWindow);
  gtk_window_close(attentionWindow);
  ASSERT_TRUE(spinUntil([&] { return !gtk_widget_get_visible(GTK_WIDGET(attentionWindow)); }));
  EXPECT_TRUE(gtk_widget_get_visible(GTK_WIDGET(successWindow)));
  EXPECT_FALSE(gtk_window_get_deletable(successWindow));

  // Closed, not destroyed: closing again does nothing, and it can be shown again.
  attention->close();
  attention->makeKeyAndOrderFront();
  EXPECT_TRUE(spinUntil([&] { return gtk_widget_get_mapped(GTK_WIDGET(attentionWindow)); }));
}

TEST_F(GtkPanelTest, ButtonActionMayDropItsOwnPanel) {
  GtkPanelFactory factory;
  std::unique_ptr<Panel> panel;
  int presses = 0;
  panel = factory.createPanel(attentionSpec("Press RESET", [&] {
    ++presses;
    panel->close();
    panel.reset();
  }));
  panel->makeKeyAndOrderFront();
  GtkWidget* window = GTK_WIDGET(static_cast<GtkPanel*>(panel.get())->window());
  bool destroyed = false;
  g_signal_connect(window, "destroy",
                   G_CALLBACK(+[](GtkWidget*, gpointer flag) { *static_cast<bool*>(flag) = true; }),
                   &destroyed);

  gtk_button_clicked(GTK_BUTTON(static_cast<GtkPanel*>(panel.get())->button()));
  EXPECT_EQ(presses, 1);
  EXPECT_EQ(panel, nullptr);
  EXPECT_FALSE(destroyed);  // not inside its own handler
  EXPECT_TRUE(spinUntil([&] { return destroyed; }));
}

// Records the choices that reach the menu's target, and can answer one with a new menu.
class RecordingTarget final : public MenuTarget {
 public:
  std::vector<std::string> chosen;
  std::function<void()> onChoice;
  void performMenuAction(MenuAction, const MenuItem& sender) override {
    chosen.push_back(sender.title);
    if (onChoice) onChoice();
  }
};

Menu choiceMenu(const std::shared_ptr<RecordingTarget>& target, const std::string& checked) {
  Menu menu;
  for (const char* title : {"Want A", "Want B"}) {
    MenuItem entry;
    entry.title = title;
    entry.action = MenuAction::kSelectDesired;
    entry.target = target;
    entry.representedObject = std::string(title);
    entry.checked = entry.title == checked;
    menu.items.push_back(entry);
  }
  return menu;
}

std::vector<bool> checkMarks(GtkMenu* menu) {
  std::vector<bool> marks;
  GList* children = gtk_container_get_children(GTK_CONTAINER(menu));
  for (GList* l = children; l != nullptr; l = l->next) {
    if (GTK_IS_CHECK_MENU_ITEM(l->data)) {
      marks.push_back(gtk_check_menu_item_get_active(GTK_CHECK_MENU_ITEM(l->data)));
    }
  }
  g_list_free(children);
  return marks;
}

GtkMenuItem* entryAt(GtkMenu* menu, guint index) {
  GList* children = gtk_container_get_children(GTK_CONTAINER(menu));
  auto* item = GTK_MENU_ITEM(g_list_nth_data(children, index));
  g_list_free(children);
  return item;
}

using IndicatorMenuTest = GtkBackendTest;

TEST_F(IndicatorMenuTest, ActivatingAChoiceKeepsTheModelsCheckMarksAndDeliversItOnceLater) {
  FakeApplication app;
  IndicatorStatusItem item(app, "/nonexistent");
  auto target = std::make_shared<RecordingTarget>();
  item.setMenu(choiceMenu(target, "Want A"));
  GtkMenu* menu = item.menu();

  gtk_menu_item_activate(entryAt(menu, 0));  // the checked one
  gtk_menu_item_activate(entryAt(menu, 1));
  EXPECT_EQ(checkMarks(menu), (std::vector<bool>{true, false}));
  EXPECT_TRUE(target->chosen.empty());  // never from inside the menu's own signal

  drain();
  EXPECT_EQ(target->chosen, (std::vector<std::string>{"Want A", "Want B"}));
  EXPECT_EQ(checkMarks(menu), (std::vector<bool>{true, false}));
}

TEST_F(IndicatorMenuTest, AChoiceThatInstallsANewMenuRetiresTheOldOneAfterDelivery) {
  FakeApplication app;
  IndicatorStatusItem item(app, "/nonexistent");
  auto target = std::make_shared<RecordingTarget>();
  item.setMenu(choiceMenu(target, "Want A"));
  GtkMenu* old = item.menu();
  bool oldDestroyed = false;
  g_signal_connect(old, "destroy",
                   G_CALLBACK(+[](GtkWidget*, gpointer flag) { *static_cast<bool*>(flag) = true; }),
                   &oldDestroyed);
  target->onChoice = [&] { item.setMenu(choiceMenu(target, "Want B")); };

  gtk_menu_item_activate(entryAt(old, 1));
  ASSERT_TRUE(spinUntil([&] { return oldDestroyed; }));
  EXPECT_EQ(target->chosen, (std::vector<std::string>{"Want B"}));
  EXPECT_EQ(checkMarks(item.menu()), (std::vector<bool>{false, true}));
  EXPECT_EQ(app_indicator_get_menu(item.indicator()), item.menu());
}

}  // namespace
}  // namespace vantorel
