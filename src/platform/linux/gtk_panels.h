#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <memory>
#include <vector>

#include "platform/linux/main_loop_jobs.h"
#include "platform/panel.h"

namespace vantorel {

class GtkPanelFactory;

// A floating panel as a GTK toplevel window of exactly the PanelSpec's content size, its
// elements placed at the PanelSpec's frames. Closing hides the window; the window is destroyed
// after the panel object goes, on an idle moment, since that may happen inside its own button's
// handler.
class GtkPanel final : public Panel {
 public:
  GtkPanel(GtkPanelFactory& factory, const PanelSpec& layout);
  ~GtkPanel() override;
  GtkPanel(const GtkPanel&) = delete;
  GtkPanel& operator=(const GtkPanel&) = delete;

  void center() override;
  void makeKeyAndOrderFront() override;
  void close() override;

  GtkWindow* window() const { return window_; }
  GtkWidget* button() const { return button_; }

 private:
  static gboolean onDeleteEvent(GtkWidget* window, GdkEvent* event, gpointer self);
  static void onClicked(GtkButton* button, gpointer self);

  GtkPanelFactory& factory_;
  GtkWindow* window_;
  GtkWidget* button_ = nullptr;
  bool closable_;
  std::function<void()> action_;
};

// Makes GTK panels. Installs the panels' style sheet on the default screen once, and owns the
// windows of dropped panels until they are destroyed.
class GtkPanelFactory final : public PanelFactory {
 public:
  GtkPanelFactory();
  ~GtkPanelFactory() override;
  GtkPanelFactory(const GtkPanelFactory&) = delete;
  GtkPanelFactory& operator=(const GtkPanelFactory&) = delete;

  std::unique_ptr<Panel> createPanel(PanelSpec layout) override;

  // Destroys `window` on the next idle moment.
  void retire(GtkWindow* window);

 private:
  void destroyRetired();

  std::vector<GtkWindow*> retired_;
  MainLoopJobs jobs_;
};

}  // namespace vantorel
