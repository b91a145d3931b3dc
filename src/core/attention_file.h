#pragma once

#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <string>
#include <string_view>

namespace vantorel {

// What the flashing tool's attention file says, each key already at its default when missing,
// null or of another type. docs/attention-file.md describes the format for authors of tools.
struct AttentionFile {
  bool active = false;
  bool needsUser = false;
  std::optional<std::string> requestID;  // only a JSON string counts
  std::optional<std::string> action;     // only a JSON string counts
  std::string successID;                 // "" when missing
  // Written only by this program's own commands, never by a flashing tool: the request the
  // user has already answered, whose job goes on and whose success is still to be reported.
  std::string keptRequest;  // "" when missing

  // The job waits for the user with a request id and a sentence to show.
  bool isPromptRequest() const;
};

// The JSON object `text` holds: UTF-8, with or without a byte-order mark. Nothing for anything
// else, including text nested more than 512 levels deep or holding a NUL byte. Never throws.
std::optional<nlohmann::json> parseJsonObject(std::string_view text);

// Parses the file's bytes as parseJsonObject() does.
std::optional<AttentionFile> parseAttentionFile(std::string_view bytes);

}  // namespace vantorel
