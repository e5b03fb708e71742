#pragma once
#include <string>

// What `vidmora-batch --help` prints; the values the options take come from where the
// program takes them (the Output Settings' lists and start-up values).
std::string batchHelpText();
