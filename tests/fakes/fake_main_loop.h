#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <memory>

#include "ports/main_loop.h"

namespace vantorel {

// A main loop whose clock only moves when the test says so. advance() runs every timer that
// falls due on the way, in time order, as the real loop would.
class FakeMainLoop final : public MainLoop {
 public:
  Instant now() const override { return now_; }

  std::unique_ptr<Timer> every(Duration interval, std::function<void()> tick) override {
    return add(interval, interval, std::move(tick));
  }
  std::unique_ptr<Timer> after(Duration delay, std::function<void()> job) override {
    return add(delay, Duration::zero(), std::move(job));
  }
  void quit() override { ++quits; }

  // Moves the clock forward by `step`, running what falls due on the way.
  void advance(Duration step) {
    const Instant end = now_ + step;
    for (;;) {
      auto next = std::min_element(jobs_.begin(), jobs_.end(), [](const auto& a, const auto& b) {
        return a.second.due < b.second.due;
      });
      if (next == jobs_.end() || next->second.due > end) break;
      now_ = std::max(now_, next->second.due);
      std::function<void()> run = next->second.run;
      if (next->second.interval > Duration::zero()) {
        next->second.due += next->second.interval;
      } else {
        jobs_.erase(next);
      }
      run();
    }
    now_ = end;
  }

  // Timers and delayed jobs still pending.
  std::size_t pending() const { return jobs_.size(); }

  int quits = 0;

 private:
  struct Job {
    Instant due;
    Duration interval;  // zero: runs once
    std::function<void()> run;
  };

  class Handle final : public Timer {
   public:
    Handle(std::weak_ptr<std::map<int, Job>*> jobs, int id) : jobs_(std::move(jobs)), id_(id) {}
    ~Handle() override {
      if (auto jobs = jobs_.lock()) (*jobs)->erase(id_);
    }

   private:
    std::weak_ptr<std::map<int, Job>*> jobs_;
    int id_;
  };

  std::unique_ptr<Timer> add(Duration delay, Duration interval, std::function<void()> run) {
    const int id = nextId_++;
    jobs_[id] = Job{now_ + delay, interval, std::move(run)};
    return std::make_unique<Handle>(self_, id);
  }

  Instant now_{std::chrono::hours(1000)};
  std::map<int, Job> jobs_;
  int nextId_ = 1;
  std::shared_ptr<std::map<int, Job>*> self_ = std::make_shared<std::map<int, Job>*>(&jobs_);
};

}  // namespace vantorel
