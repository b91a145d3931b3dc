#pragma once

#include <memory>
#include <optional>
#include <string>

#include "model/desired.h"
#include "model/observed.h"
#include "platform/application.h"
#include "platform/bundle.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/menu.h"
#include "platform/panel.h"
#include "platform/preferences.h"
#include "platform/scheduler.h"
#include "platform/status_item.h"
#include "platform/usb_registry.h"

namespace vantorel {

// The platform services the controller reaches. All must outlive the controller.
struct Services {
  Application& app;
  Clock& clock;
  Scheduler& scheduler;
  Preferences& preferences;
  const Bundle& bundle;
  const Files& files;
  StatusBar& statusBar;
  PanelFactory& panels;
  UsbRegistry& usb;
};

// The single controller: owns the status item, the USB watcher, the wanted and observed board
// states, the attention poll and the one floating panel. Everything runs on the main loop.
//
// Always owned by a std::shared_ptr (see create()): timers and delayed jobs hold it weakly and do
// nothing once it is gone.
class Monitor final : public ApplicationDelegate,
                      public MenuTarget,
                      public std::enable_shared_from_this<Monitor> {
 public:
  static constexpr const char* kDesiredKey = "desired";
  static constexpr const char* kC6SerialKey = "BoardC6Serial";

  static std::shared_ptr<Monitor> create(const Services& services);
  ~Monitor() override;

  Monitor(const Monitor&) = delete;
  Monitor& operator=(const Monitor&) = delete;

  // Start-up: status item, the 1.0 s attention timer, one immediate poll, then the USB watcher.
  void applicationDidFinishLaunching() override;
  // Shut-down: releases the USB watcher's notifications and port; nothing else.
  void applicationWillTerminate() override;

  void performMenuAction(MenuAction action, const MenuItem& sender) override;

  // Menu action: stores the wanted state named by the entry's represented object, persists it and
  // re-renders. Ignores an entry without a valid raw value.
  void selectDesired(const MenuItem& sender);
  // The attention panel's "OK": closes the panel, keeps the outstanding request.
  void dismissAttention();
  // One poll of the attention file.
  void checkAttention();
  // Enumerates the USB devices, classifies them, stores `state` and re-renders.
  void refresh();

 private:
  friend struct MonitorProbe;  // read-only view for tests

  explicit Monitor(const Services& services);

  // Renders the status item from scratch: title, tint, tooltip, accessibility label and menu.
  // REQUIRES: the status item exists.
  void rebuild(bool watcherFailed = false);

  void startWatcher();
  void stopWatcher();
  void notificationFired(UsbNotification& notification);

  void showAttention(const std::string& actionText);
  void showSuccess(const std::string& successID);
  void autoCloseSuccess(const std::string& successID);
  void closePanel();

  static std::string resolveAttentionPath(const Bundle& bundle, const Files& files);

  Services services_;

  std::unique_ptr<StatusItem> item;
  std::unique_ptr<UsbNotificationPort> port;
  std::unique_ptr<UsbNotification> matched;
  std::unique_ptr<UsbNotification> terminated;
  Desired desired;
  Observed state = Observed::none;
  std::unique_ptr<ScheduledJob> attentionTimer;
  std::unique_ptr<Panel> panel;
  std::string requestID;
  Date lastPrompt = kDistantPast;
  std::string lastSuccessID;
  Date greenUntil = kDistantPast;
  std::string successPanelID;
  const std::string attentionPath;
  const std::optional<std::string> c6Serial;

  // True from a failed watcher start or enumeration until an enumeration succeeds, so that every
  // render in between reports the watcher error instead of a stale or default state. Deliberate:
  // a render for another reason (a menu choice, a success tint) must never show "none" or
  // "multiple" while nothing is being watched. Keep it.
  bool watcherUnavailable = false;
};

}  // namespace vantorel
