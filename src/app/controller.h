#pragma once

#include <memory>
#include <optional>
#include <string>

#include "core/attention_tracker.h"
#include "core/board_model.h"
#include "core/status_view.h"
#include "ports/attention_source.h"
#include "ports/front_end.h"
#include "ports/main_loop.h"
#include "ports/settings.h"
#include "ports/usb_watch.h"

namespace vantorel {

// The ports the controller reaches. All must outlive it.
struct Ports {
  MainLoop& loop;
  FrontEnd& frontEnd;
  UsbWatch& usb;
  Settings& settings;
  AttentionSource& attention;
};

// The one controller: it holds the wanted and observed board states and the hand-shake's
// tracker, owns the timers, and turns USB changes, attention polls and menu choices into what the
// front end shows. Everything runs on the main loop.
//
// Always owned by a std::shared_ptr (see create()): timers hold it weakly and do nothing once it
// is gone.
class Controller : public std::enable_shared_from_this<Controller> {
 public:
  static constexpr Duration kPollInterval = std::chrono::seconds(1);

  static std::shared_ptr<Controller> create(const Ports& ports);
  Controller(const Controller&) = delete;
  Controller& operator=(const Controller&) = delete;

  // Start-up: the bench from the settings, the 1 s poll (of the attention file and of the
  // bench), one poll now, then the USB watch with one enumeration. The status item is drawn
  // once, when all of that is known.
  void start();
  // A menu choice: picks a wanted state (stored and drawn) or quits the main loop.
  void choose(Choice choice);

 private:
  explicit Controller(const Ports& ports);

  void checkAttention();
  void apply(const std::vector<AttentionStep>& steps);
  // Re-renders once the tint that lasts until `until` is over.
  void endTintAt(Instant until);
  void refresh();
  // Takes a bench changed since the last look and classifies the last devices seen on it.
  void rereadBench();
  void render();

  Ports ports_;
  Bench bench_;
  Desired desired_;
  Observed observed_ = Observed::none;
  // The devices of the last enumeration that succeeded: a new bench classifies them again.
  std::optional<std::vector<USBDevice>> devices_;
  // True from a failed watch start or enumeration until an enumeration succeeds: every render in
  // between shows the watch error, never a stale or default state.
  bool watchFailed_ = false;
  // False until start() has gathered everything the first drawing needs.
  bool started_ = false;
  AttentionTracker tracker_;
  std::unique_ptr<Timer> pollTimer_;
  std::unique_ptr<Timer> tintTimer_;
  std::unique_ptr<Timer> readyTimer_;
};

}  // namespace vantorel
