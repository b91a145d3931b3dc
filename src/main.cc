// The program: one main loop, one controller for the life of the process, and the backends it
// is wired to. With a display the front end is the desktop module; otherwise, or with
// --terminal, the terminal. A command on the command line (for a flashing script) runs instead.

#include <cstdio>
#include <memory>
#include <string>

#include "app/controller.h"
#include "cli/command_line.h"
#include "core/visible_text.h"
#include "linux/attention_file_source.h"
#include "linux/bundle.h"
#include "linux/desktop_loader.h"
#include "linux/expected_c6_serial.h"
#include "linux/file_settings.h"
#include "linux/glib_main_loop.h"
#include "linux/udev_usb_watch.h"
#include "terminal/terminal_front_end.h"

namespace {

int runProgram(bool forceTerminal) {
  using namespace vantorel;

  GLibMainLoop loop;
  const Bundle bundle = Bundle::ofRunningProgram();
  const std::string attentionPath = attentionFilePath(bundle.path);
  // Paths come from the environment: their controls are shown, never sent to the terminal.
  std::fprintf(
      stderr, "vantorel: reading the attention file %s\n",
      attentionPath.empty() ? "(none: no data folder)" : visibleText(attentionPath).c_str());

  // Menu choices reach the controller once it exists, and never after it is gone.
  std::weak_ptr<Controller> controller;
  auto onChoice = [&controller](Choice choice) {
    if (auto self = controller.lock()) self->choose(choice);
  };
  std::unique_ptr<FrontEnd> frontEnd;
  if (!forceTerminal) frontEnd = loadDesktopFrontEnd(bundle.path, onChoice);
  if (!frontEnd) frontEnd = makeTerminalFrontEnd(onChoice);

  const std::unique_ptr<UsbWatch> usb = makeUdevUsbWatch();
  const std::unique_ptr<Settings> settings = makeFileSettings(loop, userSettingsFolder());
  const std::unique_ptr<AttentionSource> attention = makeAttentionFileSource(attentionPath);

  const std::shared_ptr<Controller> running =
      Controller::create(Ports{loop, *frontEnd, *usb, *settings, *attention},
                         expectedC6Serial(bundle, userSettingsFolder()).value);
  controller = running;
  running->start();
  const int status = loop.run();
  // The last choice made before quitting is on disk before the program ends.
  settings->flush();
  return status;
}

}  // namespace

int main(int argc, char** argv) { return vantorel::runCommandLine(argc, argv, &runProgram); }
