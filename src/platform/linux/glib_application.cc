#include "platform/linux/glib_application.h"

#include <glib-unix.h>

#include <csignal>

namespace vantorel {

GLibApplication::GLibApplication() : loop_(g_main_loop_new(nullptr, FALSE)) {
  auto onSignal = [](gpointer self) -> gboolean {
    static_cast<GLibApplication*>(self)->terminate();
    return G_SOURCE_CONTINUE;
  };
  signalSources_[0] = g_unix_signal_add(SIGINT, onSignal, this);
  signalSources_[1] = g_unix_signal_add(SIGTERM, onSignal, this);
  // The terminal or session went away: end as orderly as on SIGTERM.
  signalSources_[2] = g_unix_signal_add(SIGHUP, onSignal, this);
}

GLibApplication::~GLibApplication() {
  for (guint source : signalSources_) {
    if (source != 0) g_source_remove(source);
  }
  g_main_loop_unref(loop_);
}

int GLibApplication::run() {
  // Terminated before the loop ever ran: never launch, and leave no source behind that would
  // outlive this object.
  if (terminating_) return 0;
  // Launching happens inside the loop, as the first thing it dispatches.
  g_idle_add_full(
      G_PRIORITY_HIGH,
      [](gpointer self) -> gboolean {
        auto* app = static_cast<GLibApplication*>(self);
        if (app->delegate_ && !app->terminating_) app->delegate_->applicationDidFinishLaunching();
        return G_SOURCE_REMOVE;
      },
      this, nullptr);
  g_main_loop_run(loop_);
  return 0;
}

void GLibApplication::terminate() {
  if (terminating_) return;
  terminating_ = true;
  if (delegate_) delegate_->applicationWillTerminate();
  g_main_loop_quit(loop_);
}

}  // namespace vantorel
