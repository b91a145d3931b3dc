#include "glib/glib_handles.h"

#include <glib-unix.h>

namespace vantorel {
namespace {

// The std::function behind a source: freed by GLib when the source goes, however it goes.
struct SourceCall {
  std::function<gboolean()> call;
  static gboolean run(gpointer data) { return static_cast<SourceCall*>(data)->call(); }
  static gboolean runOnFd(gint, GIOCondition, gpointer data) { return run(data); }
  static void destroy(gpointer data) { delete static_cast<SourceCall*>(data); }
};

}  // namespace

SourceHandle addTimeout(guint intervalMs, std::function<gboolean()> call) {
  return SourceHandle(g_timeout_add_full(G_PRIORITY_DEFAULT, intervalMs, &SourceCall::run,
                                         new SourceCall{std::move(call)}, &SourceCall::destroy));
}

SourceHandle addIdle(std::function<gboolean()> call) {
  return SourceHandle(g_idle_add_full(G_PRIORITY_DEFAULT_IDLE, &SourceCall::run,
                                      new SourceCall{std::move(call)}, &SourceCall::destroy));
}

SourceHandle watchFd(int fd, GIOCondition condition, std::function<gboolean()> call) {
  const auto all = static_cast<GIOCondition>(condition | G_IO_HUP | G_IO_ERR);
  return SourceHandle(g_unix_fd_add_full(G_PRIORITY_DEFAULT, fd, all, &SourceCall::runOnFd,
                                         new SourceCall{std::move(call)}, &SourceCall::destroy));
}

SourceHandle watchSignal(int signal, std::function<gboolean()> call) {
  return SourceHandle(g_unix_signal_add_full(G_PRIORITY_DEFAULT, signal, &SourceCall::run,
                                             new SourceCall{std::move(call)},
                                             &SourceCall::destroy));
}

}  // namespace vantorel
