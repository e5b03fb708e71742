#include "app/WindowMetrics.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <utility>
#include <vector>

#include "platform/Profile.h"
#include "tests/process/TemporaryFolder.h"

namespace {
std::string ReadFile(const std::string& path) {
  std::stringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

// Root may write anywhere: as root, the process takes the identity of "nobody" for good.
void LeaveRoot() {
  if (geteuid() != 0) return;
  if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0) {
    std::fputs("cannot leave root", stderr);
    std::exit(2);
  }
}

// A program folder with an option.ini of an earlier run, and a home of the user's own.
class WindowMetricsPlace : public testing::Test {
 protected:
  const std::string kEarlier = "[Status]\nw0=123\nWidth=640\n";

  void SetUp() override {
    remember("HOME");
    remember("XDG_CONFIG_HOME");
    setenv("HOME", home.path().c_str(), 1);
    // Whoever runs the program may make its folders here.
    chmod(home.path().c_str(), 0777);
    chmod(config.path().c_str(), 0777);
    chmod(program.path().c_str(), 0755);
    std::ofstream(besideFile(), std::ios::binary) << kEarlier;
  }
  void TearDown() override {
    chmod(program.path().c_str(), 0755);
    for (const auto& [name, value] : saved) {
      if (value.has_value()) setenv(name.c_str(), value->c_str(), 1);
      else unsetenv(name.c_str());
    }
  }
  std::string besideFile() const { return program.path() + "option.ini"; }

  TemporaryFolder program, home, config;

 private:
  void remember(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    saved.emplace_back(name, value != nullptr ? std::optional<std::string>(value) : std::nullopt);
  }
  std::vector<std::pair<std::string, std::optional<std::string>>> saved;
};

TEST_F(WindowMetricsPlace, AWritableProgramFolderKeepsTheFileBesideTheProgram) {
  setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
  EXPECT_EQ(loadColumnWidths(program.path()).w0, 123);
  saveWindowMetrics(program.path(), {700, 500}, {1, 2, 3});
  EXPECT_EQ(loadWindowSize(program.path()).cx, 700);
  EXPECT_EQ(GetPrivateProfileIntA("Status", "Height", 0, besideFile()), 500u);
  EXPECT_FALSE(std::filesystem::exists(config.path() + "vidmora"));
  EXPECT_FALSE(std::filesystem::exists(home.path() + ".config"));
}

// Installed into a system folder: the program's folder is not the user's to write.
TEST_F(WindowMetricsPlace, AProgramFolderTheUserCannotWriteLeavesTheFileInTheUsersConfigFolder) {
  const struct {
    const char* configHome;  // XDG_CONFIG_HOME, or null when unset
    std::string folder;      // where option.ini is written
  } cases[] = {
      {config.path().c_str(), config.path() + "vidmora/"},
      {nullptr, home.path() + ".config/vidmora/"},
      {"relative/config", home.path() + ".config/vidmora/"},
  };
  chmod(program.path().c_str(), 0555);
  for (const auto& [configHome, folder] : cases) {
    SCOPED_TRACE(folder);
    std::filesystem::remove_all(config.path() + "vidmora");
    std::filesystem::remove_all(home.path() + ".config");
    if (configHome != nullptr) setenv("XDG_CONFIG_HOME", configHome, 1);
    else unsetenv("XDG_CONFIG_HOME");
    // Until the user's file exists, the earlier run's file beside the program is read.
    EXPECT_EXIT(
        {
          LeaveRoot();
          const int before = loadColumnWidths(program.path()).w0;
          saveWindowMetrics(program.path(), {700, 500}, {1, 2, 3});
          const SIZE after = loadWindowSize(program.path());
          std::fprintf(stderr, "before %d, after %dx%d", before, static_cast<int>(after.cx),
                       static_cast<int>(after.cy));
          std::exit(0);
        },
        testing::ExitedWithCode(0), "^before 123, after 700x500$");
    EXPECT_EQ(GetPrivateProfileIntA("Status", "w2", 0, folder + "option.ini"), 3u);
    EXPECT_EQ(ReadFile(besideFile()), kEarlier);
  }
}
}  // namespace
