#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <memory>

#include "ports/main_loop.h"

namespace vantorel {

// A main loop whose clock only moves when the test says so. advance() runs every timer that
// falls due on the way, in time order, as the real loop would; a one-shot job longer than
// `early` runs that much before it is due, as a coarse timer may.
class FakeMainLoop final : public MainLoop {
 public:
  Instant now() const override { return now_; }
  std::unique_ptr<Timer> every(Duration interval, std::function<void()> tick) override {
    return add(interval, interval, std::move(tick));
  }
  std::unique_ptr<Timer> after(Duration delay, std::function<void()> job) override {
    return add(delay > early ? delay - early : delay, Duration::zero(), std::move(job));
  }
  void quit() override { ++quits; }

  // Moves the clock forward by `step`, running what falls due on the way.
  void advance(Duration step) {
    const Instant end = now_ + step;
    for (auto next = first(); next != jobs_->end() && next->second.due <= end; next = first()) {
      now_ = std::max(now_, next->second.due);
      std::function<void()> run = next->second.run;
      if (next->second.interval > Duration::zero()) {
        next->second.due += next->second.interval;
      } else {
        jobs_->erase(next);
      }
      run();
    }
    now_ = end;
  }
  std::size_t pending() const { return jobs_->size(); }  // timers and jobs not yet dropped

  int quits = 0;
  Duration early{};

 private:
  struct Job {
    Instant due;
    Duration interval;  // zero: runs once
    std::function<void()> run;
  };
  using Jobs = std::map<int, Job>;
  struct Handle final : Timer {
    Handle(std::weak_ptr<Jobs> jobs, int id) : jobs(std::move(jobs)), id(id) {}
    ~Handle() override {
      if (const auto alive = jobs.lock()) alive->erase(id);
    }
    std::weak_ptr<Jobs> jobs;
    int id;
  };

  std::unique_ptr<Timer> add(Duration delay, Duration interval, std::function<void()> run) {
    (*jobs_)[++lastId_] = Job{now_ + delay, interval, std::move(run)};
    return std::make_unique<Handle>(jobs_, lastId_);
  }
  Jobs::iterator first() {
    return std::min_element(jobs_->begin(), jobs_->end(), [](const auto& a, const auto& b) {
      return a.second.due < b.second.due;
    });
  }

  Instant now_{std::chrono::hours(1000)};
  std::shared_ptr<Jobs> jobs_ = std::make_shared<Jobs>();
  int lastId_ = 0;
};

}  // namespace vantorel
