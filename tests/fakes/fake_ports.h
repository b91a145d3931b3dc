#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ports/attention_source.h"
#include "ports/front_end.h"
#include "ports/settings.h"
#include "ports/usb_watch.h"

namespace vantorel {

// Records every view shown and every panel call ("prompt: <text>", "ready", "close").
struct FakeFrontEnd final : FrontEnd {
  void show(const StatusView& view) override { views.push_back(view); }
  void prompt(const std::string& text, std::function<void()> onOk) override {
    panels.push_back("prompt: " + text);
    oks.push_back(std::move(onOk));
  }
  void ready() override { panels.push_back("ready"); }
  void closePanel() override { panels.push_back("close"); }
  void pressOk() { std::function<void()>(oks.back())(); }  // a copy: the press may prompt again
  std::vector<StatusView> views;
  std::vector<std::string> panels;
  std::vector<std::function<void()>> oks;  // one per prompt, oldest first
};

// Starts or fails as told and lists `attached` (nothing: the enumeration fails); change() is a
// wake-up that saw devices come or go.
struct FakeUsbWatch final : UsbWatch {
  bool start(std::function<void()> onChange) override {
    return change = std::move(onChange), startWorks;
  }
  std::optional<std::vector<USBDevice>> devices() override { return ++enumerations, attached; }
  bool startWorks = true;
  std::optional<std::vector<USBDevice>> attached = std::vector<USBDevice>{};
  int enumerations = 0;
  std::function<void()> change;
};

// `changed` is the bench the next look finds changed; it is handed out once.
struct FakeSettings final : Settings {
  std::optional<Desired> desired() const override { return stored; }
  void setDesired(Desired desired) override { writes.push_back(*(stored = desired)); }
  void flush() override {}
  std::optional<Bench> bench() override { return std::exchange(changed, std::nullopt); }
  std::optional<Desired> stored;
  std::vector<Desired> writes;
  std::optional<Bench> changed;
};

// The attention file's bytes (nothing: missing), counting the reads.
struct FakeAttentionSource final : AttentionSource {
  std::optional<std::string> read() override { return ++reads, bytes; }
  std::optional<std::string> bytes;
  int reads = 0;
};

}  // namespace vantorel
