#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "core/attention_tracker.h"
#include "core/bench.h"
#include "core/board_model.h"
#include "glib/system_edge.h"
#include "ports/main_loop.h"
#include "ports/settings.h"
#include "ports/usb_watch.h"

namespace vantorel {

// The exit statuses of every command.
enum ExitStatus : int {
  kExitDone = 0,
  kExitNotMet = 1,     // timed out, interrupted, or the condition does not hold
  kExitUsageOrIo = 2,  // a usage error, or a file or USB that could not be used
};

// What the flashing script's commands run on: the ports, and the few things that are not.
struct CommandContext {
  MainLoop& loop;
  UsbWatch& usb;
  Settings& settings;
  Bench bench;                    // the expected serial and the rules, as the program has them
  std::function<void()> runLoop;  // runs `loop` until it quits (or a signal ends it)
  // Replaces the attention file as the change says, given its current content (nothing when it
  // is missing or unreadable), with no other writer in between.
  std::function<Status(
      const std::function<std::optional<std::string>(const std::optional<std::string>&)>&)>
      updateAttention;
  std::function<std::string()> freshId;
  std::ostream& out;
  std::ostream& err;
};

struct AskOptions {
  std::string text;
  std::optional<std::string> id;  // nothing: a fresh one, printed
  std::optional<Observed> until;
  std::optional<Duration> timeout;  // only with `until`
};

// Writes a prompt request. With `until`, waits for that board state and then, if the file still
// names the request, closes its prompt: the request is kept for the success that `done` reports
// once the board is there (at once, never prompted, when it already is), and withdrawn on a
// timeout or when a signal ends the loop.
int ask(CommandContext& context, const AskOptions& options);
// Reports a success with `id`, or a fresh one (printed), answering a request that `ask` kept.
int done(CommandContext& context, const std::optional<std::string>& id);
// Withdraws any request: nothing pending.
int clear(CommandContext& context);
// Prints the wanted and the observed state with the devices and what decided each, for people
// or as JSON.
int status(CommandContext& context, bool json);
// Waits for the observed state to be `target`, printing it when it is.
int wait(CommandContext& context, Observed target, std::optional<Duration> timeout);

}  // namespace vantorel
