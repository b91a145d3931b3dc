#pragma once

#include <memory>
#include <optional>
#include <string>

#include "core/bench.h"
#include "core/board_model.h"
#include "ports/main_loop.h"
#include "ports/usb_watch.h"

namespace vantorel {

// Waits on the main loop for the observed board state to become `target`. The state is looked
// at once when the wait starts (after the watch, so an arrival in between is not missed) and
// again at each change the USB watch reports, never by polling. When the state is reached, the
// timeout passes or USB cannot be watched, the wait ends and quits the loop.
class BoardWait {
 public:
  enum class Outcome { waiting, reached, timedOut, unwatchable };

  BoardWait(MainLoop& loop, UsbWatch& usb, Observed target, Bench bench)
      : loop_(loop), usb_(usb), target_(target), bench_(std::move(bench)) {}

  // Starts waiting; without a timeout only the state or the end of the loop ends the wait.
  void start(std::optional<Duration> timeout);

  Outcome outcome() const { return outcome_; }
  // The state seen at the latest look; nothing before one succeeded.
  std::optional<Observed> lastSeen() const { return lastSeen_; }

 private:
  void look();
  void finish(Outcome outcome);

  MainLoop& loop_;
  UsbWatch& usb_;
  Observed target_;
  Bench bench_;
  Outcome outcome_ = Outcome::waiting;
  std::optional<Observed> lastSeen_;
  std::unique_ptr<Timer> timeout_;
};

}  // namespace vantorel
