// The shipped files: unscrambling them with the deployment key gives the executables back.
#include <gtest/gtest.h>

#include "encoder/contract/DeploymentKey.h"
#include "encoder/contract/EncoderContract.h"
#include "tests/encoder/TestClips.h"

using namespace encoder_test;

namespace {

class ShippedEncoder : public ::testing::TestWithParam<std::pair<const char*, std::string>> {};

TEST_P(ShippedEncoder, UnscramblesToThePlainExecutableByteForByte) {
  const auto& [shipped, plain] = GetParam();
  std::string bytes = readAll(programFolderFile(shipped));
  const std::string executable = readAll(plain);
  ASSERT_FALSE(executable.empty());
  EXPECT_TRUE(bytes != executable);  // shipped scrambled, not runnable as it stands
  for (char& byte : bytes)
    byte = static_cast<char>(encoder_contract::unscrambleByte(static_cast<std::uint8_t>(byte)));
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
