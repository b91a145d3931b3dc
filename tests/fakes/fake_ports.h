#pragma once

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ports/attention_source.h"
#include "ports/front_end.h"
#include "ports/main_loop.h"
#include "ports/settings.h"
#include "ports/usb_watch.h"

namespace vantorel {

// A main loop whose clock only moves in advance(), which runs every timer falling due on the way
// in time order, as the real loop would; a one-shot job longer than `early` runs that much before
// it is due, as a coarse timer may. quit() is counted.
struct FakeMainLoop final : MainLoop {
  struct Handle final : Timer {
    std::shared_ptr<int> token = std::make_shared<int>();  // its job goes with it
  };
  struct Job {
    Instant due;
    Duration interval;  // zero: runs once
    std::function<void()> run;
    std::weak_ptr<int> token;
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
    auto handle = std::make_unique<Handle>();
    jobs.push_back({clock + delay, interval, std::move(run), handle->token});
    return handle;
  }
  void advance(Duration step) {
    const Instant end = clock + step;
    while (pending() > 0) {
      const auto next = std::ranges::min_element(jobs, {}, &Job::due);  // of those, the oldest
      if (next->due > end) break;
      clock = std::max(clock, next->due);
      const std::function<void()> run = next->run;
      if (next->interval > Duration::zero()) next->due += next->interval;
      if (next->interval == Duration::zero()) jobs.erase(next);
      run();
    }
    clock = end;
  }
  std::size_t pending() {  // timers and jobs not yet dropped
    std::erase_if(jobs, [](const Job& job) { return job.token.expired(); });
    return jobs.size();
  }

  int quits = 0;
  Duration early{};
  Instant clock{std::chrono::hours(1000)};
  std::vector<Job> jobs;  // in the order they were made
};

// Records every view shown and every panel call ("prompt: <text>", "ready", "close").
struct FakeFrontEnd final : FrontEnd {
  void show(const StatusView& view) override { views.push_back(view); }
  void prompt(const std::string& text, std::function<void()> onOk) override {
    panels.push_back("prompt: " + text);
    oks.push_back(std::move(onOk));
  }
  void ready() override { panels.push_back("ready"); }
  void closePanel() override { panels.push_back("close"); }
  void pressOk() { std::function<void()>(oks.back())(); }  // a copy: the press may prompt again
  std::vector<StatusView> views;
  std::vector<std::string> panels;
  std::vector<std::function<void()>> oks;  // one per prompt, oldest first
};

// Starts or fails as told and lists `attached` (nothing: the enumeration fails); change() is a
// wake-up that saw devices come or go.
struct FakeUsbWatch final : UsbWatch {
  bool start(std::function<void()> onChange) override {
    return change = std::move(onChange), startWorks;
  }
  std::optional<std::vector<USBDevice>> devices() override { return ++enumerations, attached; }
  bool startWorks = true;
  std::optional<std::vector<USBDevice>> attached = std::vector<USBDevice>{};
  int enumerations = 0;
  std::function<void()> change;
};

// `changed` is the bench the next look finds changed; it is handed out once.
struct FakeSettings final : Settings {
  std::optional<Desired> desired() const override { return stored; }
  void setDesired(Desired desired) override { writes.push_back(*(stored = desired)); }
  void flush() override {}
  std::optional<Bench> bench() override { return std::exchange(changed, std::nullopt); }
  std::optional<Desired> stored;
  std::vector<Desired> writes;
  std::optional<Bench> changed;
};

// The attention file's bytes (nothing: missing), counting the reads.
struct FakeAttentionSource final : AttentionSource {
  std::optional<std::string> read() override { return ++reads, bytes; }
  std::optional<std::string> bytes;
  int reads = 0;
};

}  // namespace vantorel
