// The program: one main loop, one controller for the life of the process, and the backends it
// is wired to. With a display the front end is the desktop module; otherwise, or with
// --terminal, the terminal. A command on the command line (for a flashing script) runs instead.

#include <cstdio>
#include <memory>
#include <string>

#include "app/controller.h"
#include "cli/command_line.h"
#include "core/visible_text.h"
#include "linux/bundle.h"
#include "linux/desktop_loader.h"
#include "linux/file_read.h"
#include "linux/file_settings.h"
#include "linux/glib_main_loop.h"
#include "linux/single_instance.h"
#include "linux/udev_usb_watch.h"
#include "terminal/terminal_front_end.h"

namespace {

int runProgram(bool forceTerminal, bool verbose) {
  using namespace vantorel;

  // One Vantorel per user: a second start would show a second item and stack a second prompt on
  // the first. Held until the process ends. A lock that cannot be used at all does not keep the
  // program from running.
  const InstanceClaim claim = claimInstance();
  if (claim.runningPid) {
    std::fprintf(stderr,
                 "vantorel: Vantorel is already running (process %ld); not starting "
                 "another (`vantorel quit` ends it)\n",
                 *claim.runningPid);
    return 0;
  }
  if (!claim.lock) {
    std::fprintf(stderr, "vantorel: cannot tell whether Vantorel already runs (%s)\n",
                 claim.error.c_str());
  }

  GLibMainLoop loop;
  const Bundle bundle = Bundle::ofRunningProgram();
  const std::string attentionPath = attentionFilePath(bundle.path);
  // A path can be any length: the line is asked for (`vantorel status` names the file too). Paths
  // come from the environment: their controls are shown, never sent to the terminal.
  if (verbose) {
    std::fprintf(
        stderr, "vantorel: reading the attention file %s\n",
        attentionPath.empty() ? "(none: no data folder)" : visibleText(attentionPath).c_str());
  }

  // Menu choices reach the controller once it exists, and never after it is gone.
  std::weak_ptr<Controller> controller;
  auto onChoice = [&controller](Choice choice) {
    if (auto self = controller.lock()) self->choose(choice);
  };
  std::unique_ptr<FrontEnd> frontEnd;
  if (!forceTerminal) frontEnd = loadDesktopFrontEnd(bundle.path, onChoice);
  if (!frontEnd) frontEnd = makeTerminalFrontEnd(onChoice);

  const std::unique_ptr<UsbWatch> usb = makeUdevUsbWatch();
  const std::unique_ptr<Settings> settings = makeFileSettings(loop, userSettingsFolder(), bundle);
  const std::unique_ptr<AttentionSource> attention = makeAttentionFileSource(attentionPath);

  const std::shared_ptr<Controller> running =
      Controller::create(Ports{loop, *frontEnd, *usb, *settings, *attention});
  controller = running;
  running->start();
  loop.run();
  // The last choice made before quitting is on disk before the program ends.
  settings->flush();
  return 0;
}

}  // namespace

int main(int argc, char** argv) { return vantorel::runCommandLine(argc, argv, &runProgram); }
