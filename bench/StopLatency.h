#pragma once
#include <string>
// How long the encoder takes from SIGTERM to its exit, per codec and frame size.

// Converts `clip` at 640x360, 1920x1080 and 3840x2160 with each codec (quimbel for WMV, zandrio
// for the others), sends SIGTERM once the conversion is under way and prints the median time
// to exit of `runs` runs, in ms.
void printStopLatency(const std::string& clip, const std::string& folder,
                      const std::string& zandrio, const std::string& quimbel, int runs = 5);
