#pragma once

#include <cstdint>
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
    prompt,      // show "Board action needed" with `action`, replacing any panel; its OK calls
                 // dismissed(panel)
    ready,       // show the green "Board ready" panel, replacing any panel; call
                 // readyExpired(panel) kReadyLife later
    closePanel,  // take the panel off the screen
  };
  Kind kind = Kind::closePanel;
  std::string action;     // prompt only
  std::uint64_t panel{};  // prompt and ready: the number of the panel shown
  Instant until{};        // tint only

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
  // The user pressed OK on prompt `panel` (or dismissed it): closes it if it is still the one
  // shown; the request stands.
  std::vector<AttentionStep> dismissed(std::uint64_t panel);
  // Ready panel `panel` has been up kReadyLife: closes it if it is still the one shown.
  std::vector<AttentionStep> readyExpired(std::uint64_t panel);
  // True while the status item is to be drawn green.
  bool tinted(Instant now) const;

 private:
  enum class Panel { none, prompt, ready };

  // Closes the panel shown if it is `panel` of kind `kind`.
  std::vector<AttentionStep> closeIf(std::uint64_t panel, Panel kind);

  // The one answer to which panel is up: its kind and its number. Every panel shown gets a new
  // number, so a late OK or expiry of one that is gone or replaced does nothing.
  Panel panel_ = Panel::none;
  std::uint64_t panelNumber_ = 0;
  std::string requestID_;
  std::optional<Instant> lastPrompt_;
  std::string lastSuccessID_;
  std::optional<Instant> greenUntil_;
};

}  // namespace vantorel
