// Given the texts a flashing script writes, we should read back, with the program's own parser,
// exactly the request, the success or the nothing it meant, whatever bytes the id and text hold.

#include "cli/attention_request.h"

#include <gtest/gtest.h>

#include "core/attention_file.h"

namespace vantorel {
namespace {

// Read back as "<prompt?> <active?> <request id> <action> <success id>".
std::string readBack(const std::string& text) {
  const auto file = parseAttentionFile(text);
  if (!file) return "refused";
  return std::to_string(file->isPromptRequest()) + " " + std::to_string(file->active) + " " +
         file->requestID.value_or("-") + " " + file->action.value_or("-") + " " + file->successID;
}

TEST(AttentionRequestTest, EveryTextReadsBackAsMeant) {
  const std::string odd = "say \"hi\" \\ {}[] \n\t\x01\x1f\x7f \xC2\xB7\xF0\x9F\x94\x8C";
  const std::string bad = "\xEF\xBF\xBD";  // what bytes that are no UTF-8 become
  const std::pair<std::string, std::string> rows[] = {
      {promptRequestText("id " + odd, odd), "1 1 id " + odd + " " + odd + " "},
      {requestSatisfiedText("r7"), "0 1 r7 - "},
      {successReportText("job-\xC3\xA9\\42"), "0 0 - - job-\xC3\xA9\\42"},
      {nothingPendingText(), "0 0 - - "},
  };
  for (const auto& [text, expected] : rows) EXPECT_EQ(readBack(text), expected) << text;
  // Bytes that are no UTF-8 would make the whole file unreadable: they become U+FFFD.
  for (const std::string text : {"a \xFF", "\xC0\xAF", "\xED\xA0\x80", "end \xE2\x82"}) {
    EXPECT_TRUE(readBack(promptRequestText("r", text)).starts_with("1 1 r ")) << text;
    EXPECT_NE(readBack(promptRequestText("r", text)).find(bad), std::string::npos) << text;
  }
}

}  // namespace
}  // namespace vantorel
