#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vantorel {

// Geometry in points inside a panel's content area, origin at the bottom-left corner, y upward.
struct Rect {
  double x = 0, y = 0, width = 0, height = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

enum class PanelColor { kDefault, kSystemGreen, kWhite };
enum class TextAlignment { kNatural, kCenter };

// Window style bits.
inline constexpr unsigned kPanelTitled = 1;
inline constexpr unsigned kPanelClosable = 2;
// Floats above ordinary windows.
inline constexpr int kFloatingWindowLevel = 3;
// The standard rounded push button.
inline constexpr int kBezelRounded = 1;

struct LabelSpec {
  std::string text;  // shown as plain text, never interpreted as markup
  Rect frame;
  double fontSize = 13;
  bool bold = false;
  bool wraps = false;  // true: a multi-line label that wraps at its frame's width
  PanelColor textColor = PanelColor::kDefault;
  TextAlignment alignment = TextAlignment::kNatural;
};

struct ButtonSpec {
  std::string title;
  Rect frame;
  int bezelStyle = kBezelRounded;
  std::function<void()> action;  // called on the main loop when the button is pressed
};

// Everything that fixes how a floating panel looks, so that every backend draws the same panel.
struct PanelSpec {
  double width = 0, height = 0;  // content size
  unsigned styleMask = kPanelTitled;
  std::string title;
  int level = kFloatingWindowLevel;
  PanelColor background = PanelColor::kDefault;
  bool releasedWhenClosed = false;
  std::vector<LabelSpec> labels;
  std::optional<ButtonSpec> button;
};

// One floating panel. Closing only takes it off the screen; the object lives until dropped.
class Panel {
 public:
  virtual ~Panel() = default;
  virtual void center() = 0;
  // Shows the panel in front and gives it the keyboard.
  virtual void makeKeyAndOrderFront() = 0;
  // Takes the panel off the screen; no effect when it is already off.
  virtual void close() = 0;
};

// Creates panels, not yet visible. The real ones are GTK windows and framed terminal text.
class PanelFactory {
 public:
  virtual ~PanelFactory() = default;
  virtual std::unique_ptr<Panel> createPanel(PanelSpec layout) = 0;
};

}  // namespace vantorel
