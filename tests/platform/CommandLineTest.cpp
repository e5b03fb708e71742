#include <gtest/gtest.h>

#include "platform/CommandLine.h"

using Args = std::vector<std::string>;

TEST(CommandLine, SplitsQuotedPathsWithBlanks) {
  EXPECT_EQ(SplitCommandLine("\"/opt/my apps/zandrio.dll\" -i \"/home/a b/talk.flv\""),
            (Args{"/opt/my apps/zandrio.dll", "-i", "/home/a b/talk.flv"}));
  EXPECT_EQ(SplitCommandLine("  a\t b  "), (Args{"a", "b"}));
  EXPECT_EQ(SplitCommandLine("\"\" x"), (Args{"", "x"}));
  EXPECT_EQ(SplitCommandLine(""), Args{});
}

TEST(CommandLine, BackslashRulesBeforeQuotes) {
  EXPECT_EQ(SplitCommandLine(R"(a\\b)"), Args{R"(a\\b)"});          // literal without quote
  EXPECT_EQ(SplitCommandLine(R"("a\"b")"), Args{R"(a"b)"});         // 1 -> literal quote
  EXPECT_EQ(SplitCommandLine(R"("a\\" b)"), (Args{R"(a\)", "b"}));  // 2 -> one, closes
  EXPECT_EQ(SplitCommandLine(R"("a""b")"), Args{R"(a"b)"});         // "" inside quotes
}

TEST(CommandLine, EscapeLeavesOrdinaryPathsUnchanged) {
  for (const char* path : {"/home/u/talk.flv", "/tmp/a b/c.flv", R"(/tmp/back\slash.flv)", ""})
    EXPECT_EQ(EscapeQuotedArgument(path), path);
}

TEST(CommandLine, EveryPathRoundTripsThroughQuotes) {
  const std::vector<std::string> paths = {
      "/home/u/talk.flv",       "/tmp/a b/c d.flv",       "/tmp/say \"hi\".flv",
      "\"", "\"\"",             R"(/tmp/a\"b.flv)",       R"(/tmp/ends\)",
      R"(/tmp/ends\\)",         R"(/x\\\"y)",             "", "tab\there",
  };
  for (const std::string& path : paths) {
    const std::string line = "\"/bin/enc\" -i \"" + EscapeQuotedArgument(path) + "\" -y";
    EXPECT_EQ(SplitCommandLine(line), (Args{"/bin/enc", "-i", path, "-y"})) << line;
  }
}
