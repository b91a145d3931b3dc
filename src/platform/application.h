#pragma once

namespace vantorel {

// Receives the application's launch and termination.
class ApplicationDelegate {
 public:
  virtual ~ApplicationDelegate() = default;
  virtual void applicationDidFinishLaunching() = 0;
  virtual void applicationWillTerminate() = 0;
};

enum class ActivationPolicy {
  kRegular,
  kAccessory,  // no main window of its own: the status item is the whole interface
};

// The application object and its event loop. The real one runs the GLib main loop.
class Application {
 public:
  virtual ~Application() = default;
  // Not owned; must outlive run().
  virtual void setDelegate(ApplicationDelegate* delegate) = 0;
  virtual void setActivationPolicy(ActivationPolicy policy) = 0;
  // Calls the delegate's applicationDidFinishLaunching from inside the loop and runs the loop
  // until terminate(). Returns the process exit status.
  virtual int run() = 0;
  // Calls the delegate's applicationWillTerminate, then ends the loop. Safe to call more than
  // once; only the first call has an effect.
  virtual void terminate() = 0;
  // Brings the application's windows in front of other applications'.
  virtual void activateIgnoringOtherApps() = 0;
};

}  // namespace vantorel
