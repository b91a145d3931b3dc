#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <memory>

#include "ports/main_loop.h"

namespace vantorel {

// A main loop whose clock only moves in advance(), which runs every timer falling due on the way
// in time order, as the real loop would; a one-shot job longer than `early` runs that much before
// it is due, as a coarse timer may. quit() is counted.
struct FakeMainLoop final : MainLoop {
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

  Instant now() const override { return clock; }
  std::unique_ptr<Timer> every(Duration interval, std::function<void()> tick) override {
    return add(interval, interval, std::move(tick));
  }
  std::unique_ptr<Timer> after(Duration delay, std::function<void()> job) override {
    return add(delay > early ? delay - early : delay, Duration::zero(), std::move(job));
  }
  void quit() override { ++quits; }
  std::unique_ptr<Timer> add(Duration delay, Duration interval, std::function<void()> run) {
    (*jobs)[++lastId] = Job{clock + delay, interval, std::move(run)};
    return std::make_unique<Handle>(jobs, lastId);
  }
  void advance(Duration step) {
    const Instant end = clock + step;
    for (;;) {
      const auto next = std::min_element(
          jobs->begin(), jobs->end(), [](auto& a, auto& b) { return a.second.due < b.second.due; });
      if (next == jobs->end() || next->second.due > end) break;
      clock = std::max(clock, next->second.due);
      const std::function<void()> run = next->second.run;
      if (next->second.interval > Duration::zero()) next->second.due += next->second.interval;
      if (next->second.interval == Duration::zero()) jobs->erase(next);
      run();
    }
    clock = end;
  }
  std::size_t pending() const { return jobs->size(); }  // timers and jobs not yet dropped

  int quits = 0, lastId = 0;
  Duration early{};
  Instant clock{std::chrono::hours(1000)};
  std::shared_ptr<Jobs> jobs = std::make_shared<Jobs>();
};

}  // namespace vantorel
