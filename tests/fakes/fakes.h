#pragma once

// Fakes of the platform seams. Each records what it was asked to do in plain vectors, so tests
// compare whole histories; time and jobs move only when a test steps them.

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/application.h"
#include "platform/bundle.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/panel.h"
#include "platform/preferences.h"
#include "platform/scheduler.h"
#include "platform/status_item.h"

namespace vantorel {

class FakeClock final : public Clock {
 public:
  // An arbitrary, realistic start (2026-12-06T10:00:00Z).
  Date current{Seconds{1796551200.0}};
  Date now() const override { return current; }
  void advance(double seconds) { current += Seconds{seconds}; }
};

// Runs jobs only when the test advances it, in due order, with the clock it shares.
class FakeScheduler final : public Scheduler {
 public:
  explicit FakeScheduler(FakeClock& clock) : clock_(clock) {}
  std::unique_ptr<ScheduledJob> repeating(Seconds interval, std::function<void()> tick) override;
  void after(Seconds delay, std::function<void()> job) override;

  // Moves the clock forward by `seconds`, running every job that falls due on the way, each at
  // its due time.
  void advance(double seconds);
  // Drops every pending job without running it.
  void clear();

  std::vector<double> repeatingIntervals;  // every interval asked for
  std::vector<double> delays;              // every one-shot delay asked for
  std::size_t pendingJobs() const;

 private:
  struct Job {
    Date due;
    double interval;  // 0 for a one-shot job
    std::function<void()> run;
    std::shared_ptr<bool> alive;
    std::uint64_t order;
  };
  FakeClock& clock_;
  std::vector<Job> jobs_;
  std::uint64_t nextOrder_ = 0;
};

class FakePreferences final : public Preferences {
 public:
  std::map<std::string, std::string, std::less<>> values;
  bool failWrites = false;
  std::vector<std::pair<std::string, std::string>> writes;

  std::optional<std::string> string(std::string_view key) const override;
  bool setString(std::string_view key, std::string_view value) override;
};

class FakeBundle final : public Bundle {
 public:
  std::string bundlePath = "/P/build/Vantorel";
  nlohmann::json info = nlohmann::json::object();
  std::string path() const override { return bundlePath; }
  nlohmann::json infoValue(std::string_view key) const override;
};

class FakeFiles final : public Files {
 public:
  std::map<std::string, std::string> contents;  // readable regular files
  std::vector<std::string> existing;            // other entries that exist
  std::vector<std::string> supportDirectories = {"/home/user/.local/share"};
  mutable std::vector<std::string> reads;

  bool exists(const std::string& path) const override;
  std::vector<std::string> applicationSupportDirectories() const override;
  std::optional<std::string> readSmallFile(const std::string& path) const override;
};

// What one status item was shown, render by render.
struct FakeRender {
  std::string title;
  bool green = false;
  std::string toolTip;
  std::string accessibilityLabel;
};

class FakeStatusItem final : public StatusItem, public StatusButton {
 public:
  explicit FakeStatusItem(bool hasButton) : hasButton_(hasButton) {}
  StatusButton* button() override { return hasButton_ ? this : nullptr; }
  void setMenu(Menu menu) override { menus.push_back(std::move(menu)); }
  void setTitle(const std::string& title) override { current.title = title; }
  void setGreenTint(bool green) override { current.green = green; }
  void setToolTip(const std::string& toolTip) override { current.toolTip = toolTip; }
  std::string toolTip() const override { return current.toolTip; }
  void setAccessibilityLabel(const std::string& label) override {
    current.accessibilityLabel = label;
  }

  FakeRender current;
  std::vector<Menu> menus;  // one per render, in order

 private:
  bool hasButton_;
};

class FakeStatusBar final : public StatusBar {
 public:
  bool itemsHaveButtons = true;
  std::vector<FakeStatusItem*> created;  // owned by the controller
  std::unique_ptr<StatusItem> createItem() override;
  FakeStatusItem& item() { return *created.at(0); }
};

class FakeApplication final : public Application {
 public:
  ApplicationDelegate* delegate = nullptr;
  std::vector<std::string> calls;  // "setDelegate", "accessory", "run", "terminate", "activate"
  void setDelegate(ApplicationDelegate* d) override;
  void setActivationPolicy(ActivationPolicy policy) override;
  int run() override;
  void terminate() override;
  void activateIgnoringOtherApps() override { calls.push_back("activate"); }
};

// One panel and everything done to it, shared with the factory's record.
struct FakePanelRecord {
  PanelSpec spec;
  std::vector<std::string> calls;  // "center", "front", "close"
  bool onScreen = false;
  bool destroyed = false;
};

class FakePanelFactory final : public PanelFactory {
 public:
  std::vector<std::shared_ptr<FakePanelRecord>> panels;  // every panel created, in order
  std::unique_ptr<Panel> createPanel(PanelSpec spec) override;
  // Panels on screen now.
  std::vector<std::shared_ptr<FakePanelRecord>> visible() const;
};

}  // namespace vantorel
