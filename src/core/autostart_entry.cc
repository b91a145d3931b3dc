#include "core/autostart_entry.h"

namespace vantorel {
namespace {

// One argument of the Exec key's value: in double quotes, in which ", `, $ and \ take a backslash;
// '%' starts a field code and is doubled. The value is then a string, whose own escaping doubles
// every backslash again.
std::string quotedArgument(std::string_view executable) {
  std::string value = "\"";
  for (const char c : executable) {
    if (c == '"' || c == '`' || c == '$') {
      value += "\\\\";
      value += c;
    } else if (c == '\\') {
      value += "\\\\\\\\";
    } else if (c == '%') {
      value += "%%";
    } else {
      value += c;
    }
  }
  return value + "\"";
}

// The Exec key's value. Readers check that the program is there before expanding the field codes
// ("%%" to "%"), so a program path that holds '%' cannot come first: the shell runs it, named
// as its $0.
std::string execValue(std::string_view executable) {
  if (executable.find('%') == std::string_view::npos) return quotedArgument(executable);
  return R"(/bin/sh -c "exec \\"\\$0\\"" )" + quotedArgument(executable);
}

}  // namespace

std::optional<std::string> autostartEntry(std::string_view executable) {
  if (executable.empty() || executable.front() != '/') return std::nullopt;
  for (const char c : executable) {
    if (static_cast<unsigned char>(c) < 0x20 || c == '\x7f') return std::nullopt;
  }
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Vantorel\n"
         "Comment=Shows the wanted and the attached development board in the status area\n"
         "Exec=" +
         execValue(executable) +
         "\n"
         "Icon=vantorel\n"
         "Terminal=false\n"
         "X-GNOME-Autostart-enabled=true\n";
}

}  // namespace vantorel
