#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vantorel {

// The whole attention file a flashing script writes, as the program's parser reads it back.
// Each is a complete object: keys another writer left in the file are not carried over. Bytes in
// an id or a text that are not UTF-8 are replaced by U+FFFD, so the file always parses.

// The job waits for the user: "active" and "needs_user" true, `requestID` and the sentence
// `action` to show. Both must be non-empty for the program to see a request.
std::string promptRequestText(std::string_view requestID, std::string_view action);
// The user has answered request `requestID` and its job goes on: asks nothing, so the prompt
// closes, but the request stands (through the "kept_request" marker that only these commands
// write), so the job's success then shows "Board ready".
std::string requestKeptText(std::string_view requestID);
// A job succeeded: "success_id" `successID`, and the request it answers when that was kept.
std::string successReportText(std::string_view successID, std::string_view keptRequest = {});
// Nothing pending: `{}` withdraws any request and reports no success.
std::string nothingPendingText();

// Whether the file `current` still names request `requestID`: it is the request's to withdraw.
bool namesRequest(const std::optional<std::string>& current, std::string_view requestID);
// The request kept in `current` that no success has answered yet; "" when there is none.
std::string keptRequestIn(const std::optional<std::string>& current);

}  // namespace vantorel
