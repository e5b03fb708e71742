#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "encoder/contract/DeploymentKey.h"
#include "process/ChildProcessRunner.h"
#include "process/EncoderDeployment.h"
#include "tests/process/TemporaryFolder.h"

namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

std::string transformed(std::string bytes, std::uint8_t (*map)(std::uint8_t)) {
  for (char& c : bytes) c = static_cast<char>(map(static_cast<std::uint8_t>(c)));
  return bytes;
}

bool exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

mode_t modeOf(const std::string& path) {
  struct stat info {};
  stat(path.c_str(), &info);
  return info.st_mode & 07777;
}

std::set<std::string> namesIn(const std::string& folder) {
  std::set<std::string> names;
  DIR* dir = opendir(folder.c_str());
  while (dirent* entry = readdir(dir))
    if (entry->d_name[0] != '.') names.insert(entry->d_name);
  closedir(dir);
  return names;
}

// A program folder and a system folder of the test's own.
class Deployment : public ::testing::Test {
 protected:
  void SetUp() override {
    programFolder = root + "program/";
    systemFolder = root + "system/";
    mkdir(programFolder.c_str(), 0755);
    mkdir(systemFolder.c_str(), 0755);
    paths = encoderPaths(programFolder, systemFolder);
  }
  TemporaryFolder folder;
  const std::string& root = folder.path();
  std::string programFolder, systemFolder;
  EncoderPaths paths;
};

std::string everyByte() {
  std::string bytes;
  for (int i = 0; i < 256 * 4; ++i) bytes += static_cast<char>(i * 37 + i / 256);
  return bytes;
}

}  // namespace

TEST_F(Deployment, PathsJoinTheFoldersAndTheFileNames) {
  EXPECT_EQ(paths.encoderSystemPath, systemFolder + "zandrio.dll");
  EXPECT_EQ(paths.companionSystemPath, systemFolder + "quimbel.dll");
  EXPECT_EQ(paths.encoderProgramPath, programFolder + "zandrio.dll");
  EXPECT_EQ(paths.companionProgramPath, programFolder + "quimbel.dll");
}

TEST_F(Deployment, StartUnscramblesRunnableCopiesAndExitPutsThePlainBytesBack) {
  const std::string encoder = everyByte();
  const std::string companion = encoder.substr(100) + "companion";
  writeFile(paths.encoderProgramPath, encoder);
  writeFile(paths.companionProgramPath, companion);
  writeFile(paths.encoderSystemPath, "stale");

  DeployEncoders(paths);
  EXPECT_EQ(readFile(paths.encoderSystemPath), transformed(encoder, encoder_contract::unscrambleByte));
  EXPECT_EQ(readFile(paths.companionSystemPath),
            transformed(companion, encoder_contract::unscrambleByte));
  EXPECT_EQ(modeOf(paths.encoderSystemPath), 0755u);
  EXPECT_EQ(modeOf(paths.companionSystemPath), 0755u);
  EXPECT_EQ(namesIn(systemFolder), (std::set<std::string>{"quimbel.dll", "zandrio.dll"}));

  RestoreEncoders(paths);
  EXPECT_EQ(readFile(paths.encoderSystemPath), encoder);
  EXPECT_EQ(readFile(paths.companionSystemPath), companion);
  EXPECT_EQ(modeOf(paths.encoderSystemPath) & 0111, 0u);
  EXPECT_EQ(namesIn(systemFolder), (std::set<std::string>{"quimbel.dll", "zandrio.dll"}));
  EXPECT_EQ(readFile(paths.encoderProgramPath), encoder);  // the program folder is only read
}

TEST_F(Deployment, EmptyProgramFileGivesEmptySystemFile) {
  writeFile(paths.encoderProgramPath, "");
  DeployEncoders(paths);
  EXPECT_TRUE(exists(paths.encoderSystemPath));
  EXPECT_EQ(readFile(paths.encoderSystemPath), "");
}

TEST_F(Deployment, MissingCompanionLeavesOnlyWmvWithoutAnEncoder) {
  const std::string program = readFile(RUNNER_CHILD);
  writeFile(paths.encoderProgramPath, transformed(program, encoder_contract::scrambleByte));
  writeFile(paths.companionSystemPath, "left over from an earlier run");

  DeployEncoders(paths);
  EXPECT_FALSE(exists(paths.companionSystemPath));
  ChildProcessRunner runner({}, ChildProcessRunner::StopPauses{{}, {}, {}});
  EXPECT_TRUE(runner.Start("\"" + paths.encoderSystemPath + "\" exit 0"));
  runner.Stop();
  EXPECT_FALSE(runner.Start("\"" + paths.companionSystemPath + "\" exit 0"));
  runner.Stop();
}

TEST_F(Deployment, UnwritableSystemFolderLeavesNothingBehind) {
  writeFile(paths.encoderProgramPath, "abc");
  const EncoderPaths nowhere = encoderPaths(programFolder, root + "missing/");
  DeployEncoders(nowhere);
  EXPECT_FALSE(exists(nowhere.encoderSystemPath));
  EXPECT_EQ(namesIn(root), (std::set<std::string>{"program", "system"}));
}

TEST_F(Deployment, UnreadableProgramFileIsNotDeployed) {
  mkdir(paths.encoderProgramPath.c_str(), 0755);  // a folder where the file should be
  DeployEncoders(paths);
  EXPECT_FALSE(exists(paths.encoderSystemPath));
  EXPECT_TRUE(namesIn(systemFolder).empty());
}

TEST_F(Deployment, RestoreDoesNotOverwriteWhatItCannotRemove) {
  writeFile(paths.encoderProgramPath, "scrambled");
  mkdir(paths.encoderSystemPath.c_str(), 0755);  // cannot be removed as a file
  RestoreEncoders(paths);
  struct stat info {};
  ASSERT_EQ(stat(paths.encoderSystemPath.c_str(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
  EXPECT_EQ(namesIn(systemFolder), std::set<std::string>{"zandrio.dll"});
}
