#include "linux/attention_file_source.h"

#include "linux/bounded_file.h"

namespace vantorel {
namespace {

class AttentionFileSource final : public AttentionSource {
 public:
  explicit AttentionFileSource(std::string path) : path_(std::move(path)) {}

  std::optional<std::string> read() override {
    if (path_.empty()) return std::nullopt;
    return readRegularFile(path_, kMaxSmallFile);
  }

 private:
  const std::string path_;
};

}  // namespace

std::unique_ptr<AttentionSource> makeAttentionFileSource(std::string path) {
  return std::make_unique<AttentionFileSource>(std::move(path));
}

}  // namespace vantorel
