// Given where the program is, we should write an entry whose Exec runs exactly that path, and
// none for a path no entry can hold.

#include "core/autostart_entry.h"

#include <gtest/gtest.h>

using namespace vantorel;

TEST(AutostartEntryTest, ExecRunsThePathAsItIs) {
  const std::pair<std::string, std::optional<std::string>> rows[] = {
      {"/opt/V/bin/vantorel", R"(Exec="/opt/V/bin/vantorel")"},
      {"/a b/$HOME/`x`/\"q\"/c\\d", R"(Exec="/a b/\\$HOME/\\`x\\`/\\"q\\"/c\\\\d")"},
      // Readers look for the program before they expand "%%": the shell runs it.
      {"/a b/100%/$x", R"(Exec=/bin/sh -c "exec \\"\\$0\\"" "/a b/100%%/\\$x")"},
      {"bin/vantorel", std::nullopt},
      {"/a\nb", std::nullopt},
  };
  for (const auto& [path, exec] : rows) {
    const auto entry = autostartEntry(path);
    ASSERT_EQ(entry.has_value(), exec.has_value()) << path;
    if (!entry) continue;
    EXPECT_TRUE(entry->starts_with("[Desktop Entry]\nType=Application\n"));
    EXPECT_NE(entry->find("\n" + *exec + "\n"), std::string::npos) << *entry;
  }
}
