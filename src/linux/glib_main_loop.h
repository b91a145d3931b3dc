#pragma once

#include <memory>

#include "ports/main_loop.h"

namespace vantorel {

// The GLib main loop on the default context, with its monotonic clock. SIGINT, SIGTERM and
// SIGHUP end it as quit() does.
class GLibMainLoop final : public MainLoop {
 public:
  GLibMainLoop();
  ~GLibMainLoop() override;
  GLibMainLoop(const GLibMainLoop&) = delete;
  GLibMainLoop& operator=(const GLibMainLoop&) = delete;

  Instant now() const override;
  std::unique_ptr<Timer> every(Duration interval, std::function<void()> tick) override;
  std::unique_ptr<Timer> after(Duration delay, std::function<void()> job) override;
  void quit() override;

  // Runs the loop until quit() or one of the signals. Returns at once when quit() came first.
  void run();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace vantorel
