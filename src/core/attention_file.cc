#include "core/attention_file.h"

#include <nlohmann/json.hpp>

namespace vantorel {
namespace {

// JSON true/false, or a number equal to 1 or 0; anything else is `false`.
bool booleanValue(const nlohmann::json& object, const char* key) {
  const auto it = object.find(key);
  if (it == object.end()) return false;
  if (it->is_boolean()) return it->get<bool>();
  if (it->is_number()) return it->get<double>() == 1.0;
  return false;
}

std::optional<std::string> stringValue(const nlohmann::json& object, const char* key) {
  const auto it = object.find(key);
  if (it == object.end() || !it->is_string()) return std::nullopt;
  return it->get<std::string>();
}

// The parser builds every nested value before it can fail, so a 1 MiB run of "[" would cost
// tens of megabytes and most of a second on every poll. The file holds five flat keys; text
// nested deeper than this is refused before parsing. A NUL byte is never valid JSON, yet the
// parser would stop at one and accept what came before it.
constexpr int kMaxNesting = 512;

bool withinStructuralLimits(std::string_view text) {
  int depth = 0;
  bool inString = false;
  bool escaped = false;
  for (const char c : text) {
    if (c == '\0') return false;
    if (inString) {
      if (escaped) {
        escaped = false;
      } else if (c == '\\') {
        escaped = true;
      } else if (c == '"') {
        inString = false;
      }
    } else if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      if (++depth > kMaxNesting) return false;
    } else if (c == ']' || c == '}') {
      if (--depth < 0) return false;  // closes more than it opened: invalid anyway
    }
  }
  return true;
}

}  // namespace

bool AttentionFile::isPromptRequest() const {
  return active && needsUser && requestID && !requestID->empty() && action && !action->empty();
}

std::optional<nlohmann::json> parseJsonObject(std::string_view text) {
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  if (!withinStructuralLimits(text)) return std::nullopt;
  // No callback, no exceptions; invalid UTF-8 in a string is discarded like any other invalid
  // text.
  nlohmann::json document = nlohmann::json::parse(text, nullptr, /*allow_exceptions=*/false);
  if (document.is_discarded() || !document.is_object()) return std::nullopt;
  return document;
}

std::optional<AttentionFile> parseAttentionFile(std::string_view bytes) {
  const std::optional<nlohmann::json> parsed = parseJsonObject(bytes);
  if (!parsed) return std::nullopt;
  const nlohmann::json& document = *parsed;
  AttentionFile file;
  file.active = booleanValue(document, "active");
  file.needsUser = file.active && booleanValue(document, "needs_user");
  file.requestID = stringValue(document, "request_id");
  file.action = stringValue(document, "action");
  file.successID = stringValue(document, "success_id").value_or("");
  file.keptRequest = stringValue(document, "kept_request").value_or("");
  return file;
}

}  // namespace vantorel
