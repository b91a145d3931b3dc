#include "app/controller.h"

#include <utility>

#include "core/attention_file.h"
#include "core/classification.h"

namespace vantorel {

std::shared_ptr<Controller> Controller::create(const Ports& ports) {
  return std::shared_ptr<Controller>(new Controller(ports));
}

Controller::Controller(const Ports& ports)
    : ports_(ports), desired_(ports.settings.desired().value_or(Desired::c6Boot)) {}

void Controller::start() {
  if (auto bench = ports_.settings.bench()) bench_ = std::move(*bench);
  // A rule or serial changed by a command or by hand applies within one tick, without a restart.
  pollTimer_ = ports_.loop.every(kPollInterval, [weak = weak_from_this()] {
    if (auto self = weak.lock()) {
      self->rereadBench();
      self->checkAttention();
    }
  });
  checkAttention();
  // The watch may outlive the controller: its callback holds it weakly too.
  const bool watching = ports_.usb.start([weak = weak_from_this()] {
    if (auto self = weak.lock()) self->refresh();
  });
  if (watching) {
    refresh();
  } else {
    // Decided once: there is no retry, so the error stays for the whole run.
    watchFailed_ = true;
  }
  started_ = true;
  render();
}

void Controller::choose(Choice choice) {
  if (choice.kind == Choice::Kind::quit) {
    ports_.loop.quit();
    return;
  }
  // Stored again even when unchanged, so an outside edit of the file does not outlive a choice;
  // drawn again too: a front end may have toggled the entry on its own.
  desired_ = choice.desired;
  ports_.settings.setDesired(desired_);
  render();
}

void Controller::checkAttention() {
  const std::optional<std::string> bytes = ports_.attention.read();
  const std::optional<AttentionFile> file =
      bytes ? parseAttentionFile(*bytes) : std::optional<AttentionFile>();
  apply(tracker_.poll(file, ports_.loop.now()));
}

void Controller::apply(const std::vector<AttentionStep>& steps) {
  for (const AttentionStep& step : steps) {
    switch (step.kind) {
      case AttentionStep::Kind::tint:
        render();
        endTintAt(step.until);
        break;
      case AttentionStep::Kind::prompt:
        ports_.frontEnd.prompt(step.action, [weak = weak_from_this(), panel = step.panel] {
          if (auto self = weak.lock()) self->apply(self->tracker_.dismissed(panel));
        });
        break;
      case AttentionStep::Kind::ready:
        ports_.frontEnd.ready();
        readyTimer_ = ports_.loop.after(AttentionTracker::kReadyLife,
                                        [weak = weak_from_this(), panel = step.panel] {
                                          if (auto self = weak.lock()) {
                                            self->apply(self->tracker_.readyExpired(panel));
                                          }
                                        });
        break;
      case AttentionStep::Kind::closePanel:
        ports_.frontEnd.closePanel();
        break;
    }
  }
}

void Controller::endTintAt(Instant until) {
  // A timer may fire a little early; the tint must still end, so an early one waits out the rest.
  tintTimer_ = ports_.loop.after(until - ports_.loop.now(), [weak = weak_from_this(), until] {
    auto self = weak.lock();
    if (!self) return;
    if (self->ports_.loop.now() < until) {
      self->endTintAt(until);  // replaces this job: nothing of it is touched afterwards
    } else {
      self->render();
    }
  });
}

void Controller::refresh() {
  std::optional<std::vector<USBDevice>> devices = ports_.usb.devices();
  watchFailed_ = !devices;
  if (devices) {
    observed_ = observed(*devices, bench_);
    devices_ = std::move(devices);
  }
  render();
}

void Controller::rereadBench() {
  auto bench = ports_.settings.bench();
  if (!bench) return;
  bench_ = std::move(*bench);
  if (!devices_) return;
  observed_ = observed(*devices_, bench_);
  render();
}

void Controller::render() {
  if (!started_) return;
  const std::optional<Observed> seen =
      watchFailed_ ? std::nullopt : std::optional<Observed>(observed_);
  ports_.frontEnd.show(statusView(desired_, seen, tracker_.tinted(ports_.loop.now())));
}

}  // namespace vantorel
