#include "platform/Profile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "tests/process/TemporaryFolder.h"

namespace {
class ProfileTest : public testing::Test {
 protected:
  void Write(const std::string& text) { std::ofstream(file, std::ios::binary) << text; }
  std::string Read() {
    std::stringstream text;
    text << std::ifstream(file, std::ios::binary).rdbuf();
    return text.str();
  }
  TemporaryFolder folder;
  const std::string file = folder.path() + "option.ini";
};

TEST_F(ProfileTest, MissingFileSectionOrKeyGivesTheDefault) {
  EXPECT_EQ(GetPrivateProfileIntA("Status", "Width", 560, file), 560u);
  Write("[Other]\nWidth=700\n");
  EXPECT_EQ(GetPrivateProfileIntA("Status", "Width", 560, file), 560u);
  Write("[Status]\nHeight=400\n");
  EXPECT_EQ(GetPrivateProfileIntA("Status", "Width", 560, file), 560u);
}

TEST_F(ProfileTest, ValuesAreReadByTheirLeadingDigits) {
  Write("[Status]\nA=abc\nB= 42px\nC=-7\nD=\nE=0\n");
  EXPECT_EQ(GetPrivateProfileIntA("Status", "A", 9, file), 0u);
  EXPECT_EQ(GetPrivateProfileIntA("Status", "B", 9, file), 42u);
  EXPECT_EQ(static_cast<int>(GetPrivateProfileIntA("Status", "C", 9, file)), -7);
  EXPECT_EQ(GetPrivateProfileIntA("Status", "D", 9, file), 0u);
  EXPECT_EQ(GetPrivateProfileIntA("Status", "E", 9, file), 0u);
}

TEST_F(ProfileTest, NamesMatchWithoutCase) {
  Write("[ STATUS ]\n width = 612 \n");
  EXPECT_EQ(GetPrivateProfileIntA("Status", "Width", 560, file), 612u);
  EXPECT_EQ(GetPrivateProfileStringA("status", "WIDTH", "", file), "612");
}

TEST_F(ProfileTest, WriteCreatesTheFileAndSection) {
  EXPECT_TRUE(WritePrivateProfileStringA("Status", "Width", "600", file));
  EXPECT_EQ(Read(), "[Status]\nWidth=600\n");
  EXPECT_TRUE(WritePrivateProfileStringA("Status", "Height", "420", file));
  EXPECT_EQ(Read(), "[Status]\nWidth=600\nHeight=420\n");
}

TEST_F(ProfileTest, WriteReplacesTheValueKeepsEverythingElseAndLeavesNoTemporaryFile) {
  Write("; saved by hand\r\n[Other]\r\nWidth=1\r\n\r\n[status]\r\nwidth=2\r\nw0=310\r\n\r\n[Last]\r\nx=y\r\n");
  EXPECT_TRUE(WritePrivateProfileStringA("Status", "Width", "640", file));
  EXPECT_TRUE(WritePrivateProfileStringA("Status", "w1", "90", file));
  EXPECT_EQ(Read(),
            "; saved by hand\r\n[Other]\r\nWidth=1\r\n\r\n[status]\r\nWidth=640\r\nw0=310\r\nw1=90\r\n"
            "\r\n[Last]\r\nx=y\r\n");
  EXPECT_EQ(GetPrivateProfileIntA("Other", "Width", 0, file), 1u);
  const std::filesystem::directory_iterator entries(folder.path());
  EXPECT_EQ(std::distance(entries, {}), 1) << "a temporary file was left behind";
}

TEST_F(ProfileTest, FailedWriteIsReportedAndChangesNothing) {
  const std::string missing = folder.path() + "no-such-folder/option.ini";
  EXPECT_FALSE(WritePrivateProfileStringA("Status", "Width", "2", missing));
  EXPECT_FALSE(std::filesystem::exists(missing));
}
}  // namespace
