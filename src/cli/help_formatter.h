#pragma once

#include <CLI/CLI.hpp>
#include <cstddef>
#include <memory>
#include <string>

namespace vantorel {

// Every --help as people read it in an 80-column terminal: each text wrapped at kHelpColumns, the
// descriptions in a column of their own, and what an option requires said as a sentence after
// its description ("Required.", "Only with --until.") instead of CLI11's labels.
inline constexpr std::size_t kHelpColumns = 80;
std::shared_ptr<CLI::Formatter> makeHelpFormatter();

// `text` as lines of at most `width` columns, broken between words (a word longer than a line
// stands alone), each line but the first indented by `indent` spaces; line breaks in `text` count
// as spaces. Every line ends with "\n".
std::string wrapped(const std::string& text, std::size_t width, std::size_t indent = 0);

}  // namespace vantorel
