#include <gtk/gtk.h>

#include "platform/linux/front_end.h"
#include "platform/linux/gtk_panels.h"
#include "platform/linux/indicator_status_item.h"
#include "platform/linux/linux_bundle.h"

namespace vantorel {
namespace {

class DesktopFrontEnd final : public FrontEnd {
 public:
  DesktopFrontEnd(Application& app, std::string iconFolder)
      : statusBar_(app, std::move(iconFolder)) {}
  StatusBar& statusBar() override { return statusBar_; }
  PanelFactory& panels() override { return panels_; }

 private:
  IndicatorStatusBar statusBar_;
  GtkPanelFactory panels_;
};

}  // namespace

std::unique_ptr<FrontEnd> makeDesktopFrontEnd(Application& app) {
  // GDK's OpenGL probe would load a software renderer for windows that never draw with it.
  g_setenv("GDK_GL", "disable", TRUE);
  if (!gtk_init_check(nullptr, nullptr)) return nullptr;
  // The icons live in the bundle's own icon theme folder, installed or not.
  const std::string bundle = LinuxBundle::forRunningProgram().path();
  return std::make_unique<DesktopFrontEnd>(app, bundle + "/share/icons/hicolor/scalable/apps");
}

}  // namespace vantorel
