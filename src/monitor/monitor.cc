#include "monitor/monitor.h"

namespace vantorel {
namespace {

Desired initialDesired(const Preferences& preferences) {
  const std::string stored = preferences.string(Monitor::kDesiredKey).value_or("");
  return desiredFromRawValue(stored).value_or(Desired::c6Boot);
}

std::optional<std::string> initialC6Serial(const Bundle& bundle) {
  const nlohmann::json value = bundle.infoValue(Monitor::kC6SerialKey);
  if (!value.is_string()) return std::nullopt;
  return value.get<std::string>();
}

constexpr Seconds kAttentionPollInterval{1.0};

}  // namespace

std::shared_ptr<Monitor> Monitor::create(const Services& services) {
  return std::shared_ptr<Monitor>(new Monitor(services));
}

Monitor::Monitor(const Services& services)
    : services_(services),
      desired(initialDesired(services.preferences)),
      attentionPath(resolveAttentionPath(services.bundle, services.files)),
      c6Serial(initialC6Serial(services.bundle)) {}

Monitor::~Monitor() = default;

void Monitor::applicationDidFinishLaunching() {
  item = services_.statusBar.createItem();
  attentionTimer = services_.scheduler.repeating(kAttentionPollInterval, [weak = weak_from_this()] {
    if (auto self = weak.lock()) self->checkAttention();
  });
  checkAttention();
  startWatcher();
}

void Monitor::applicationWillTerminate() { stopWatcher(); }

void Monitor::performMenuAction(MenuAction action, const MenuItem& sender) {
  if (action == MenuAction::kSelectDesired) selectDesired(sender);
}

}  // namespace vantorel
