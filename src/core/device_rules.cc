#include "core/device_rules.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace vantorel {
namespace {

constexpr std::array<std::pair<RuleKind, std::string_view>, 3> kKindNames = {
    {{RuleKind::ignore, "ignore"}, {RuleKind::boot, "boot"}, {RuleKind::app, "app"}}};

std::optional<std::int64_t> fourHexDigits(std::string_view text) {
  if (text.size() != 4) return std::nullopt;
  std::int64_t value = 0;
  for (const char c : text) {
    const char l = lowerAscii(c);
    int digit = 0;
    if (l >= '0' && l <= '9') {
      digit = l - '0';
    } else if (l >= 'a' && l <= 'f') {
      digit = l - 'a' + 10;
    } else {
      return std::nullopt;
    }
    value = value * 16 + digit;
  }
  return value;
}

std::string hex(std::int64_t id) {
  char digits[24];
  std::snprintf(digits, sizeof digits, "%04llx",
                static_cast<unsigned long long>(static_cast<std::uint64_t>(id)));
  return digits;
}

// The name as a shell word that reads back as itself: in double quotes, with what the shell
// treats specially inside them escaped.
std::string quoted(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\' || c == '$' || c == '`') out += '\\';
    out += c;
  }
  return out + "\"";
}

}  // namespace

std::string_view kindName(RuleKind kind) {
  for (const auto& [each, name] : kKindNames) {
    if (each == kind) return name;
  }
  return "ignore";
}

std::optional<RuleKind> ruleKindFromName(std::string_view name) {
  for (const auto& [each, text] : kKindNames) {
    if (text == name) return each;
  }
  return std::nullopt;
}

std::optional<std::pair<std::int64_t, std::int64_t>> parseIds(std::string_view text) {
  if (text.size() != 9 || text[4] != ':') return std::nullopt;
  const auto vendor = fourHexDigits(text.substr(0, 4));
  const auto product = fourHexDigits(text.substr(5));
  if (!vendor || !product) return std::nullopt;
  return std::pair{*vendor, *product};
}

std::string idsText(std::int64_t vendor, std::int64_t product) {
  return hex(vendor) + ":" + hex(product);
}

std::string ruleWords(const DeviceRule& rule) {
  std::string words = idsText(rule.vendor, rule.product) + " " + std::string(kindName(rule.kind));
  if (rule.name) words += " --name " + quoted(*rule.name);
  return words;
}

std::string removalWords(const DeviceRule& rule) {
  std::string words = idsText(rule.vendor, rule.product);
  if (rule.name) words += " --name " + quoted(*rule.name);
  return words;
}

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return lowerAscii(x) == lowerAscii(y);
         });
}

bool sameDevices(const DeviceRule& a, const DeviceRule& b) {
  if (a.vendor != b.vendor || a.product != b.product || a.name.has_value() != b.name.has_value()) {
    return false;
  }
  return !a.name || sameName(*a.name, *b.name);
}

const DeviceRule* ruleFor(const DeviceRules& rules, std::int64_t vendor, std::int64_t product,
                          std::string_view name) {
  const DeviceRule* byIds = nullptr;
  for (const DeviceRule& rule : rules) {
    if (rule.vendor != vendor || rule.product != product) continue;
    if (!rule.name) {
      if (!byIds) byIds = &rule;
    } else if (sameName(*rule.name, name)) {
      return &rule;
    }
  }
  return byIds;
}

DeviceRules withRule(DeviceRules rules, const DeviceRule& rule) {
  const auto same = std::find_if(rules.begin(), rules.end(), [&rule](const DeviceRule& each) {
    return sameDevices(each, rule);
  });
  if (same != rules.end()) {
    *same = rule;
  } else {
    rules.push_back(rule);
  }
  return rules;
}

bool removeRule(DeviceRules& rules, const DeviceRule& rule) {
  const auto before = rules.size();
  std::erase_if(rules, [&rule](const DeviceRule& each) { return sameDevices(each, rule); });
  return rules.size() != before;
}

}  // namespace vantorel
