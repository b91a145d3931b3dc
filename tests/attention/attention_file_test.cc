// Given the bytes of the attention file, we should read exactly the five keys, each falling back
// to its default when missing, null or of another type, and refuse anything that is not a JSON
// object without crashing.

#include "attention/attention_file.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

namespace vantorel {
namespace {

nlohmann::json promptObject() {
  return {{"active", true}, {"needs_user", true}, {"request_id", "R1"}, {"action", "Hold BOOT"}};
}

std::optional<AttentionFile> parse(const nlohmann::json& object) {
  return parseAttentionFile(object.dump());
}

TEST(AttentionFileTest, CompletePromptRequestIsAsking) {
  const auto file = parse(promptObject());
  ASSERT_TRUE(file);
  EXPECT_TRUE(file->isPromptRequest());
  EXPECT_EQ(file->requestID, "R1");
  EXPECT_EQ(file->action, "Hold BOOT");
  EXPECT_EQ(file->successID, "");
}

TEST(AttentionFileTest, ActiveGivenAsTheStringTrueIsFalse) {
  auto object = promptObject();
  object["active"] = "true";
  const auto file = parse(object);
  ASSERT_TRUE(file);
  EXPECT_FALSE(file->active);
  EXPECT_FALSE(file->isPromptRequest());
}

TEST(AttentionFileTest, NumbersEqualToOneOrZeroCountAsBooleans) {
  auto object = promptObject();
  object["active"] = 1;
  object["needs_user"] = 1.0;
  EXPECT_TRUE(parse(object)->isPromptRequest());
  object["needs_user"] = 0;
  EXPECT_FALSE(parse(object)->needsUser);
  object["needs_user"] = 2;
  EXPECT_FALSE(parse(object)->needsUser);
  object["needs_user"] = -1;
  EXPECT_FALSE(parse(object)->needsUser);
}

TEST(AttentionFileTest, NeedsUserIsIgnoredWhileNotActive) {
  auto object = promptObject();
  object["active"] = false;
  const auto file = parse(object);
  EXPECT_FALSE(file->needsUser);
  EXPECT_FALSE(file->isPromptRequest());
  object.erase("active");
  EXPECT_FALSE(parse(object)->isPromptRequest());
}

TEST(AttentionFileTest, NumericIdsCountAsMissing) {
  auto object = promptObject();
  object["request_id"] = 42;
  object["success_id"] = 7;
  const auto file = parse(object);
  EXPECT_FALSE(file->requestID);
  EXPECT_FALSE(file->isPromptRequest());
  EXPECT_EQ(file->successID, "");
}

TEST(AttentionFileTest, NullTakesTheDefault) {
  const auto file = parse({{"active", nullptr},
                           {"needs_user", nullptr},
                           {"request_id", nullptr},
                           {"action", nullptr},
                           {"success_id", nullptr}});
  ASSERT_TRUE(file);
  EXPECT_FALSE(file->active);
  EXPECT_FALSE(file->requestID);
  EXPECT_FALSE(file->action);
  EXPECT_EQ(file->successID, "");
}

TEST(AttentionFileTest, EmptyActionOrRequestIdIsNotAsking) {
  auto object = promptObject();
  object["action"] = "";
  EXPECT_FALSE(parse(object)->isPromptRequest());
  object = promptObject();
  object["request_id"] = "";
  EXPECT_FALSE(parse(object)->isPromptRequest());
}

TEST(AttentionFileTest, ByteOrderMarkIsAccepted) {
  const auto file = parseAttentionFile("\xEF\xBB\xBF{\"success_id\":\"S1\"}");
  ASSERT_TRUE(file);
  EXPECT_EQ(file->successID, "S1");
}

TEST(AttentionFileTest, AnythingButAnObjectIsRefused) {
  for (const char* text : {"", "  \n", "[]", "[{\"active\":true}]", "42", "\"text\"", "true",
                           "null", "{", "{\"active\":true,}", "{} {}", "{'active':true}"}) {
    SCOPED_TRACE(text);
    EXPECT_FALSE(parseAttentionFile(text));
  }
}

TEST(AttentionFileTest, InvalidUtf8InsideAStringIsRefused) {
  EXPECT_FALSE(parseAttentionFile("{\"action\":\"Press \xC3\x28 now\",\"success_id\":\"S\"}"));
  EXPECT_FALSE(parseAttentionFile("{\"action\":\"\xED\xA0\x80\"}"));  // an encoded surrogate
}

TEST(AttentionFileTest, NulByteAfterACompleteObjectIsRefused) {
  using namespace std::string_literals;
  EXPECT_FALSE(parseAttentionFile("{\"success_id\":\"S\"}\0garbage"s));
  EXPECT_FALSE(parseAttentionFile("{\"success_id\":\"S\"}\0"s));
}

TEST(AttentionFileTest, HundredThousandLevelsOfNestingAreRefusedWithoutCrashing) {
  constexpr std::size_t kDepth = 100000;
  const std::string nested = std::string(kDepth, '[') + std::string(kDepth, ']');
  EXPECT_FALSE(parseAttentionFile(nested));
  EXPECT_FALSE(parseAttentionFile("{\"extra\":" + nested + ",\"success_id\":\"S\"}"));
  EXPECT_FALSE(parseAttentionFile(std::string(kDepth, '{')));
}

TEST(AttentionFileTest, ModerateNestingAndBracketsInsideStringsAreAccepted) {
  const std::string nested = std::string(100, '[') + std::string(100, ']');
  const std::string brackets(5000, '[');
  const auto file = parseAttentionFile("{\"extra\":" + nested + ",\"action\":\"" + brackets +
                                       "\\\"\",\"success_id\":\"S\"}");
  ASSERT_TRUE(file);
  EXPECT_EQ(file->action, brackets + "\"");
  EXPECT_EQ(file->successID, "S");
}

}  // namespace
}  // namespace vantorel
