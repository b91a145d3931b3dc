#pragma once

// An independent reading of a JSON document (RFC 8259, as strict as the program's parser: no
// comments, no trailing commas, numbers that fit a double, strings of valid UTF-8 whose escapes
// pair their surrogates), written for the fuzz targets to check the program's parser against.

#include <glib.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <string_view>

class JsonModel {
 public:
  // The top-level object's string members (the last of a repeated name wins; members that are not
  // strings hold nothing), or nothing when `text` is not one JSON object with only white space
  // around it (after an optional byte-order mark).
  static std::optional<std::map<std::string, std::optional<std::string>>> object(
      std::string_view text) {
    JsonModel model(text.starts_with("\xEF\xBB\xBF") ? text.substr(3) : text);
    model.space();
    if (!model.at('{') || !model.value(nullptr, true)) return std::nullopt;
    model.space();
    if (model.i_ != model.s_.size()) return std::nullopt;
    return model.members_;
  }

 private:
  explicit JsonModel(std::string_view s) : s_(s) {}

  bool at(char c) const { return i_ < s_.size() && s_[i_] == c; }
  void space() {
    while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == '\n' || s_[i_] == '\r'))
      ++i_;
  }
  bool word(std::string_view w) {
    if (s_.substr(i_, w.size()) != w) return false;
    i_ += w.size();
    return true;
  }
  bool digits() {
    const std::size_t start = i_;
    while (i_ < s_.size() && s_[i_] >= '0' && s_[i_] <= '9') ++i_;
    return i_ > start;
  }

  bool number() {
    const std::size_t start = i_;
    if (at('-')) ++i_;
    if (at('0')) {
      ++i_;
    } else if (i_ == s_.size() || s_[i_] < '1' || s_[i_] > '9' || !digits()) {
      return false;
    }
    if (at('.') && (++i_, !digits())) return false;
    if (at('e') || at('E')) {
      ++i_;
      if (at('+') || at('-')) ++i_;
      if (!digits()) return false;
    }
    const std::string text(s_.substr(start, i_ - start));
    return std::isfinite(std::strtod(text.c_str(), nullptr));
  }

  // Four hexadecimal digits after "\u".
  std::optional<gunichar> hex4() {
    if (i_ + 4 > s_.size()) return std::nullopt;
    gunichar value = 0;
    for (int k = 0; k < 4; ++k) {
      const int digit = g_ascii_xdigit_value(s_[i_++]);
      if (digit < 0) return std::nullopt;
      value = value * 16 + static_cast<gunichar>(digit);
    }
    return value;
  }

  bool string(std::string* out) {
    ++i_;  // the opening quote
    std::string text;
    while (true) {
      if (i_ == s_.size()) return false;
      const auto byte = static_cast<unsigned char>(s_[i_]);
      if (byte == '"') break;
      if (byte < 0x20) return false;
      if (byte == '\\') {
        if (++i_ == s_.size()) return false;
        const char e = s_[i_++];
        const std::string_view simple = "\"\\/bfnrt", meant = "\"\\/\b\f\n\r\t";
        if (const std::size_t k = simple.find(e); k != std::string_view::npos) {
          text += meant[k];
          continue;
        }
        if (e != 'u') return false;
        std::optional<gunichar> c = hex4();
        if (!c || (*c >= 0xDC00 && *c <= 0xDFFF)) return false;
        if (*c >= 0xD800 && *c <= 0xDBFF) {
          if (!word("\\u")) return false;
          const std::optional<gunichar> low = hex4();
          if (!low || *low < 0xDC00 || *low > 0xDFFF) return false;
          c = 0x10000 + ((*c - 0xD800) << 10) + (*low - 0xDC00);
        }
        gchar bytes[6];
        text.append(bytes, static_cast<std::size_t>(g_unichar_to_utf8(*c, bytes)));
        continue;
      }
      const gunichar c =
          g_utf8_get_char_validated(s_.data() + i_, static_cast<gssize>(s_.size() - i_));
      if (c == static_cast<gunichar>(-1) || c == static_cast<gunichar>(-2)) return false;
      const std::size_t length = static_cast<std::size_t>(g_utf8_skip[byte]);
      text.append(s_.substr(i_, length));
      i_ += length;
    }
    ++i_;
    if (out) *out = std::move(text);
    return true;
  }

  // A value at i_; its text in `str` when it is a string. `top`: the document's object.
  bool value(std::optional<std::string>* str, bool top = false) {
    if (str) str->reset();
    if (at('"')) {
      std::string text;
      if (!string(&text)) return false;
      if (str) *str = std::move(text);
      return true;
    }
    if (at('{') || at('[')) {
      const bool object = at('{');
      ++i_;
      space();
      if (at(object ? '}' : ']')) return ++i_, true;
      while (true) {
        std::string name;
        if (object) {
          if (!at('"') || !string(&name)) return false;
          space();
          if (!at(':')) return false;
          ++i_;
          space();
        }
        std::optional<std::string> member;
        if (!value(top ? &member : nullptr)) return false;
        if (top) members_[name] = member;
        space();
        if (at(object ? '}' : ']')) return ++i_, true;
        if (!at(',')) return false;
        ++i_;
        space();
      }
    }
    return word("true") || word("false") || word("null") || number();
  }

  std::string_view s_;
  std::size_t i_ = 0;
  std::map<std::string, std::optional<std::string>> members_;
};
