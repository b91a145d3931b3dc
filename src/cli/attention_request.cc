#include "cli/attention_request.h"

#include <nlohmann/json.hpp>

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

std::string requestSatisfiedText(std::string_view requestID) {
  return text(
      Object{{"active", true}, {"needs_user", false}, {"request_id", std::string(requestID)}});
}

std::string successReportText(std::string_view successID) {
  return text(Object{{"success_id", std::string(successID)}});
}

std::string nothingPendingText() { return "{}\n"; }

}  // namespace vantorel
