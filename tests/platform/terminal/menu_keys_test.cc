#include "platform/terminal/menu_keys.h"

#include <gtest/gtest.h>

#include "statusmenu/status_menu.h"

namespace vantorel::terminal {
namespace {

using Commands = std::vector<KeyCommand>;
constexpr KeyCommand kEnter{KeyCommand::kEnter};
constexpr KeyCommand kMenu{KeyCommand::kShowMenu};
constexpr KeyCommand pick(char key) { return {KeyCommand::kPick, key}; }

TEST(MenuKeys, DigitsPickTheChoicesInOrderAndQQuitsAsTheMenuShows) {
  const Menu menu = statusMenu(Desired::rpBoot, "No matching USB device", {});
  EXPECT_EQ(menuLines(menu), (std::vector<std::string>{
                                 "Observed: No matching USB device",
                                 "  1    Want C6 boot",
                                 "  2    Want C6 normal",
                                 "  3  ✓ Want RP boot",
                                 "  4    Want RP normal",
                                 "  q    Quit",
                             }));
  const std::pair<char, std::optional<std::size_t>> keys[] = {
      {'1', 2}, {'2', 3}, {'3', 4}, {'4', 5}, {'q', 7}, {'5', {}}, {'0', {}}, {'x', {}}};
  for (const auto& [key, entry] : keys) EXPECT_EQ(entryForKey(menu, key), entry) << key;
  EXPECT_EQ(entryForKey(Menu{}, '1'), std::nullopt);
  EXPECT_EQ(menuLines(menu, "OK").back(), "  Enter  OK");
  Menu hostile;
  hostile.items.emplace_back().title = "Observed: \x1b[2J";
  EXPECT_EQ(menuLines(hostile).front(), "Observed: ^[[2J");
}

TEST(KeyDecoder, PicksEnterAndOtherKeysWithEscapeSequencesAsOneKeyEvenWhenSplit) {
  KeyDecoder keys;
  EXPECT_EQ(keys.feed("1q9Q"), (Commands{pick('1'), pick('q'), pick('9'), pick('q')}));
  EXPECT_EQ(keys.feed("\r"), (Commands{kEnter}));
  EXPECT_EQ(keys.feed("\n"), Commands{}) << "the rest of a \\r\\n pair";
  EXPECT_EQ(keys.feed("\n\n"), (Commands{kEnter, kEnter}));
  EXPECT_EQ(keys.feed("x0 é"), (Commands{kMenu})) << "one menu for a run of other keys";
  EXPECT_EQ(keys.feed("a2b"), (Commands{kMenu, pick('2'), kMenu}));

  EXPECT_EQ(keys.feed("\x1b[1;5A"), (Commands{kMenu}));           // Ctrl+Up
  EXPECT_EQ(keys.feed("\033OP2"), (Commands{kMenu, pick('2')}));  // F1, then 2
  EXPECT_EQ(keys.feed("\x1b"), (Commands{kMenu}));
  EXPECT_EQ(keys.feed("[15;2~"), Commands{});  // the rest of Shift+F5
  EXPECT_EQ(keys.feed("\0331"), (Commands{kMenu})) << "Alt+1 is not 1";
  EXPECT_EQ(keys.feed("1"), (Commands{pick('1')}));
}

}  // namespace
}  // namespace vantorel::terminal
