// Given a real file system behind the poll, we should find the attention file where the bundle
// says, create nothing, and treat every hostile thing at that path as a poll that changes nothing.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include "attention/attention_fixture.h"
#include "platform/linux/posix_files.h"

#include "fakes/temp_folder.h"

namespace vantorel {
namespace {

namespace fs = std::filesystem;

class AttentionOnDiskTest : public HandshakeFixture {
 protected:
  void SetUp() override {
    if (const char* previous = std::getenv("XDG_DATA_HOME")) savedDataHome = previous;
    setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
    h.bundle.bundlePath = (root / "build" / "Vantorel").string();
  }
  void TearDown() override {
    if (savedDataHome) {
      setenv("XDG_DATA_HOME", savedDataHome->c_str(), 1);
    } else {
      unsetenv("XDG_DATA_HOME");
    }
  }
  std::shared_ptr<Monitor> createOnDisk() {
    Services services = h.services();
    return Monitor::create(Services{services.app, services.clock, services.scheduler,
                                    services.preferences, services.bundle, disk, services.statusBar,
                                    services.panels, services.usb});
  }
  void launchOnDisk() {
    monitor = createOnDisk();
    h.app.setDelegate(monitor.get());
    h.app.run();
  }
  fs::path besideCheckout() const { return root / "work" / "board-flash-attention.json"; }
  // Puts `content` at the attention file's path as a fresh regular file.
  void put(const fs::path& file, const std::string& content) {
    fs::remove_all(file);
    std::ofstream(file, std::ios::binary) << content;
  }

  TempFolder temp{"vantorel-attention"};
  const fs::path root = temp.path();
  std::optional<std::string> savedDataHome;
  PosixFiles disk;
};

TEST_F(AttentionOnDiskTest, FileBesideTheCheckoutIsChosenWhenItExistsAtConstruction) {
  fs::create_directories(besideCheckout().parent_path());
  put(besideCheckout(), "");
  EXPECT_EQ(Probe::attentionPath(createOnDisk()), besideCheckout().string());
}

TEST_F(AttentionOnDiskTest, DataHomeIsChosenOtherwiseAndNoFolderIsCreated) {
  monitor = createOnDisk();
  EXPECT_EQ(Probe::attentionPath(monitor),
            (root / "data" / "Vantorel" / "board-flash-attention.json").string());
  EXPECT_FALSE(fs::exists(root / "data"));
  EXPECT_FALSE(fs::exists(root / "work"));

  fs::create_directories(besideCheckout().parent_path());
  put(besideCheckout(), promptFile("R1"));
  h.app.setDelegate(monitor.get());
  h.app.run();
  EXPECT_EQ(panelCount(), 0u);
}

TEST_F(AttentionOnDiskTest, HostileFilesAreEachAPollThatChangesNothing) {
  fs::create_directories(besideCheckout().parent_path());
  const fs::path file = besideCheckout();
  put(file, "\xEF\xBB\xBF" + promptFile("R1"));
  launchOnDisk();
  ASSERT_EQ(panelCount(), 1u);
  const std::size_t rendersAtLaunch = renders();

  auto check = [&](const char* what) {
    SCOPED_TRACE(what);
    wait(1.0);
    EXPECT_EQ(panelCount(), 1u);
    EXPECT_TRUE(lastPanel().onScreen);
    EXPECT_EQ(Probe::requestID(monitor), "R1");
    EXPECT_EQ(renders(), rendersAtLaunch);
  };
  fs::remove(file);
  check("missing");
  fs::create_directory(file);
  check("folder");
  fs::remove(file);
  ASSERT_EQ(mkfifo(file.c_str(), 0600), 0);
  alarm(60);  // a poll that blocks on the FIFO ends the run instead of hanging it
  check("FIFO without a writer");
  alarm(0);
  fs::remove(file);
  fs::create_symlink("/dev/zero", file);
  check("link to /dev/zero");
  put(file, R"({"success_id":")" + std::string(2u << 20, 'x') + "\"}");
  check("2 MiB");
  put(file, "");
  check("empty");
  put(file, "{\"active\":tru");
  check("invalid JSON");
  put(file, "[{}]");
  check("array");
  put(file, "42");
  check("number");
  put(file, "{\"success_id\":\"S\xC3\x28\"}");
  check("invalid UTF-8");
  put(file, "{\"x\":" + std::string(100000, '[') + std::string(100000, ']') + "}");
  check("100,000 levels");

  put(file, "{}");
  wait(1.0);
  EXPECT_FALSE(lastPanel().onScreen);
  EXPECT_EQ(Probe::requestID(monitor), "");
}

}  // namespace
}  // namespace vantorel
