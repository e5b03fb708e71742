#pragma once
#include <string>
#include <string_view>

// `text` as a JSON string, quotes included. Control characters, quotes and backslashes are
// escaped; valid UTF-8 is kept as it is. A byte that is not part of valid UTF-8 (file
// names on Linux are bytes) becomes \udcXX, the lone surrogate Python's "surrogateescape"
// reads back to that byte, so every name stays valid JSON and can be told apart.
std::string jsonQuoted(std::string_view text);
