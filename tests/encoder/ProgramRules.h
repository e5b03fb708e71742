#pragma once
#include <string>
#include <vector>
// How the program reads the encoder's standard error, restated for checking the encoder
// against it: the duration at fixed places after "Duration: ", and the first "time=" of a
// chunk up to its ".".

namespace encoder_test {

// Whole seconds from the probe text, 0 when "Duration: " is missing or not followed by
// digits.
int durationByProgramRule(const std::string& text);

// The time figure of each chunk that yields one.
std::vector<int> timeFiguresByProgramRule(const std::vector<std::string>& chunks);

}  // namespace encoder_test
