// The two floating panels: the attention prompt and the self-closing success panel.

#include "monitor/monitor.h"

namespace vantorel {
namespace {

constexpr Seconds kSuccessPanelLifetime{3.0};

PanelSpec attentionPanelSpec(const std::string& actionText, std::function<void()> onOK) {
  PanelSpec spec;
  spec.width = 440;
  spec.height = 150;
  spec.styleMask = kPanelTitled | kPanelClosable;
  spec.title = "Board action needed";
  spec.level = kFloatingWindowLevel;
  LabelSpec label;
  label.text = actionText;
  label.frame = {20, 60, 400, 70};
  label.fontSize = 15;
  label.wraps = true;
  spec.labels.push_back(label);
  ButtonSpec button;
  button.title = "OK";
  button.frame = {340, 15, 80, 30};
  button.bezelStyle = kBezelRounded;
  button.action = std::move(onOK);
  spec.button = std::move(button);
  return spec;
}

PanelSpec successPanelSpec() {
  PanelSpec spec;
  spec.width = 440;
  spec.height = 110;
  spec.styleMask = kPanelTitled;
  spec.title = "Board ready";
  spec.level = kFloatingWindowLevel;
  spec.background = PanelColor::kSystemGreen;
  LabelSpec label;
  label.text = "Ready";
  label.frame = {20, 35, 400, 40};
  label.fontSize = 24;
  label.bold = true;
  label.textColor = PanelColor::kWhite;
  label.alignment = TextAlignment::kCenter;
  spec.labels.push_back(label);
  return spec;
}

}  // namespace

void Monitor::closePanel() {
  if (panel) panel->close();
  panel.reset();
}

void Monitor::showAttention(const std::string& actionText) {
  if (panel) panel->close();
  auto created =
      services_.panels.createPanel(attentionPanelSpec(actionText, [weak = weak_from_this()] {
        if (auto self = weak.lock()) self->dismissAttention();
      }));
  created->center();
  panel = std::move(created);
  services_.app.activateIgnoringOtherApps();
  panel->makeKeyAndOrderFront();
}

void Monitor::showSuccess(const std::string& successID) {
  if (panel) panel->close();
  auto created = services_.panels.createPanel(successPanelSpec());
  created->center();
  panel = std::move(created);
  successPanelID = successID;
  services_.app.activateIgnoringOtherApps();
  panel->makeKeyAndOrderFront();
  services_.scheduler.after(kSuccessPanelLifetime, [weak = weak_from_this(), successID] {
    if (auto self = weak.lock()) self->autoCloseSuccess(successID);
  });
}

void Monitor::autoCloseSuccess(const std::string& successID) {
  if (successPanelID != successID) return;
  closePanel();
  successPanelID.clear();
}

void Monitor::dismissAttention() { closePanel(); }

}  // namespace vantorel
