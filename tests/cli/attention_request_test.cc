// Given the texts a flashing script writes, we should read back, with the program's own parser,
// exactly the request, the success or the nothing it meant, whatever bytes the id and text hold.

#include "cli/attention_request.h"

#include <gtest/gtest.h>

#include "core/attention_file.h"

namespace vantorel {
namespace {

TEST(AttentionRequestTest, PromptRequestReadsBackWithItsIdAndTextIntact) {
  for (const std::string text : {"Hold BOOT \xC2\xB7 \xE2\x82\xAC \xF0\x9F\x94\x8C",
                                 "say \"hi\" \\ {}[] \n\t\x01\x1f\x7f end"}) {
    const auto file = parseAttentionFile(promptRequestText("id \"" + text, text));
    ASSERT_TRUE(file) << text;
    EXPECT_TRUE(file->isPromptRequest());
    EXPECT_EQ(file->requestID, "id \"" + text);
    EXPECT_EQ(file->action, text);
    EXPECT_EQ(file->successID, "");
  }
  // Bytes that are no UTF-8 would make the whole file unreadable: they become U+FFFD.
  for (const std::string text : {"a \xFF", "\xC0\xAF", "\xED\xA0\x80", "end \xE2\x82"}) {
    const auto file = parseAttentionFile(promptRequestText("r1", text));
    ASSERT_TRUE(file) << text;
    EXPECT_TRUE(file->isPromptRequest());
    EXPECT_NE(file->action->find("\xEF\xBF\xBD"), std::string::npos);
  }
}

TEST(AttentionRequestTest, SatisfiedRequestStillNamesTheRequestButAsksNothing) {
  const auto file = parseAttentionFile(requestSatisfiedText("r7"));
  ASSERT_TRUE(file);
  EXPECT_FALSE(file->isPromptRequest());
  EXPECT_TRUE(file->active);
  EXPECT_EQ(file->requestID, "r7");
}

TEST(AttentionRequestTest, SuccessAndNothingPendingAskForNothing) {
  const auto success = parseAttentionFile(successReportText("job-\xC3\xA9\\42"));
  ASSERT_TRUE(success);
  EXPECT_FALSE(success->isPromptRequest());
  EXPECT_EQ(success->successID, "job-\xC3\xA9\\42");
  const auto nothing = parseAttentionFile(nothingPendingText());
  ASSERT_TRUE(nothing);
  EXPECT_FALSE(nothing->isPromptRequest() || nothing->active || nothing->requestID);
  EXPECT_EQ(nothing->successID, "");
}

}  // namespace
}  // namespace vantorel
