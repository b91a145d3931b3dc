// Entry point: the application, one controller for the life of the process, and the event loop.

#include <glib.h>

#include <memory>

#include "monitor/monitor.h"
#include "platform/linux/file_preferences.h"
#include "platform/linux/front_end.h"
#include "platform/linux/glib_application.h"
#include "platform/linux/glib_scheduler.h"
#include "platform/linux/linux_bundle.h"
#include "platform/linux/posix_files.h"
#include "platform/linux/udev_usb_registry.h"

int main() {
  using namespace vantorel;

  GLibApplication app;
  std::unique_ptr<FrontEnd> frontEnd = makeDesktopFrontEnd(app);
  if (!frontEnd) frontEnd = makeTerminalFrontEnd(app);

  SystemClock clock;
  GLibScheduler scheduler;
  FilePreferences preferences = FilePreferences::forUser();
  const LinuxBundle bundle = LinuxBundle::forRunningProgram();
  const PosixFiles files;
  std::unique_ptr<UsbRegistry> usb = makeUsbRegistry();

  const std::shared_ptr<Monitor> delegate =
      Monitor::create(Services{app, clock, scheduler, preferences, bundle, files,
                               frontEnd->statusBar(), frontEnd->panels(), *usb});
  app.setDelegate(delegate.get());
  app.setActivationPolicy(ActivationPolicy::kAccessory);
  return app.run();
}
