// Given the bytes of the attention file, we should read the five keys, each falling back to its
// default when missing, null or of another type, whatever else the object holds.

#include "attention/attention_file.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

namespace vantorel {
namespace {

TEST(AttentionFileTest, OnlyWellTypedKeysMakeARequest) {
  // Nested values and brackets inside strings are fine; only the five keys are read.
  const std::string brackets(5000, '[');
  const nlohmann::json prompt = {
      {"extra", nlohmann::json::parse(std::string(100, '[') + std::string(100, ']'))},
      {"active", true},
      {"needs_user", true},
      {"request_id", "R1"},
      {"action", "\"" + brackets}};
  struct Row {
    const char* change;
    bool asking;
  };
  for (const Row& row : {Row{"{}", true}, Row{R"({"active":"true"})", false},
                         Row{R"({"active":1,"needs_user":1.0})", true},
                         Row{R"({"needs_user":0})", false}, Row{R"({"needs_user":2})", false},
                         Row{R"({"needs_user":-1})", false}, Row{R"({"active":false})", false},
                         Row{R"({"request_id":42})", false}, Row{R"({"request_id":""})", false},
                         Row{R"({"action":""})", false}, Row{R"({"action":null})", false},
                         Row{R"({"active":null})", false}, Row{R"({"request_id":null})", false},
                         Row{R"({"success_id":7})", true}, Row{R"({"success_id":null})", true}}) {
    SCOPED_TRACE(row.change);
    nlohmann::json object = prompt;
    object.update(nlohmann::json::parse(row.change));
    const auto file = parseAttentionFile(object.dump());
    ASSERT_TRUE(file);
    EXPECT_EQ(file->isPromptRequest(), row.asking);
    EXPECT_EQ(file->successID, "");  // never a number or null
    if (row.asking) {
      EXPECT_EQ(file->action, "\"" + brackets);
    }
  }
}

}  // namespace
}  // namespace vantorel
