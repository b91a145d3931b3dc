#pragma once

#include <memory>
#include <string>

#include "ports/attention_source.h"

namespace vantorel {

// Reads the attention file at `path`: only a regular file of at most 1 MiB, opened without
// blocking. An empty path never reads anything.
std::unique_ptr<AttentionSource> makeAttentionFileSource(std::string path);

}  // namespace vantorel
