#pragma once

#include <algorithm>
#include <functional>
#include <map>
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
