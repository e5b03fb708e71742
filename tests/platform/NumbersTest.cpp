#include <gtest/gtest.h>

#include "platform/Numbers.h"

TEST(Numbers, LeadingNumberSkipsBlanksTakesASignAndStaysInRange) {
  const struct {
    const char* text;
    std::int32_t value;
  } cases[] = {{"10", 10},   {"   7", 7},  {"\t\n 42x", 42}, {"00:01:02", 0}, {"", 0},
               {"abc", 0},   {"-5", -5},   {"+8", 8},       {"05", 5},       {"N/", 0},
               {":0", 0},    {"- 3", 0},   {"99999999999", 2147483647},
               {"-99999999999", -2147483647 - 1}};
  for (const auto& c : cases) EXPECT_EQ(LeadingNumber(c.text), c.value) << c.text;
}
