#include "cli/command_line.h"

#include <CLI/CLI.hpp>
#include <csignal>
#include <cstdlib>
#include <iostream>

#include "cli/bench_commands.h"
#include "cli/commands.h"
#include "cli/help_formatter.h"
#include "cli/quit.h"
#include "core/board_model.h"
#include "core/visible_text.h"
#include "linux/autostart.h"
#include "linux/bundle.h"
#include "linux/file_settings.h"
#include "linux/file_write.h"
#include "linux/glib_main_loop.h"
#include "linux/single_instance.h"
#include "linux/udev_usb_watch.h"

namespace vantorel {
namespace {

constexpr const char* kExitStatuses =
    "Exit statuses: 0 done, 1 timed out or condition not met, 2 usage or I/O error.";
constexpr double kMaxSeconds = 1e9;

// What a command's options hold once parsed; the states are checked by the validator first.
struct Options {
  bool terminal = false;
  bool verbose = false;
  std::string text;
  std::optional<std::string> id;
  std::string state;
  double seconds = -1;  // negative: no timeout
  std::optional<std::string> file;
  bool json = false;
  std::string action;
  std::string serial;
  bool attached = false;
  std::string ids;
  std::string kind;
  std::optional<std::string> name;
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

const CLI::Validator kIds(
    [](std::string& text) {
      return parseIds(text) ? std::string()
                            : "not VID:PID with four hex digits each (like 2e8a:000c): " + text;
    },
    "", "VID:PID");

std::optional<Duration> timeoutOf(const Options& options) {
  if (options.seconds < 0) return std::nullopt;
  return std::chrono::duration_cast<Duration>(std::chrono::duration<double>(options.seconds));
}

// The real ports, made once a command runs. The attention file is the one the program reads,
// found by the same code, unless --file names another.
int runCommand(const CLI::App& command, const Options& options) {
  GLibMainLoop loop;
  const std::unique_ptr<UsbWatch> usb = makeUdevUsbWatch();
  const Bundle bundle = Bundle::ofRunningProgram();
  const std::unique_ptr<Settings> settings = makeFileSettings(loop, userSettingsFolder(), bundle);
  const std::string path = options.file ? *options.file : attentionFilePath(bundle.path);
  CommandContext context{
      loop,
      *usb,
      *settings,
      settings->bench().value_or(Bench{}),
      [&loop] { loop.run(); },
      [&path, &options](const FileChange& change) {
        return path.empty() && !options.file
                   ? Status::failed("no attention file: there is no data folder; use --file")
                   : updateFileSafely(path, change);
      },
      &freshId,
      std::cout,
      std::cerr,
  };
  const std::string& name = command.get_name();
  // A request or a wait that nobody on screen follows is still worth doing (the program may start
  // later), but the person running the script should know why no prompt appears. A request
  // written to a file of its own (--file) is for another reader.
  if (((name == "ask" && !options.file) || name == "wait") && !runningInstancePid()) {
    std::cerr << "vantorel: no Vantorel is running, so nothing shows "
              << (name == "ask" ? "this request" : "the board") << " on screen; start `vantorel`"
              << " to see it (this command goes on)\n";
  }
  if (name == "ask") {
    const auto until = options.state.empty() ? std::nullopt : observedFromName(options.state);
    return ask(context, {options.text, options.id, until, timeoutOf(options)});
  }
  if (name == "done") return done(context, options.id);
  if (name == "clear") return clear(context);
  if (name == "status") {
    const int exit = status(context, options.json);
    // The JSON report is for scripts and keeps its keys; people also see the attention file.
    if (exit == kExitDone && !options.json) {
      std::cout << "Attention file: "
                << (path.empty() ? "(none: no data folder)" : visibleText(path)) << "\n";
    }
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
  const Status done = action == "on" ? enableAutostart() : disableAutostart();
  if (!done.ok()) {
    std::cerr << "vantorel: " << visibleText(done.message()) << "\n";
    return kExitUsageOrIo;
  }
  std::cout << (action == "on" ? "on: " + visibleText(autostartEntryPath()) : std::string("off"))
            << "\n";
  return kExitDone;
}

// The commands about the person's bench: rule add|remove|list, serial set|clear.
int runBench(const CLI::App& command, const Options& options) {
  const std::unique_ptr<UsbWatch> usb = makeUdevUsbWatch();
  const PreferencesFile file(userSettingsFolder());
  const Bundle bundle = Bundle::ofRunningProgram();
  BenchContext context{file, bundle, *usb, std::cout, std::cerr};
  const std::string& name = command.get_name();
  const std::string& group = command.get_parent()->get_name();
  if (group == "serial") {
    if (name == "clear") return setSerial(context, std::nullopt);
    if (options.attached) return setSerialFromAttached(context);
    return setSerial(context, options.serial);
  }
  if (name == "list") return listRules(context, options.json);
  const auto ids = *parseIds(options.ids);
  DeviceRule rule{ids.first, ids.second, options.name, RuleKind::ignore};
  if (name == "remove") return removeDeviceRule(context, rule);
  rule.kind = *ruleKindFromName(options.kind);
  return addRule(context, rule);
}

// The exit status of a command that ended with `status`, once its output is out: a command whose
// output could not be written has still done its job, but says so.
int withOutputWritten(int status) {
  if (std::cout.flush()) return status;
  std::cerr << "vantorel: the output could not be written\n";
  return status == kExitDone ? kExitUsageOrIo : status;
}

}  // namespace

int runCommandLine(int argc, char** argv, const std::function<int(bool, bool)>& runProgram) {
  // Nothing to parse: the program starts without building the whole command line first (that
  // was a third of the work before the first title line).
  if (argc <= 1) return runProgram(false, false);
  Options o;
  CLI::App app(
      "Shows the wanted and the observed USB board state in the desktop's status area, and the\n"
      "flashing tool's requests as panels. The commands are for the flashing script.",
      "vantorel");
  // Before any command is added: each command takes its formatter from the program's.
  app.formatter(makeHelpFormatter());
  app.set_version_flag("--version", "vantorel " VANTOREL_VERSION);
  app.add_flag("--terminal", o.terminal, "Run in this terminal even when a display is available");
  app.add_flag("--verbose", o.verbose, "Say at start-up which attention file is read");
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
             "Wait until the observed state is STATE, then close the prompt; the request stays "
             "for `done` (on a timeout it is withdrawn). " +
                 states)
          ->type_name("STATE")
          ->check(kStateName);
  ask->add_option("--timeout", o.seconds, "Give up after SECONDS (exit 1)")
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
  CLI::Option* serialValue =
      serialSet->add_option("SERIAL", o.serial, "As the board reports it")->type_name("");
  serialSet->add_flag("--attached", o.attached, "The serial of the one ESP32-C6 attached now")
      ->excludes(serialValue);
  serialSet->require_option(1);
  CLI::App* serialClear = serial->add_subcommand("clear", "Remove this user's setting");

  CLI::App* rule = app.add_subcommand(
      "rule", "Say what a USB device is on your bench: left out, or the RP2350 board");
  rule->require_subcommand(1);
  CLI::App* ruleAdd = rule->add_subcommand("add", "Add a rule, replacing one for the same device");
  ruleAdd->add_option("IDS", o.ids, "The device's VID:PID, four hex digits each")
      ->required()
      ->type_name("")
      ->check(kIds);
  ruleAdd
      ->add_option("KIND", o.kind,
                   "ignore (never a board), boot (\"RP likely boot\") or app (\"RP likely app\")")
      ->required()
      ->type_name("")
      ->check(CLI::IsMember({"ignore", "boot", "app"}));
  CLI::App* ruleRemove = rule->add_subcommand("remove", "Remove the rule for this device");
  ruleRemove->add_option("IDS", o.ids, "The device's VID:PID")
      ->required()
      ->type_name("")
      ->check(kIds);
  for (CLI::App* each : {ruleAdd, ruleRemove}) {
    each->add_option("--name", o.name, "Only the device with this product name (letter case aside)")
        ->type_name("NAME");
  }
  CLI::App* ruleList = rule->add_subcommand("list", "Print the rules, as typed after `rule add`");
  ruleList->add_flag("--json", o.json, "As a JSON array");

  CLI::App* quit = app.add_subcommand("quit", "End the running Vantorel (exit 1 when none runs)");

  app.footer(kExitStatuses);
  for (CLI::App* command : app.get_subcommands({})) command->footer(kExitStatuses);
  for (CLI::App* command : {serialSet, serialClear, ruleAdd, ruleRemove, ruleList}) {
    command->footer(kExitStatuses);
  }

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return app.exit(error) == 0 ? kExitDone : kExitUsageOrIo;
  }
  // A reader that went away (a script's `| true`) must not end a command halfway, leaving its
  // request standing: writing then fails instead, and the command goes on.
  if (app.get_subcommands().size() > 0) std::signal(SIGPIPE, SIG_IGN);
  if (autostart->parsed()) return withOutputWritten(runAutostart(o.action));
  if (quit->parsed()) return quitRunningInstance(std::cerr);
  for (const CLI::App* command : {serialSet, serialClear, ruleAdd, ruleRemove, ruleList}) {
    if (command->parsed()) return withOutputWritten(runBench(*command, o));
  }
  for (const CLI::App* command : {ask, done, clear, status, wait}) {
    if (command->parsed()) return withOutputWritten(runCommand(*command, o));
  }
  return runProgram(o.terminal, o.verbose);
}

}  // namespace vantorel
