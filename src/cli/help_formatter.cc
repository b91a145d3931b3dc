#include "cli/help_formatter.h"

#include <set>
#include <sstream>
#include <vector>

namespace vantorel {
namespace {

// Where the descriptions of options and commands start.
constexpr std::size_t kNameColumns = 24;

// Columns a UTF-8 text takes, one for each code point.
std::size_t columnsOf(const std::string& text) {
  std::size_t columns = 0;
  for (const char c : text) columns += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return columns;
}

// "A. B." from "A" and "B.": sentences, each ended by a full stop unless it has its own mark.
std::string sentences(const std::vector<std::string>& parts) {
  std::string out;
  for (const std::string& part : parts) {
    if (part.empty()) continue;
    out += (out.empty() ? "" : " ") + part;
    if (out.back() != '.' && out.back() != '!' && out.back() != '?') {
      out += '.';
    }
  }
  return out;
}

// "  NAME  description", the description in its column and wrapped below it; a name too wide
// for its column stands on a line of its own.
std::string entry(const std::string& name, const std::string& description) {
  const std::string head = "  " + name;
  if (description.empty()) return head + "\n";
  std::string out = head;
  if (columnsOf(head) + 1 >= kNameColumns) {
    out += "\n" + std::string(kNameColumns, ' ');
  } else {
    out += std::string(kNameColumns - columnsOf(head), ' ');
  }
  return out + wrapped(description, kHelpColumns - kNameColumns, kNameColumns);
}

std::string names(const std::set<CLI::Option*>& options, const char* separator) {
  std::string out;
  for (const CLI::Option* option : options) {
    out += (out.empty() ? "" : separator) + option->get_name();
  }
  return out;
}

class HelpFormatter final : public CLI::Formatter {
 public:
  std::string make_option(const CLI::Option* option, bool isPositional) const override {
    std::string name = make_option_name(option, isPositional);
    if (!isPositional && !option->get_type_name().empty() && option->get_type_size() != 0) {
      name += " " + option->get_type_name();
    }
    std::vector<std::string> parts{option->get_description()};
    if (option->get_required()) parts.emplace_back("Required");
    // Both are returned by value: each is kept whole before it is walked.
    if (const auto needs = option->get_needs(); !needs.empty()) {
      parts.push_back("Only with " + names(needs, " and "));
    }
    if (const auto excludes = option->get_excludes(); !excludes.empty()) {
      parts.push_back("Not with " + names(excludes, " or "));
    }
    return entry(name, sentences(parts));
  }

  std::string make_subcommand(const CLI::App* command) const override {
    return entry(command->get_display_name(), command->get_description());
  }

  std::string make_description(const CLI::App* app) const override {
    const std::string& text = app->get_description();
    return text.empty() ? "" : wrapped(text, kHelpColumns);
  }

  std::string make_footer(const CLI::App* app) const override {
    const std::string& text = app->get_footer();
    return text.empty() ? "" : wrapped(text, kHelpColumns);
  }
};

}  // namespace

std::shared_ptr<CLI::Formatter> makeHelpFormatter() { return std::make_shared<HelpFormatter>(); }

std::string wrapped(const std::string& text, std::size_t width, std::size_t indent) {
  std::istringstream words(text);
  std::string out, line;
  for (std::string word; words >> word;) {
    if (!line.empty() && columnsOf(line) + 1 + columnsOf(word) > width) {
      out += line + "\n" + std::string(indent, ' ');
      line.clear();
    }
    line += (line.empty() ? "" : " ") + word;
  }
  return out + line + "\n";
}

}  // namespace vantorel
