#pragma once
#include <cstdint>
#include <string_view>
// The one way the program reads a number from text.

// The text's leading decimal number: white space skipped, an optional sign, then the digits
// up to the first other character; 0 without digits. Held within the 32-bit range, so an
// overlong number cannot wrap around.
std::int32_t LeadingNumber(std::string_view text);
