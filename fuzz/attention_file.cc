// Any bytes in the attention file parse to nothing or to a file whose fields hang together, and
// what a flashing script writes reads back as written, whatever its texts hold.

#include "core/attention_file.h"

#include "cli/attention_request.h"
#include "fuzz_check.h"

static void checkConsistent(const vantorel::AttentionFile& file) {
  FUZZ_CHECK(file.active || !file.needsUser);
  FUZZ_CHECK(file.isPromptRequest() ==
             (file.active && file.needsUser && file.requestID && !file.requestID->empty() &&
              file.action && !file.action->empty()));
  FUZZ_CHECK(validUtf8(file.requestID.value_or("")) && validUtf8(file.action.value_or("")) &&
             validUtf8(file.successID) && validUtf8(file.keptRequest));
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (const auto file = vantorel::parseAttentionFile(bytes)) {
    checkConsistent(*file);
    FUZZ_CHECK(bytes.find('\0') == std::string_view::npos);
  }
  const std::string_view id = bytes.substr(0, size / 2), action = bytes.substr(size / 2);
  const auto request = vantorel::parseAttentionFile(vantorel::promptRequestText(id, action));
  FUZZ_CHECK(request && request->active && request->needsUser);
  checkConsistent(*request);
  FUZZ_CHECK(request->isPromptRequest() == (!id.empty() && !action.empty()));
  FUZZ_CHECK(!validUtf8(id) || request->requestID == id);
  FUZZ_CHECK(!validUtf8(action) || request->action == action);
  FUZZ_CHECK(vantorel::namesRequest(vantorel::promptRequestText(id, action), id));
  const std::string keptText = vantorel::requestKeptText(id);
  const auto kept = vantorel::parseAttentionFile(keptText);
  FUZZ_CHECK(kept && !kept->active && !kept->requestID && !kept->isPromptRequest());
  FUZZ_CHECK(!validUtf8(id) || kept->keptRequest == id);
  const auto success = vantorel::parseAttentionFile(
      vantorel::successReportText(bytes, vantorel::keptRequestIn(keptText)));
  FUZZ_CHECK(success && !success->active && !success->requestID);
  FUZZ_CHECK(!validUtf8(bytes) || success->successID == bytes);
  FUZZ_CHECK(!validUtf8(id) || success->keptRequest == id);
  return 0;
}
