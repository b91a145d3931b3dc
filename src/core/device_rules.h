#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantorel {

// What a person's rule makes of a device: left out (never a candidate), or the RP2350 board in
// its bootloader or running an application.
enum class RuleKind { ignore, boot, app };

// A person's rule about the devices with these ids and, when `name` is set, this product name
// (compared as the built-in names are: whole string, ASCII letter case ignored).
struct DeviceRule {
  std::int64_t vendor = 0;
  std::int64_t product = 0;
  std::optional<std::string> name;
  RuleKind kind = RuleKind::ignore;
  bool operator==(const DeviceRule&) const = default;
};

using DeviceRules = std::vector<DeviceRule>;

// "ignore", "boot", "app".
std::string_view kindName(RuleKind kind);
std::optional<RuleKind> ruleKindFromName(std::string_view name);

// "VID:PID", each exactly four hex digits in any letter case; nothing for anything else.
std::optional<std::pair<std::int64_t, std::int64_t>> parseIds(std::string_view text);
// "2e8a:000c": at least four lower-case hex digits each.
std::string idsText(std::int64_t vendor, std::int64_t product);
// The words that add the rule, as typed after "vantorel rule add":
// `2e8a:000c ignore` or `2e8a:0005 app --name "Board in FS mode"`.
std::string ruleWords(const DeviceRule& rule);
// The words that remove it, as typed after "vantorel rule remove": the same without the kind.
std::string removalWords(const DeviceRule& rule);

// ASCII lower-casing: the names compared against are ASCII, and bytes outside ASCII are left as
// they are, so UTF-8 text never matches by accident.
char lowerAscii(char c);
// Both compare names as the classification does: whole strings, ASCII letter case ignored.
bool sameName(std::string_view a, std::string_view b);
// True when the two rules are about the same devices (ids, and name or no name): one replaces
// the other.
bool sameDevices(const DeviceRule& a, const DeviceRule& b);

// The rule that decides `vendor`:`product` named `name`: one with this name wins over one
// without; nothing when none is about it.
const DeviceRule* ruleFor(const DeviceRules& rules, std::int64_t vendor, std::int64_t product,
                          std::string_view name);

// `rules` with `rule` in place of any about the same devices, else at the end.
DeviceRules withRule(DeviceRules rules, const DeviceRule& rule);
// `rules` without the one about the same devices as `rule`; false when there was none.
bool removeRule(DeviceRules& rules, const DeviceRule& rule);

}  // namespace vantorel
