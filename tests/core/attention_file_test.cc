// Given the bytes of the attention file, we should read the five keys, each at its default when
// missing, null or of another type, and refuse whatever is not one JSON object.

#include "core/attention_file.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

using namespace vantorel;

using namespace std::string_literals;

// A prompt request beside a nested extra key, whose action (an escaped quote and more brackets
// than may nest) must not count as nesting.
const std::string kPrompt = R"({"extra":[[[{}]]],"active":true,"needs_user":true,"request_id":)"
                            R"("R1","success_id":"S1","action":"\")" +
                            std::string(600, '[') + "\"}";

// The prompt request with the keys of `change` in place of its own.
static std::string with(const char* change) {
  nlohmann::json object = nlohmann::json::parse(kPrompt);
  object.update(nlohmann::json::parse(change));
  return object.dump();
}

TEST(AttentionFileTest, ReadsWellTypedKeysAndRefusesAnythingButOneObject) {
  const std::string deep(100000, '[');
  const std::pair<std::string, std::string> rows[] = {
      {"{}", "- "},
      {kPrompt, "prompt S1"},
      {"\xEF\xBB\xBF" + kPrompt, "prompt S1"},
      {with(R"({"active":1,"needs_user":1.0})"), "prompt S1"},
      {with(R"({"active":"true"})"), "- S1"},
      {with(R"({"needs_user":2})"), "- S1"},
      {with(R"({"request_id":42})"), "- S1"},
      {with(R"({"action":null})"), "- S1"},
      {with(R"({"action":""})"), "- S1"},
      {with(R"({"success_id":7})"), "prompt "},
      {"[{}]", "refused"},
      {"{}\0"s, "refused"},
      {"{\"x\":" + deep + std::string(100000, ']') + "}", "refused"},
  };
  for (const auto& [bytes, expected] : rows) {
    SCOPED_TRACE(bytes.substr(0, 60));
    const std::optional<AttentionFile> file = parseAttentionFile(bytes);
    EXPECT_EQ(!file ? "refused" : (file->isPromptRequest() ? "prompt " : "- ") + file->successID,
              expected);
  }
}
