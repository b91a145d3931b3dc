#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/attention_file.h"

// The prompt's rules in time: what the hand-shake with the flashing tool asks to show, and which
// key presses may answer a panel just shown. No I/O: time comes in as values.

namespace vantorel {

// Points on the monotonic clock. Intervals (the tint, the re-prompt, the ready panel's life)
// are measured on it, so a wall clock stepped back or forth never stretches or skips them.
using Instant = std::chrono::steady_clock::time_point;
using Duration = std::chrono::steady_clock::duration;

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

// Which key presses a panel that has just taken the focus may act on. A person typing in another
// window when the panel appears would otherwise answer it with their next Return or Space before
// ever reading it. So no key acts before the panel is on screen or during its first second there,
// and a key held down from before (its auto-repeated presses) acts only after it was let go.
// Keys are hardware key codes, the same for a press and its release whatever the modifiers.
class KeyGuard {
 public:
  static constexpr Duration kQuiet = std::chrono::seconds(1);

  // The panel is on screen from `at`, with `held` down at that moment (where the system tells).
  void shown(Instant at, const std::vector<unsigned>& held = {});
  // Whether a press of `key` at `at` may act.
  bool press(unsigned key, Instant at);
  void release(unsigned key);

 private:
  std::optional<Instant> shownAt_;
  std::set<unsigned> held_;  // pressed before the panel could be read, and not yet let go
};

}  // namespace vantorel
