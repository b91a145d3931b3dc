#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vantorel::terminal {

// Everything the terminal front end shows, written to one output. Lines handed in must already be
// printable (see text.h); colours are added here or by the caller's ANSI style.
//
// On a terminal the bottom of the screen is a live region: the menu when asked for, the panel on
// screen, then the status line, which stays the last line with the cursor at its end. A change
// erases the live region and draws it again, so a closed panel disappears and the status line is
// rewritten in place; other output (the menu) goes above it and scrolls away normally.
//
// Elsewhere (a log, a pipe) nothing is ever erased: the status line is printed anew each time it
// visibly changes, with " [green]" appended while it is tinted; a panel is printed once when
// shown, and closing it prints one line saying so.
//
// Each flush hands the sink one whole write. Output waiting for a flush is bounded by kMaxPending
// bytes: past it the oldest whole lines go. This is the front end's one bound on its output: its
// owner flushes only once the previous write has gone out, so a reader that falls behind gets
// the latest state and the newest log lines, never a backlog.
class Screen {
 public:
  static constexpr std::size_t kMaxPending = 64 * 1024;
  using Sink = std::function<void(std::string_view)>;
  // `columns` is the terminal's current width, 0 when unknown.
  Screen(Sink sink, bool terminal, std::function<std::size_t()> columns);

  bool terminal() const { return terminal_; }
  std::size_t columns() const;

  void setStatus(std::string title, bool green);
  // Shows the panel `lines`, replacing the one shown. `closedLine` is what a log gets when it goes.
  void showPanel(std::vector<std::string> lines, std::string closedLine);
  // Takes the panel off; nothing when none is shown.
  void closePanel();
  // Adds lines above the live region (on a terminal) or to the log.
  void print(const std::vector<std::string>& lines);
  // On a terminal: shows the menu `lines` at the top of the live region, where it is redrawn
  // with every change instead of scrolling away with what it once said; none when empty.
  void setMenu(std::vector<std::string> lines);
  // Replaces the lines of the panel shown, if any, keeping what a log was told.
  void redrawPanel(std::vector<std::string> lines);
  // The terminal now has columns() columns: what is on screen is taken to have been re-wrapped
  // to them, as terminals do, and the live region is drawn anew at the next flush.
  void resized();

  // Writes out every change since the last call, if any.
  void flush();
  // Flushes, then detaches.
  void finish();
  // Leaves the live region on screen as it is and ends its last line, so whatever others print
  // next starts on a line of its own; the next flush draws the live region anew below.
  void detach();

 private:
  std::string statusLine() const;
  void commitStatusToLog();
  void addPending(const std::string& line);

  Sink sink_;
  const bool terminal_;
  std::function<std::size_t()> columns_;

  std::string title_;
  bool green_ = false;
  bool statusSet_ = false;
  bool panelShown_ = false;
  std::vector<std::string> panel_;
  std::string closedLine_;
  std::vector<std::string> menu_;

  std::string pending_;  // output above the live region, or the log, not yet written
  bool liveChanged_ = false;
  std::size_t drawnRows_ = 0;       // rows the live region takes on screen; 0: not drawn
  std::vector<std::string> drawn_;  // the lines of the live region on screen
  std::string loggedStatus_;
  bool statusLogged_ = false;
};

}  // namespace vantorel::terminal
