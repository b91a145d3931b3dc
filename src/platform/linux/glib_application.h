#pragma once

#include <glib.h>

#include "platform/application.h"

namespace vantorel {

// The application on the GLib main loop (the default context, shared with GTK). SIGINT, SIGTERM
// and SIGHUP end it through terminate(), so shut-down always runs.
class GLibApplication final : public Application {
 public:
  GLibApplication();
  ~GLibApplication() override;
  GLibApplication(const GLibApplication&) = delete;
  GLibApplication& operator=(const GLibApplication&) = delete;

  void setDelegate(ApplicationDelegate* delegate) override { delegate_ = delegate; }
  void setActivationPolicy(ActivationPolicy policy) override { policy_ = policy; }
  int run() override;
  void terminate() override;
  void activateIgnoringOtherApps() override {}

  ActivationPolicy activationPolicy() const { return policy_; }

 private:
  ApplicationDelegate* delegate_ = nullptr;
  ActivationPolicy policy_ = ActivationPolicy::kRegular;
  GMainLoop* loop_;
  guint signalSources_[3] = {0, 0, 0};
  bool terminating_ = false;
};

}  // namespace vantorel
