#pragma once
#include <string>
#include <vector>
// What a run left on disk, for the encoder's tests and its fuzzer.

namespace encoder_test {

// The names in `folder`, sorted, hidden ones included.
std::vector<std::string> entriesOf(const std::string& folder);
// The whole content of the file at `path` (empty when it cannot be read).
std::string readAll(const std::string& path);

}  // namespace encoder_test
