#include "core/attention_tracker.h"

namespace vantorel {
namespace {

AttentionStep step(AttentionStep::Kind kind, std::string action = {}, std::uint64_t panel = 0,
                   Instant until = {}) {
  return {kind, std::move(action), panel, until};
}

}  // namespace

std::vector<AttentionStep> AttentionTracker::poll(const std::optional<AttentionFile>& file,
                                                  Instant now) {
  std::vector<AttentionStep> steps;
  if (!file) return steps;

  // The tint comes first, so the item is already green when a panel appears beside it.
  const bool newSuccess = !file->successID.empty() && file->successID != lastSuccessID_;
  if (newSuccess) {
    lastSuccessID_ = file->successID;
    greenUntil_ = now + kTint;
    steps.push_back(step(AttentionStep::Kind::tint, "", 0, *greenUntil_));
  }

  if (file->isPromptRequest()) {
    const bool due =
        *file->requestID != requestID_ || !lastPrompt_ || now - *lastPrompt_ >= kReprompt;
    if (due) {
      // A prompt replaces the ready panel, whose pending expiry then leaves the prompt alone.
      requestID_ = *file->requestID;
      lastPrompt_ = now;
      panel_ = Panel::prompt;
      steps.push_back(step(AttentionStep::Kind::prompt, *file->action, ++panelNumber_));
    }
    return steps;
  }

  // A request this program's own command kept stands as outstanding while the file names it
  // alone, also when its prompt was never seen, so the job's success still shows "Board ready";
  // a new success beside it is that success. Flashing tools never write the key.
  const bool kept = !file->keptRequest.empty();
  if (kept && (file->successID.empty() || newSuccess)) requestID_ = file->keptRequest;

  if (newSuccess && !requestID_.empty()) {
    panel_ = Panel::ready;
    steps.push_back(step(AttentionStep::Kind::ready, "", ++panelNumber_));
  } else if (panel_ == Panel::prompt) {
    panel_ = Panel::none;
    steps.push_back(step(AttentionStep::Kind::closePanel));
  }
  if (kept && file->successID.empty()) {
    // The user has answered it: should the job need the user again, the prompt comes at once.
    lastPrompt_.reset();
  } else {
    requestID_.clear();
  }
  return steps;
}

std::vector<AttentionStep> AttentionTracker::dismissed(std::uint64_t panel) {
  return closeIf(panel, Panel::prompt);
}

std::vector<AttentionStep> AttentionTracker::readyExpired(std::uint64_t panel) {
  return closeIf(panel, Panel::ready);
}

std::vector<AttentionStep> AttentionTracker::closeIf(std::uint64_t panel, Panel kind) {
  if (panel != panelNumber_ || panel_ != kind) return {};
  panel_ = Panel::none;
  return {step(AttentionStep::Kind::closePanel)};
}

bool AttentionTracker::tinted(Instant now) const { return greenUntil_ && now < *greenUntil_; }

void KeyGuard::shown(Instant at, const std::vector<unsigned>& held) {
  shownAt_ = at;
  held_.insert(held.begin(), held.end());
}

bool KeyGuard::press(unsigned key, Instant at) {
  if (!shownAt_ || at - *shownAt_ < kQuiet) {
    held_.insert(key);
    return false;
  }
  return !held_.contains(key);
}

void KeyGuard::release(unsigned key) { held_.erase(key); }

}  // namespace vantorel
