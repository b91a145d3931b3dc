#pragma once

#include <memory>

#include "fakes/fake_usb_registry.h"
#include "fakes/fakes.h"
#include "monitor/monitor.h"

namespace vantorel {

// Read-only access to the controller's fields for tests.
struct MonitorProbe {
  using Ptr = std::shared_ptr<Monitor>;
  static Desired desired(const Ptr& x) { return x->desired; }
  static Observed state(const Ptr& x) { return x->state; }
  static const std::string& requestID(const Ptr& x) { return x->requestID; }
  static Date lastPrompt(const Ptr& x) { return x->lastPrompt; }
  static const std::string& lastSuccessID(const Ptr& x) { return x->lastSuccessID; }
  static Date greenUntil(const Ptr& x) { return x->greenUntil; }
  static const std::string& successPanelID(const Ptr& x) { return x->successPanelID; }
  static bool hasPanel(const Ptr& x) { return x->panel != nullptr; }
  static const std::string& attentionPath(const Ptr& x) { return x->attentionPath; }
  static const std::optional<std::string>& c6Serial(const Ptr& x) { return x->c6Serial; }
  static bool hasItem(const Ptr& x) { return x->item != nullptr; }
  static void rebuild(const Ptr& x, bool watcherFailed) { x->rebuild(watcherFailed); }
};

// Every fake the controller needs, wired together. Tests set the fakes up, then call create().
struct Harness {
  FakeClock clock;
  FakeScheduler scheduler{clock};
  FakePreferences preferences;
  FakeBundle bundle;
  FakeFiles files;
  FakeStatusBar statusBar;
  FakePanelFactory panels;
  FakeUsbRegistry usb;
  FakeApplication app;

  Services services() {
    return Services{app, clock, scheduler, preferences, bundle, files, statusBar, panels, usb};
  }
  std::shared_ptr<Monitor> create() { return Monitor::create(services()); }
  // Constructs and launches, as the entry point does.
  std::shared_ptr<Monitor> launch() {
    auto monitor = create();
    app.setDelegate(monitor.get());
    app.run();
    return monitor;
  }
  FakeStatusItem& item() { return statusBar.item(); }
};

}  // namespace vantorel
