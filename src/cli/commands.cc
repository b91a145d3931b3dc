#include "cli/commands.h"

#include "cli/attention_request.h"
#include "cli/board_wait.h"
#include "cli/status_report.h"
#include "core/classification.h"
#include "core/status_view.h"
#include "core/visible_text.h"

namespace vantorel {
namespace {

int writeAttention(CommandContext& context, const std::string& text) {
  const std::string error = context.writeAttention(text);
  if (error.empty()) return kExitDone;
  context.err << "vantorel: " << visibleText(error) << "\n";
  return kExitUsageOrIo;
}

int waitOn(CommandContext& context, Observed target, std::optional<Duration> timeout) {
  BoardWait wait(context.loop, context.usb, target, context.c6Serial);
  wait.start(timeout);
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
  if (const int status = writeAttention(context, promptRequestText(id, options.text))) {
    return status;
  }
  if (!options.id) context.out << id << std::endl;
  if (!options.until) return kExitDone;
  const int waited = waitOn(context, *options.until, options.timeout);
  // No prompt outlives the wait. Once the board is there the job goes on without the user, and
  // its success (`done`) then shows "Board ready"; otherwise the request is withdrawn.
  const std::string after = waited == kExitDone ? requestSatisfiedText(id) : nothingPendingText();
  if (const int status = writeAttention(context, after)) return status;
  return waited;
}

int done(CommandContext& context, const std::optional<std::string>& id) {
  if (id && id->empty()) {
    context.err << "vantorel: the id must not be empty\n";
    return kExitUsageOrIo;
  }
  const std::string successID = id ? *id : context.freshId();
  if (const int status = writeAttention(context, successReportText(successID))) return status;
  if (!id) context.out << successID << std::endl;
  return kExitDone;
}

int clear(CommandContext& context) { return writeAttention(context, nothingPendingText()); }

int status(CommandContext& context, bool json) {
  const auto devices = context.usb.devices();
  if (!devices) {
    context.err << "vantorel: USB devices cannot be enumerated\n";
    return kExitUsageOrIo;
  }
  const Desired wanted = context.settings.desired().value_or(Desired::c6Boot);
  if (json) {
    context.out << statusReport(wanted, *devices, context.c6Serial);
  } else {
    context.out << statusView(wanted, observed(*devices, context.c6Serial), false).title << "\n";
  }
  return kExitDone;
}

int wait(CommandContext& context, Observed target, std::optional<Duration> timeout) {
  const int status = waitOn(context, target, timeout);
  if (status == kExitDone) context.out << shortLabel(target) << std::endl;
  return status;
}

}  // namespace vantorel
