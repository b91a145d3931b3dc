#include "cli/commands.h"

#include "cli/attention_request.h"
#include "cli/board_wait.h"
#include "cli/status_report.h"
#include "core/classification.h"
#include "core/status_view.h"
#include "core/visible_text.h"

namespace vantorel {
namespace {

using Change = std::function<std::optional<std::string>(const std::optional<std::string>&)>;

int updateAttention(CommandContext& context, const Change& change) {
  const Status updated = context.updateAttention(change);
  if (updated.ok()) return kExitDone;
  context.err << "vantorel: " << visibleText(updated.message()) << "\n";
  return kExitUsageOrIo;
}

// Runs the started `wait` for `target` to its end, and says how it ended.
int waitOn(CommandContext& context, BoardWait& wait, Observed target) {
  if (wait.outcome() == BoardWait::Outcome::waiting) context.runLoop();
  const std::string seen = wait.lastSeen() ? std::string(shortLabel(*wait.lastSeen())) : "unknown";
  switch (wait.outcome()) {
    case BoardWait::Outcome::reached:
      return kExitDone;
    case BoardWait::Outcome::unwatchable:
      context.err << "vantorel: USB cannot be watched\n";
      return kExitUsageOrIo;
    case BoardWait::Outcome::timedOut:
      context.err << "vantorel: timed out waiting for " << shortLabel(target) << " (have " << seen
                  << ")\n";
      return kExitNotMet;
    case BoardWait::Outcome::waiting:
      break;
  }
  context.err << "vantorel: interrupted waiting for " << shortLabel(target) << " (have " << seen
              << ")\n";
  return kExitNotMet;
}

}  // namespace

int ask(CommandContext& context, const AskOptions& options) {
  if (options.text.empty() || (options.id && options.id->empty())) {
    context.err << "vantorel: the text and the id must not be empty\n";
    return kExitUsageOrIo;
  }
  // A fresh id is printed once it is in the file, for the script that has to name it later.
  const std::string id = options.id ? *options.id : context.freshId();
  std::optional<BoardWait> wait;
  if (options.until) {
    wait.emplace(context.loop, context.usb, *options.until, context.bench);
    wait->start(options.timeout);
  }
  // With the board already there the user has nothing to do: the request is kept at once, for
  // the success that follows, and never prompted.
  const bool there = wait && wait->outcome() == BoardWait::Outcome::reached;
  const std::string request = there ? requestKeptText(id) : promptRequestText(id, options.text);
  if (const int status = updateAttention(context, [&](const auto&) { return request; })) {
    return status;
  }
  if (!options.id) context.out << id << std::endl;
  if (!wait || there) return kExitDone;
  const int waited = waitOn(context, *wait, *options.until);
  // No prompt of ours outlives the wait. Once the board is there the job goes on without the
  // user, and its success (`done`) then shows "Board ready"; otherwise the request is withdrawn.
  // A file that names another request by now is another script's, and stays as it is.
  const std::string after = waited == kExitDone ? requestKeptText(id) : nothingPendingText();
  const int status = updateAttention(context, [&](const std::optional<std::string>& current) {
    return namesRequest(current, id) ? std::optional(after) : std::nullopt;
  });
  return status != kExitDone ? status : waited;
}

int done(CommandContext& context, const std::optional<std::string>& id) {
  if (id && id->empty()) {
    context.err << "vantorel: the id must not be empty\n";
    return kExitUsageOrIo;
  }
  const std::string successID = id ? *id : context.freshId();
  const int status = updateAttention(context, [&](const std::optional<std::string>& current) {
    return successReportText(successID, keptRequestIn(current));
  });
  if (status != kExitDone) return status;
  if (!id) context.out << successID << std::endl;
  return kExitDone;
}

int clear(CommandContext& context) {
  return updateAttention(context, [](const auto&) { return nothingPendingText(); });
}

int status(CommandContext& context, bool json) {
  const auto devices = context.usb.devices();
  if (!devices) {
    context.err << "vantorel: USB devices cannot be enumerated\n";
    return kExitUsageOrIo;
  }
  const Desired wanted = context.settings.desired().value_or(Desired::c6Boot);
  context.out << (json ? statusReport(wanted, *devices, context.bench)
                       : statusText(wanted, *devices, context.bench));
  return kExitDone;
}

int wait(CommandContext& context, Observed target, std::optional<Duration> timeout) {
  BoardWait wait(context.loop, context.usb, target, context.bench);
  wait.start(timeout);
  const int status = waitOn(context, wait, target);
  if (status == kExitDone) context.out << shortLabel(target) << std::endl;
  return status;
}

}  // namespace vantorel
