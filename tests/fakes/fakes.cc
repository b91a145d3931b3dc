#include "fakes/fakes.h"

#include <algorithm>


namespace vantorel {
namespace {

class FakeJobHandle final : public ScheduledJob {
 public:
  explicit FakeJobHandle(std::shared_ptr<bool> alive) : alive_(std::move(alive)) {}
  ~FakeJobHandle() override { *alive_ = false; }

 private:
  std::shared_ptr<bool> alive_;
};

class FakePanel final : public Panel {
 public:
  explicit FakePanel(std::shared_ptr<FakePanelRecord> record) : record_(std::move(record)) {}
  ~FakePanel() override { record_->destroyed = true; }
  void center() override { record_->calls.push_back("center"); }
  void makeKeyAndOrderFront() override {
    record_->calls.push_back("front");
    record_->onScreen = true;
  }
  void close() override {
    record_->calls.push_back("close");
    record_->onScreen = false;
  }

 private:
  std::shared_ptr<FakePanelRecord> record_;
};

}  // namespace

std::unique_ptr<ScheduledJob> FakeScheduler::repeating(Seconds interval,
                                                       std::function<void()> tick) {
  repeatingIntervals.push_back(interval.count());
  auto alive = std::make_shared<bool>(true);
  jobs_.push_back({clock_.current + interval, interval.count(), std::move(tick), alive,
                   nextOrder_++});
  return std::make_unique<FakeJobHandle>(alive);
}

void FakeScheduler::after(Seconds delay, std::function<void()> job) {
  delays.push_back(delay.count());
  jobs_.push_back({clock_.current + delay, 0.0, std::move(job), std::make_shared<bool>(true),
                   nextOrder_++});
}

void FakeScheduler::advance(double seconds) {
  const Date end = clock_.current + Seconds{seconds};
  for (;;) {
    std::erase_if(jobs_, [](const Job& job) { return !*job.alive; });
    auto next = std::min_element(jobs_.begin(), jobs_.end(), [](const Job& a, const Job& b) {
      return a.due < b.due || (a.due == b.due && a.order < b.order);
    });
    if (next == jobs_.end() || next->due > end) break;
    clock_.current = std::max(clock_.current, next->due);
    std::function<void()> run = next->run;
    if (next->interval > 0) {
      next->due += Seconds{next->interval};
      next->order = nextOrder_++;
    } else {
      jobs_.erase(next);
    }
    run();
  }
  clock_.current = end;
}

void FakeScheduler::clear() { jobs_.clear(); }

std::size_t FakeScheduler::pendingJobs() const {
  return static_cast<std::size_t>(
      std::count_if(jobs_.begin(), jobs_.end(), [](const Job& job) { return *job.alive; }));
}

std::optional<std::string> FakePreferences::string(std::string_view key) const {
  const auto it = values.find(key);
  if (it == values.end()) return std::nullopt;
  return it->second;
}

bool FakePreferences::setString(std::string_view key, std::string_view value) {
  writes.emplace_back(std::string(key), std::string(value));
  values[std::string(key)] = std::string(value);
  return !failWrites;
}

nlohmann::json FakeBundle::infoValue(std::string_view key) const {
  if (!info.is_object()) return nullptr;
  const auto it = info.find(key);
  return it == info.end() ? nlohmann::json() : *it;
}

bool FakeFiles::exists(const std::string& path) const {
  return contents.count(path) > 0 ||
         std::find(existing.begin(), existing.end(), path) != existing.end();
}

std::vector<std::string> FakeFiles::applicationSupportDirectories() const {
  return supportDirectories;
}

std::optional<std::string> FakeFiles::readSmallFile(const std::string& path) const {
  reads.push_back(path);
  const auto it = contents.find(path);
  if (it == contents.end()) return std::nullopt;
  return it->second;
}

std::unique_ptr<StatusItem> FakeStatusBar::createItem() {
  auto item = std::make_unique<FakeStatusItem>(itemsHaveButtons);
  created.push_back(item.get());
  return item;
}

void FakeApplication::setDelegate(ApplicationDelegate* d) {
  delegate = d;
  calls.push_back("setDelegate");
}

void FakeApplication::setActivationPolicy(ActivationPolicy policy) {
  calls.push_back(policy == ActivationPolicy::kAccessory ? "accessory" : "regular");
}

int FakeApplication::run() {
  calls.push_back("run");
  if (delegate) delegate->applicationDidFinishLaunching();
  return 0;
}

void FakeApplication::terminate() {
  calls.push_back("terminate");
  if (delegate) delegate->applicationWillTerminate();
}

std::unique_ptr<Panel> FakePanelFactory::createPanel(PanelSpec spec) {
  auto record = std::make_shared<FakePanelRecord>();
  record->spec = std::move(spec);
  panels.push_back(record);
  return std::make_unique<FakePanel>(record);
}

std::vector<std::shared_ptr<FakePanelRecord>> FakePanelFactory::visible() const {
  std::vector<std::shared_ptr<FakePanelRecord>> out;
  for (const auto& panel : panels) {
    if (panel->onScreen) out.push_back(panel);
  }
  return out;
}

}  // namespace vantorel
