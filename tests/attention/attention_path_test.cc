// Given where the bundle is and what exists at construction, we should pick the attention file
// beside the checkout or else in Application Support, once and for good.

#include <gtest/gtest.h>

#include "attention/attention_fixture.h"

namespace vantorel {
namespace {

constexpr const char* kBesideCheckout = "/P/work/board-flash-attention.json";

class AttentionPathTest : public HandshakeFixture {};

TEST_F(AttentionPathTest, FileBesideTheCheckoutWinsWhenItExists) {
  h.files.existing.push_back(kBesideCheckout);
  EXPECT_EQ(Probe::attentionPath(h.create()), kBesideCheckout);
}

TEST_F(AttentionPathTest, ApplicationSupportIsUsedOtherwise) {
  EXPECT_EQ(Probe::attentionPath(h.create()), kFile);
}

TEST_F(AttentionPathTest, FirstApplicationSupportFolderIsTheOneUsed) {
  h.files.supportDirectories = {"/data/first", "/data/second"};
  EXPECT_EQ(Probe::attentionPath(h.create()), "/data/first/Vantorel/board-flash-attention.json");
}

TEST_F(AttentionPathTest, FileCreatedBesideTheCheckoutAfterConstructionIsNotRead) {
  monitor = h.create();
  h.files.contents[kBesideCheckout] = promptFile("R1");
  h.app.setDelegate(monitor.get());
  h.app.run();
  wait(2.0);

  EXPECT_EQ(panelCount(), 0u);
  EXPECT_EQ(h.files.reads, (std::vector<std::string>(3, kFile)));
}

TEST_F(AttentionPathTest, NoApplicationSupportFolderMeansNothingIsRead) {
  h.files.supportDirectories.clear();
  h.files.contents["Vantorel/board-flash-attention.json"] = promptFile("R1");
  launch();
  EXPECT_EQ(Probe::attentionPath(monitor), "");
  EXPECT_EQ(panelCount(), 0u);
}

}  // namespace
}  // namespace vantorel
