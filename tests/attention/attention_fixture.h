#pragma once

// A launched controller polling a fake attention file, with the helpers that the hand-shake
// tests share.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "fakes/harness.h"

namespace vantorel {

using Probe = MonitorProbe;

// Where the poll looks when nothing exists beside the checkout (FakeFiles' support folder).
inline constexpr const char* kFile = "/home/user/.local/share/Vantorel/board-flash-attention.json";

inline std::string promptFile(const std::string& requestID,
                              const std::string& action = "Hold BOOT") {
  return nlohmann::json{
      {"active", true}, {"needs_user", true}, {"request_id", requestID}, {"action", action}}
      .dump();
}

inline std::string successFile(const std::string& successID) {
  return nlohmann::json{{"active", false}, {"success_id", successID}}.dump();
}

class HandshakeFixture : public ::testing::Test {
 protected:
  void write(const std::string& text) { h.files.contents[kFile] = text; }
  void launch() {
    monitor = h.launch();
    launchedAt = h.clock.current;
  }
  // Advances the clock, letting the 1 s poll and any delayed job run on the way.
  void wait(double seconds) { h.scheduler.advance(seconds); }
  std::size_t panelCount() const { return h.panels.panels.size(); }
  FakePanelRecord& panelAt(std::size_t index) { return *h.panels.panels.at(index); }
  FakePanelRecord& lastPanel() { return *h.panels.panels.back(); }
  static bool isAttentionPanel(const FakePanelRecord& record) {
    return record.spec.title == "Board action needed";
  }
  std::size_t renders() { return h.item().menus.size(); }
  bool green() { return h.item().current.green; }

  Harness h;
  std::shared_ptr<Monitor> monitor;
  Date launchedAt;
};

}  // namespace vantorel
