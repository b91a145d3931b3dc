#include "core/attention_tracker.h"

namespace vantorel {

std::vector<AttentionStep> AttentionTracker::poll(const std::optional<AttentionFile>& file,
                                                  Instant now) {
  std::vector<AttentionStep> steps;
  if (!file) return steps;

  // The tint comes first, so the item is already green when a panel appears beside it.
  const bool newSuccess = !file->successID.empty() && file->successID != lastSuccessID_;
  if (newSuccess) {
    lastSuccessID_ = file->successID;
    greenUntil_ = now + kTint;
    steps.push_back({AttentionStep::Kind::tint, "", *greenUntil_});
  }

  if (file->isPromptRequest()) {
    const bool due =
        *file->requestID != requestID_ || !lastPrompt_ || now - *lastPrompt_ >= kReprompt;
    if (due) {
      // A prompt replaces the ready panel, whose pending expiry must then leave the prompt alone.
      successPanelID_.clear();
      requestID_ = *file->requestID;
      lastPrompt_ = now;
      panel_ = Panel::prompt;
      steps.push_back({AttentionStep::Kind::prompt, *file->action});
    }
    return steps;
  }

  // A request this program's own command kept stands as outstanding while the file names it
  // alone, also when its prompt was never seen, so the job's success still shows "Board ready";
  // a new success beside it is that success. Flashing tools never write the key.
  const bool kept = !file->keptRequest.empty();
  if (kept && (file->successID.empty() || newSuccess)) requestID_ = file->keptRequest;

  if (newSuccess && !requestID_.empty()) {
    successPanelID_ = file->successID;
    panel_ = Panel::ready;
    steps.push_back({AttentionStep::Kind::ready, file->successID});
  } else if (successPanelID_.empty() && panel_ == Panel::prompt) {
    panel_ = Panel::none;
    steps.push_back({AttentionStep::Kind::closePanel, "", {}});
  }
  if (kept && file->successID.empty()) {
    // The user has answered it: should the job need the user again, the prompt comes at once.
    lastPrompt_.reset();
  } else {
    requestID_.clear();
  }
  return steps;
}

void AttentionTracker::dismissed() {
  if (panel_ == Panel::prompt) panel_ = Panel::none;
}

std::vector<AttentionStep> AttentionTracker::readyExpired(const std::string& successID) {
  if (successID.empty() || successID != successPanelID_) return {};
  successPanelID_.clear();
  if (panel_ != Panel::ready) return {};
  panel_ = Panel::none;
  return {{AttentionStep::Kind::closePanel, "", {}}};
}

bool AttentionTracker::tinted(Instant now) const { return greenUntil_ && now < *greenUntil_; }

}  // namespace vantorel
