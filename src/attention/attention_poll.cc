// The reading side of the hand-shake with the flashing tool: where the file is and one poll.

#include "attention/attention_file.h"
#include "monitor/monitor.h"

namespace vantorel {
namespace {

constexpr Seconds kGreenPeriod{3.0};
constexpr Seconds kTintRemovalDelay{3.0};
constexpr Seconds kRepromptInterval{60.0};
constexpr const char* kBesideBundle = "work/board-flash-attention.json";
constexpr const char* kInApplicationSupport = "Vantorel/board-flash-attention.json";

// The folder above `path`, as removing one path component does: "/a/b" -> "/a", "/a" -> "/".
std::string parentOf(const std::string& path) {
  std::string trimmed = path;
  while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
  const auto slash = trimmed.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return trimmed.substr(0, slash);
}

std::string joined(const std::string& folder, const std::string& relative) {
  if (!folder.empty() && folder.back() == '/') return folder + relative;
  return folder + "/" + relative;
}

}  // namespace

std::string Monitor::resolveAttentionPath(const Bundle& bundle, const Files& files) {
  const std::string besideBundle = joined(parentOf(parentOf(bundle.path())), kBesideBundle);
  if (files.exists(besideBundle)) return besideBundle;
  const std::vector<std::string> supportFolders = files.applicationSupportDirectories();
  // Backends always return at least one absolute folder. Without one there is no file to poll:
  // an empty path never opens, where a relative one would read whatever the working folder holds.
  if (supportFolders.empty() || supportFolders.front().empty()) return "";
  return joined(supportFolders.front(), kInApplicationSupport);
}

void Monitor::checkAttention() {
  const std::optional<std::string> bytes = services_.files.readSmallFile(attentionPath);
  if (!bytes) return;
  const std::optional<AttentionFile> file = parseAttentionFile(*bytes);
  if (!file) return;

  const bool newSuccess = !file->successID.empty() && file->successID != lastSuccessID;
  if (newSuccess) {
    lastSuccessID = file->successID;
    greenUntil = services_.clock.now() + kGreenPeriod;
    rebuild(false);
    services_.scheduler.after(kTintRemovalDelay, [weak = weak_from_this()] {
      if (auto self = weak.lock()) self->rebuild(false);
    });
  }

  if (file->isPromptRequest()) {
    const bool due =
        *file->requestID != requestID || services_.clock.now() - lastPrompt >= kRepromptInterval;
    if (due) {
      successPanelID.clear();
      requestID = *file->requestID;
      lastPrompt = services_.clock.now();
      showAttention(*file->action);
    }
    return;
  }

  if (newSuccess && !requestID.empty()) {
    showSuccess(file->successID);
  } else if (successPanelID.empty()) {
    closePanel();
  }
  requestID.clear();
}

}  // namespace vantorel
