#include "core/panel_label_text.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <utility>

#include "core/visible_text.h"

namespace vantorel {
namespace {

constexpr char32_t kZeroWidthJoiner = 0x200D;

// Ranges (first, last) of characters that extend the cluster before them, outside the Indic
// blocks. Sorted.
constexpr std::array<std::pair<char32_t, char32_t>, 33> kExtending{{
    {0x0300, 0x036F},   {0x0483, 0x0489},   {0x0591, 0x05BD},   {0x05BF, 0x05C7}, {0x0610, 0x061A},
    {0x064B, 0x065F},   {0x0670, 0x0670},   {0x06D6, 0x06ED},   {0x0711, 0x0711}, {0x0730, 0x074A},
    {0x07A6, 0x07B0},   {0x08D3, 0x08FF},   {0x0E31, 0x0E31},   {0x0E34, 0x0E3A}, {0x0E47, 0x0E4E},
    {0x0EB1, 0x0EB1},   {0x0EB4, 0x0EBC},   {0x0EC8, 0x0ECD},   {0x0F71, 0x0F84}, {0x0F8D, 0x0FBC},
    {0x102B, 0x103E},   {0x1160, 0x11FF},   {0x1AB0, 0x1AFF},   {0x1DC0, 0x1DFF}, {0x200C, 0x200D},
    {0x20D0, 0x20FF},   {0x302A, 0x302F},   {0x3099, 0x309A},   {0xFE00, 0xFE0F}, {0xFE20, 0xFE2F},
    {0x1F3FB, 0x1F3FF}, {0xE0020, 0xE007F}, {0xE0100, 0xE01EF},
}};

// The Indic blocks from Devanagari to Malayalam share one layout: their signs sit at the same
// places in each block of 128.
bool isIndicSign(char32_t c) {
  if (c < 0x0900 || c > 0x0D7F) return false;
  const char32_t at = c & 0x7F;
  return at <= 0x03 || (at >= 0x3A && at <= 0x4F && at != 0x3D) || (at >= 0x51 && at <= 0x57) ||
         at == 0x62 || at == 0x63;
}

bool isIndicVirama(char32_t c) { return c >= 0x0900 && c <= 0x0D7F && (c & 0x7F) == 0x4D; }

bool breaksLine(char32_t c) { return c == ' ' || c == '\t' || c == '\n' || c == 0x200B; }

}  // namespace

bool extendsCluster(char32_t c) {
  if (isIndicSign(c)) return true;
  const auto after =
      std::upper_bound(kExtending.begin(), kExtending.end(), c,
                       [](char32_t v, const auto& range) { return v < range.first; });
  return after != kExtending.begin() && c <= std::prev(after)->second;
}

std::string panelLabelText(std::string_view actionText, std::size_t maxCharacters) {
  // Every character shown takes at least one byte and at most four, "\r\n" two: this prefix holds
  // more than the label is given.
  const std::string visible =
      visibleText(cutToBytes(actionText, 4 * maxCharacters), LineBreaks::kKeep);
  std::string out;
  std::size_t characters = 0, run = 0;
  char32_t previous = 0;
  for (std::size_t i = 0; i < visible.size();) {
    if (characters == maxCharacters) return out + "…";
    const Utf8Char d = decodeUtf8(std::string_view(visible).substr(i));
    if (breaksLine(d.c)) {
      run = 0;
    } else if (run >= kMaxUnbrokenRun ||
               (run >= kLabelBreakAfter && !extendsCluster(d.c) && previous != kZeroWidthJoiner &&
                !isIndicVirama(previous))) {
      out += kZeroWidthSpace;
      run = 1;
    } else {
      ++run;
    }
    out.append(visible, i, d.length);
    i += d.length;
    ++characters;
    previous = d.c;
  }
  return out;
}

}  // namespace vantorel
