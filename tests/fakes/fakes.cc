#include "fakes/fakes.h"

namespace vantorel {
namespace {

struct FakeJobHandle final : ScheduledJob {
  explicit FakeJobHandle(std::shared_ptr<bool> alive) : alive(std::move(alive)) {}
  ~FakeJobHandle() override { *alive = false; }
  std::shared_ptr<bool> alive;
};

struct FakePanel final : Panel {
  explicit FakePanel(std::shared_ptr<FakePanelRecord> record) : record(std::move(record)) {}
  ~FakePanel() override { record->destroyed = true; }
  void center() override { record->calls.push_back("center"); }
  void makeKeyAndOrderFront() override {
    record->calls.push_back("front");
    record->onScreen = true;
  }
  void close() override {
    record->calls.push_back("close");
    record->onScreen = false;
  }
  std::shared_ptr<FakePanelRecord> record;
};

}  // namespace

std::unique_ptr<ScheduledJob> FakeScheduler::repeating(Seconds interval,
                                                       std::function<void()> tick) {
  repeatingIntervals.push_back(interval.count());
  auto alive = std::make_shared<bool>(true);
  jobs_.emplace(clock_.current + interval, Job{interval.count(), std::move(tick), alive});
  return std::make_unique<FakeJobHandle>(alive);
}

void FakeScheduler::after(Seconds delay, std::function<void()> job) {
  delays.push_back(delay.count());
  jobs_.emplace(clock_.current + delay, Job{0.0, std::move(job), std::make_shared<bool>(true)});
}

void FakeScheduler::advance(double seconds) {
  const Date end = clock_.current + Seconds{seconds};
  while (!jobs_.empty() && jobs_.begin()->first <= end) {
    const auto [due, job] = *jobs_.begin();
    jobs_.erase(jobs_.begin());
    if (!*job.alive) continue;
    clock_.current = std::max(clock_.current, due);
    if (job.interval > 0) jobs_.emplace(due + Seconds{job.interval}, job);
    job.run();
  }
  clock_.current = end;
}

std::size_t FakeScheduler::pendingJobs() const {
  return static_cast<std::size_t>(std::count_if(
      jobs_.begin(), jobs_.end(), [](const auto& entry) { return *entry.second.alive; }));
}

std::unique_ptr<Panel> FakePanelFactory::createPanel(PanelSpec layout) {
  auto record = std::make_shared<FakePanelRecord>();
  record->layout = std::move(layout);
  panels.push_back(record);
  return std::make_unique<FakePanel>(record);
}

}  // namespace vantorel
