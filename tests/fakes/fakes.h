#pragma once

// Fakes of the platform seams. Each records what it was asked to do in plain vectors, so tests
// compare whole histories; time and jobs move only when a test steps them.

#include <algorithm>
#include <functional>
#include <map>

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
  void clear() { jobs_.clear(); }
  std::size_t pendingJobs() const;

  std::vector<double> repeatingIntervals;  // every interval asked for
  std::vector<double> delays;              // every one-shot delay asked for

 private:
  struct Job {
    double interval;  // 0 for a one-shot job
    std::function<void()> run;
    std::shared_ptr<bool> alive;
  };
  FakeClock& clock_;
  std::multimap<Date, Job> jobs_;  // by due time, then in order of scheduling
};

class FakePreferences final : public Preferences {
 public:
  std::map<std::string, std::string, std::less<>> values;
  bool failWrites = false;
  std::vector<std::pair<std::string, std::string>> writes;

  std::optional<std::string> string(std::string_view key) const override {
    const auto it = values.find(key);
    return it == values.end() ? std::nullopt : std::optional(it->second);
  }
  bool setString(std::string_view key, std::string_view value) override {
    writes.emplace_back(key, value);
    values[std::string(key)] = value;
    return !failWrites;
  }
};

class FakeBundle final : public Bundle {
 public:
  std::string bundlePath = "/P/build/Vantorel";
  nlohmann::json info = nlohmann::json::object();
  std::string path() const override { return bundlePath; }
  nlohmann::json infoValue(std::string_view key) const override {
    return info.is_object() && info.contains(key) ? info[std::string(key)] : nlohmann::json();
  }
};

class FakeFiles final : public Files {
 public:
  std::map<std::string, std::string> contents;  // readable regular files
  std::vector<std::string> existing;            // other entries that exist
  std::vector<std::string> supportDirectories = {"/home/user/.local/share"};
  mutable std::vector<std::string> reads;

  bool exists(const std::string& path) const override {
    return contents.count(path) > 0 || std::count(existing.begin(), existing.end(), path) > 0;
  }
  std::vector<std::string> applicationSupportDirectories() const override {
    return supportDirectories;
  }
  std::optional<std::string> readSmallFile(const std::string& path) const override {
    reads.push_back(path);
    const auto it = contents.find(path);
    return it == contents.end() ? std::nullopt : std::optional(it->second);
  }
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
  std::unique_ptr<StatusItem> createItem() override {
    created.push_back(new FakeStatusItem(itemsHaveButtons));
    return std::unique_ptr<StatusItem>(created.back());
  }
  FakeStatusItem& item() { return *created.at(0); }
};

class FakeApplication final : public Application {
 public:
  ApplicationDelegate* delegate = nullptr;
  std::vector<std::string> calls;  // "setDelegate", "accessory", "run", "terminate", "activate"
  void setDelegate(ApplicationDelegate* d) override {
    delegate = d;
    calls.push_back("setDelegate");
  }
  void setActivationPolicy(ActivationPolicy policy) override {
    calls.push_back(policy == ActivationPolicy::kAccessory ? "accessory" : "regular");
  }
  int run() override {
    calls.push_back("run");
    if (delegate) delegate->applicationDidFinishLaunching();
    return 0;
  }
  void terminate() override {
    calls.push_back("terminate");
    if (delegate) delegate->applicationWillTerminate();
  }
  void activateIgnoringOtherApps() override { calls.push_back("activate"); }
};

// Records the title of every menu entry chosen; may answer a choice, as a re-render does.
class FakeMenuTarget final : public MenuTarget {
 public:
  std::vector<std::string> chosen;
  std::function<void()> onChoice;
  void performMenuAction(MenuAction, const MenuItem& sender) override {
    chosen.push_back(sender.title);
    if (onChoice) onChoice();
  }
};

// One panel and everything done to it, shared with the factory's record.
struct FakePanelRecord {
  PanelSpec layout;
  std::vector<std::string> calls;  // "center", "front", "close"
  bool onScreen = false;
  bool destroyed = false;
};

class FakePanelFactory final : public PanelFactory {
 public:
  std::vector<std::shared_ptr<FakePanelRecord>> panels;  // every panel created, in order
  std::unique_ptr<Panel> createPanel(PanelSpec layout) override;
  // Panels on screen now.
  std::vector<std::shared_ptr<FakePanelRecord>> visible() const {
    std::vector<std::shared_ptr<FakePanelRecord>> out;
    std::copy_if(panels.begin(), panels.end(), std::back_inserter(out),
                 [](const auto& panel) { return panel->onScreen; });
    return out;
  }
};

}  // namespace vantorel
