#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/attention_file.h"
#include "core/instant.h"

namespace vantorel {

// One thing the hand-shake asks of the controller.
struct AttentionStep {
  enum class Kind {
    tint,        // tint the status item green until `until` (render now, and again then)
    prompt,      // show "Board action needed" with `text`, replacing any panel
    ready,       // show the green "Board ready" panel for success `text`, replacing any panel;
                 // call readyExpired(text) kReadyLife later
    closePanel,  // take the panel off the screen
  };
  Kind kind = Kind::closePanel;
  std::string text;
  Instant until{};

  friend bool operator==(const AttentionStep&, const AttentionStep&) = default;
};

// The reading side of the hand-shake with the flashing tool, as a state machine with no I/O: fed
// each poll of the attention file and the time, it says what to show. A request is prompted when
// its id is new, and again kReprompt after the previous prompt while it stands, whether or not
// the user pressed OK. A new success id tints the item for kTint and, if a request was
// outstanding, shows the ready panel, which closes itself after kReadyLife unless something else
// took its place. A file that asks for nothing closes a prompt (never the ready panel) and
// withdraws the request, unless it holds the "kept_request" marker that only this program's own
// commands write: that request stands, answered, and its job's success shows the ready panel.
class AttentionTracker {
 public:
  static constexpr Duration kTint = std::chrono::seconds(3);
  static constexpr Duration kReprompt = std::chrono::seconds(60);
  static constexpr Duration kReadyLife = std::chrono::seconds(3);

  // One poll: `file` is the parsed file, or nothing when it is missing, unreadable or invalid
  // (such a poll changes nothing).
  std::vector<AttentionStep> poll(const std::optional<AttentionFile>& file, Instant now);
  // The user pressed OK on the prompt (or dismissed it): the panel is gone, the request stands.
  void dismissed();
  // The ready panel for `successID` has been up kReadyLife: closes it if it is still the one
  // shown.
  std::vector<AttentionStep> readyExpired(const std::string& successID);
  // True while the status item is to be drawn green.
  bool tinted(Instant now) const;

 private:
  enum class Panel { none, prompt, ready };

  Panel panel_ = Panel::none;
  std::string requestID_;
  std::optional<Instant> lastPrompt_;
  std::string lastSuccessID_;
  std::optional<Instant> greenUntil_;
  std::string successPanelID_;
};

}  // namespace vantorel
