#include "cli/attention_request.h"

#include <nlohmann/json.hpp>

#include "core/attention_file.h"

namespace vantorel {
namespace {

using Object = nlohmann::ordered_json;

std::string text(const Object& object) {
  return object.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

}  // namespace

std::string promptRequestText(std::string_view requestID, std::string_view action) {
  return text(Object{{"active", true},
                     {"needs_user", true},
                     {"request_id", std::string(requestID)},
                     {"action", std::string(action)}});
}

std::string requestKeptText(std::string_view requestID) {
  return text(Object{{"kept_request", std::string(requestID)}});
}

std::string successReportText(std::string_view successID, std::string_view keptRequest) {
  Object object{{"success_id", std::string(successID)}};
  if (!keptRequest.empty()) object["kept_request"] = std::string(keptRequest);
  return text(object);
}

std::string nothingPendingText() { return "{}\n"; }

bool namesRequest(const std::optional<std::string>& current, std::string_view requestID) {
  const std::optional<AttentionFile> file = current ? parseAttentionFile(*current) : std::nullopt;
  // The id as the file holds it, once bytes that are not UTF-8 have been replaced.
  const std::optional<AttentionFile> written =
      parseAttentionFile(text(Object{{"request_id", std::string(requestID)}}));
  return file && written && file->requestID == written->requestID;
}

std::string keptRequestIn(const std::optional<std::string>& current) {
  const std::optional<AttentionFile> file = current ? parseAttentionFile(*current) : std::nullopt;
  return file && file->successID.empty() ? file->keptRequest : "";
}

}  // namespace vantorel
