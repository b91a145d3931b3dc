// Whatever the action text, the desktop label is given, quickly, that text made visible (as an
// independent model built on GLib and FriBidi makes it) up to its length, with no run longer
// than the toolkit lays out in time and nothing that reorders it. With VANTOREL_FUZZ_LAYOUT set,
// each input is also laid out as the panel's label is (400 px, 15 px type, wrapped at words, then
// characters), within a time budget: the replay that scripts/fuzz.sh runs over the corpus.

#include <pango/pangocairo.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "core/panel_label_text.h"
#include "fuzz_check.h"

using namespace vantorel;

// Budgets in processor time, which other programs on the machine do not stretch.
constexpr auto kPrepareBudget = std::chrono::milliseconds(20);
constexpr auto kLayoutBudget = std::chrono::milliseconds(100);

static std::chrono::nanoseconds cpuNow() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

static std::string withoutZeroWidthSpaces(std::string text) {
  for (std::size_t at; (at = text.find(kZeroWidthSpace)) != std::string::npos;) {
    text.erase(at, kZeroWidthSpace.size());
  }
  return text;
}

// The processor time that laying out `text` as the panel's label takes.
static std::chrono::nanoseconds layoutTime(const std::string& text) {
  static PangoContext* context = pango_font_map_create_context(pango_cairo_font_map_get_default());
  static PangoFontDescription* font = [] {
    PangoFontDescription* description = pango_font_description_from_string("Sans");
    pango_font_description_set_absolute_size(description, 15 * PANGO_SCALE);
    return description;
  }();
  const auto start = cpuNow();
  PangoLayout* layout = pango_layout_new(context);
  pango_layout_set_font_description(layout, font);
  pango_layout_set_width(layout, 400 * PANGO_SCALE);
  pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
  pango_layout_set_text(layout, text.data(), static_cast<int>(text.size()));
  PangoRectangle extents;
  pango_layout_get_pixel_extents(layout, nullptr, &extents);
  g_object_unref(layout);
  return cpuNow() - start;
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto start = cpuNow();
  const std::string label = panelLabelText(text);
  FUZZ_CHECK(cpuNow() - start < kPrepareBudget);
  FUZZ_CHECK(validUtf8(label));

  // The model's text, up to the label's length; "…" after it when the text goes on.
  std::string model = modelVisible(text, true);
  if (g_utf8_strlen(model.data(), static_cast<gssize>(model.size())) >
      static_cast<glong>(kMaxLabelCharacters)) {
    model.resize(static_cast<std::size_t>(
        g_utf8_offset_to_pointer(model.data(), kMaxLabelCharacters) - model.data()));
    model += "…";
  }
  FUZZ_CHECK(withoutZeroWidthSpaces(label) == withoutZeroWidthSpaces(model));

  // Nothing reorders or controls it, and no run goes long without a place to break.
  std::size_t run = 0;
  for (const char* p = label.data(); p < label.data() + label.size(); p = g_utf8_next_char(p)) {
    const gunichar c = g_utf8_get_char(p);
    FUZZ_CHECK(c == '\n' || c == '\t' || (!g_unichar_iscntrl(c) && !reorders(c)));
    run = (c == ' ' || c == '\t' || c == '\n' || c == 0x200B) ? 0 : run + 1;
    FUZZ_CHECK(run <= kMaxUnbrokenRun);
  }

  static const bool layout = std::getenv("VANTOREL_FUZZ_LAYOUT") != nullptr;
  if (layout) {
    static std::chrono::nanoseconds slowest{};
    static const int printed = std::atexit(
        [] { std::fprintf(stderr, "slowest label layout: %.2f ms\n", slowest.count() / 1e6); });
    (void)printed;
    slowest = std::max(slowest, layoutTime(label));
    FUZZ_CHECK(slowest < kLayoutBudget);
  }
  return 0;
}
