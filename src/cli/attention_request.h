#pragma once

#include <string>
#include <string_view>

namespace vantorel {

// The whole attention file a flashing script writes, as the program's parser reads it back.
// Each is a complete object: keys another writer left in the file are not carried over. Bytes in
// an id or a text that are not UTF-8 are replaced by U+FFFD, so the file always parses.

// The job waits for the user: "active" and "needs_user" true, `requestID` and the sentence
// `action` to show. Both must be non-empty for the program to see a request.
std::string promptRequestText(std::string_view requestID, std::string_view action);
// The job goes on without the user: the prompt for `requestID` closes, but the request still
// stands, so the job's success then shows "Board ready".
std::string requestSatisfiedText(std::string_view requestID);
// A job succeeded: "success_id" `successID`, nothing else.
std::string successReportText(std::string_view successID);
// Nothing pending: `{}` withdraws any request and reports no success.
std::string nothingPendingText();

}  // namespace vantorel
