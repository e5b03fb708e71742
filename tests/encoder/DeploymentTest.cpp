// The shipped files: unscrambling them with the deployment key gives the executables back.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "encoder/contract/DeploymentKey.h"
#include "encoder/contract/EncoderContract.h"
#include "tests/encoder/TestClips.h"

using namespace encoder_test;

namespace {

std::vector<unsigned char> bytesOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ShippedEncoder : public ::testing::TestWithParam<std::pair<const char*, std::string>> {};

TEST_P(ShippedEncoder, UnscramblesToThePlainExecutableByteForByte) {
  const auto& [shipped, plain] = GetParam();
  std::vector<unsigned char> bytes = bytesOf(programFolderFile(shipped));
  const std::vector<unsigned char> executable = bytesOf(plain);
  ASSERT_FALSE(executable.empty());
  EXPECT_NE(bytes, executable);  // shipped scrambled, not runnable as it stands
  for (auto& byte : bytes) byte = encoder_contract::unscrambleByte(byte);
  EXPECT_TRUE(bytes == executable);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ShippedEncoder,
    ::testing::Values(std::pair{encoder_contract::kEncoderFile, zandrioPath()},
                      std::pair{encoder_contract::kCompanionFile, quimbelPath()}),
    [](const auto& info) { return std::string(info.index == 0 ? "zandrio" : "quimbel"); });

TEST(DeploymentKey, ScrambleAndUnscrambleAreInverseOverEveryByte) {
  for (int b = 0; b < 256; ++b) {
    const auto byte = static_cast<std::uint8_t>(b);
    EXPECT_EQ(encoder_contract::unscrambleByte(encoder_contract::scrambleByte(byte)), byte);
  }
}

}  // namespace
