#include "cli/command_line.h"

#include <CLI/CLI.hpp>
#include <cstdlib>
#include <iostream>

#include "cli/commands.h"
#include "core/board_names.h"
#include "core/visible_text.h"
#include "linux/autostart.h"
#include "linux/bundle.h"
#include "linux/expected_c6_serial.h"
#include "linux/file_settings.h"
#include "linux/fresh_id.h"
#include "linux/glib_main_loop.h"
#include "linux/safe_file_write.h"
#include "linux/udev_usb_watch.h"

namespace vantorel {
namespace {

constexpr const char* kExitStatuses =
    "Exit statuses: 0 done, 1 timed out or condition not met, 2 usage or I/O error.";
constexpr double kMaxSeconds = 1e9;

// What a command's options hold once parsed; the states are checked by the validator first.
struct Options {
  bool terminal = false;
  std::string text;
  std::optional<std::string> id;
  std::string state;
  double seconds = -1;  // negative: no timeout
  std::optional<std::string> file;
  bool json = false;
  std::string action;
  std::string serial;
};

const CLI::Validator kStateName(
    [](std::string& name) {
      return observedFromName(name) ? std::string()
                                    : "unknown state \"" + name + "\"; one of " + observedNames();
    },
    "", "STATE");

const CLI::Validator kSeconds(
    [](std::string& text) {
      char* end = nullptr;
      const double value = std::strtod(text.c_str(), &end);
      const bool valid = !text.empty() && *end == '\0' && value >= 0 && value <= kMaxSeconds;
      return valid ? std::string() : "not a number of seconds: " + text;
    },
    "", "SECONDS");

std::optional<Duration> timeoutOf(const Options& options) {
  if (options.seconds < 0) return std::nullopt;
  return std::chrono::duration_cast<Duration>(std::chrono::duration<double>(options.seconds));
}

// The real ports, made once a command runs. The attention file is the one the program reads,
// found by the same code, unless --file names another.
int runCommand(const CLI::App& command, const Options& options) {
  GLibMainLoop loop;
  const std::unique_ptr<UsbWatch> usb = makeUdevUsbWatch();
  const std::unique_ptr<Settings> settings = makeFileSettings(loop, userSettingsFolder());
  const Bundle bundle = Bundle::ofRunningProgram();
  const ExpectedC6Serial serial = expectedC6Serial(bundle, userSettingsFolder());
  const std::string path = options.file ? *options.file : attentionFilePath(bundle.path);
  CommandContext context{
      loop,
      *usb,
      *settings,
      serial.value,
      [&loop] { loop.run(); },
      [&path, &options](const std::string& text) {
        return path.empty() && !options.file
                   ? "no attention file: there is no data folder; use --file"
                   : writeFileSafely(path, text);
      },
      &freshId,
      std::cout,
      std::cerr,
  };
  const std::string& name = command.get_name();
  if (name == "ask") {
    const auto until = options.state.empty() ? std::nullopt : observedFromName(options.state);
    return ask(context, {options.text, options.id, until, timeoutOf(options)});
  }
  if (name == "done") return done(context, options.id);
  if (name == "clear") return clear(context);
  if (name == "status") {
    const int exit = status(context, options.json);
    // The JSON report is for scripts and keeps its keys; people also see the serial's origin.
    if (exit == kExitDone && !options.json) std::cout << visibleText(describe(serial)) << "\n";
    return exit;
  }
  return wait(context, *observedFromName(options.state), timeoutOf(options));
}

int runAutostart(const std::string& action) {
  if (action == "status") {
    const bool on = autostartEnabled();
    std::cout << (on ? "on: " + visibleText(autostartEntryPath()) : std::string("off")) << "\n";
    return on ? kExitDone : kExitNotMet;
  }
  const std::string error = action == "on" ? enableAutostart() : disableAutostart();
  if (!error.empty()) {
    std::cerr << "vantorel: " << visibleText(error) << "\n";
    return kExitUsageOrIo;
  }
  std::cout << (action == "on" ? "on: " + visibleText(autostartEntryPath()) : std::string("off"))
            << "\n";
  return kExitDone;
}

// Sets or clears the user's expected C6 serial and prints the serial now in effect, which is the
// bundle's when the bundle has one.
int runSerial(const std::optional<std::string>& serial) {
  if (serial && serial->empty()) {
    std::cerr << "vantorel: the serial must not be empty; `vantorel serial clear` removes it\n";
    return kExitUsageOrIo;
  }
  const std::string folder = userSettingsFolder();
  if (const std::string error = storeUserC6Serial(folder, serial); !error.empty()) {
    std::cerr << "vantorel: " << visibleText(error) << "\n";
    return kExitUsageOrIo;
  }
  const ExpectedC6Serial now = expectedC6Serial(Bundle::ofRunningProgram(), folder);
  std::cout << visibleText(describe(now)) << "\n";
  if (serial && now.source == ExpectedC6Serial::Source::bundle) {
    std::cerr << "vantorel: stored, but this program's bundle names a serial, and that one wins\n";
  }
  return kExitDone;
}

}  // namespace

int runCommandLine(int argc, char** argv, const std::function<int(bool)>& runProgram) {
  Options o;
  CLI::App app(
      "Shows the wanted and the observed USB board state in the desktop's status area, and the\n"
      "flashing tool's requests as panels. The commands are for the flashing script.",
      "vantorel");
  app.set_version_flag("--version", "vantorel " VANTOREL_VERSION);
  app.add_flag("--terminal", o.terminal, "Run in this terminal even when a display is available");
  app.require_subcommand(0, 1);
  const std::string fileHelp = "The attention file (default: the one the program reads)";
  const std::string states =
      "The observed state as shown, in any case, spaces or hyphens: one of " + observedNames();

  CLI::App* ask = app.add_subcommand("ask", "Ask the user to do something with the board");
  ask->add_option("TEXT", o.text, "The sentence the prompt shows")->required()->type_name("");
  ask->add_option("--id", o.id, "The request's id (default: a fresh one, printed)")
      ->type_name("ID");
  CLI::Option* until =
      ask->add_option(
             "--until", o.state,
             "Wait until the observed state is STATE, then withdraw the request; " + states)
          ->type_name("STATE")
          ->check(kStateName);
  ask->add_option("--timeout", o.seconds, "With --until: give up after SECONDS (exit 1)")
      ->type_name("SECONDS")
      ->check(kSeconds)
      ->needs(until);
  ask->add_option("--file", o.file, fileHelp)->type_name("PATH");

  CLI::App* done = app.add_subcommand("done", "Report a success: green tint, \"Board ready\"");
  done->add_option("--id", o.id, "The success's id (default: a fresh one, printed)")
      ->type_name("ID");
  done->add_option("--file", o.file, fileHelp)->type_name("PATH");

  CLI::App* clear = app.add_subcommand("clear", "Withdraw any request: nothing pending");
  clear->add_option("--file", o.file, fileHelp)->type_name("PATH");

  CLI::App* status = app.add_subcommand("status", "Print the wanted and the observed state");
  status->add_flag("--json", o.json, "As one JSON object, with every relevant device");

  CLI::App* wait = app.add_subcommand("wait", "Wait until the observed state is STATE");
  wait->add_option("STATE", o.state, states)->required()->type_name("")->check(kStateName);
  wait->add_option("--timeout", o.seconds, "Give up after SECONDS (exit 1)")
      ->type_name("SECONDS")
      ->check(kSeconds);

  CLI::App* autostart = app.add_subcommand("autostart", "Start the program at login, or not");
  autostart->add_option("ACTION", o.action, "on, off or status (exit 1 when off)")
      ->required()
      ->type_name("")
      ->check(CLI::IsMember({"on", "off", "status"}));

  CLI::App* serial = app.add_subcommand(
      "serial", "Set the expected ESP32-C6 serial for this user (the bundle's wins)");
  serial->require_subcommand(1);
  CLI::App* serialSet = serial->add_subcommand("set", "Expect the board with this serial");
  serialSet->add_option("SERIAL", o.serial, "As the board reports it")->required()->type_name("");
  serial->add_subcommand("clear", "Remove this user's setting");

  app.footer(kExitStatuses);
  for (CLI::App* command : app.get_subcommands({})) command->footer(kExitStatuses);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return app.exit(error) == 0 ? kExitDone : kExitUsageOrIo;
  }
  if (autostart->parsed()) return runAutostart(o.action);
  if (serial->parsed()) {
    return runSerial(serialSet->parsed() ? std::optional(o.serial) : std::nullopt);
  }
  for (const CLI::App* command : {ask, done, clear, status, wait}) {
    if (command->parsed()) return runCommand(*command, o);
  }
  return runProgram(o.terminal);
}

}  // namespace vantorel
