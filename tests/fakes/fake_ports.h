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
class FakeFrontEnd final : public FrontEnd {
 public:
  void show(const StatusView& view) override { views.push_back(view); }
  void prompt(const std::string& text, std::function<void()> onOk) override {
    panels.push_back("prompt: " + text);
    oks.push_back(std::move(onOk));
  }
  void ready() override { panels.push_back("ready"); }
  void closePanel() override { panels.push_back("close"); }
  // Presses OK on the latest prompt (a copy: the press may show another).
  void pressOk() { std::function<void()>(oks.back())(); }

  std::vector<StatusView> views;
  std::vector<std::string> panels;
  std::vector<std::function<void()>> oks;  // one per prompt, oldest first
};

// Starts or fails as told and lists `attached` (nothing: the enumeration fails).
class FakeUsbWatch final : public UsbWatch {
 public:
  bool start(std::function<void()> onChange) override {
    onChange_ = std::move(onChange);
    return startWorks;
  }
  std::optional<std::vector<USBDevice>> devices() override {
    ++enumerations;
    return attached;
  }
  void change() { onChange_(); }  // a wake-up that saw devices come or go

  bool startWorks = true;
  std::optional<std::vector<USBDevice>> attached = std::vector<USBDevice>{};
  int enumerations = 0;

 private:
  std::function<void()> onChange_;
};

class FakeSettings final : public Settings {
 public:
  std::optional<Desired> desired() const override { return stored; }
  void setDesired(Desired desired) override { writes.push_back(*(stored = desired)); }
  void flush() override { ++flushes; }

  std::optional<Desired> stored;
  std::vector<Desired> writes;
  int flushes = 0;
};

// The attention file's bytes (nothing: missing), counting the reads.
class FakeAttentionSource final : public AttentionSource {
 public:
  std::optional<std::string> read() override {
    ++reads;
    return bytes;
  }

  std::optional<std::string> bytes;
  int reads = 0;
};

}  // namespace vantorel
