#pragma once
#include <array>

// The fixed items of the Output Settings dialog's drop-down lists, in display order.
namespace output_settings_lists {

inline constexpr std::array<const char*, 19> kVideoBitrates = {
    "100", "150", "200", "250", "300", "350", "400", "450", "500", "550",
    "600", "750", "800", "850", "900", "1150", "1500", "1950", "2376"};

inline constexpr std::array<const char*, 14> kAudioBitrates = {
    "32", "48", "56", "64", "80", "96", "112", "128", "160", "192", "224", "256", "320", "384"};

inline constexpr std::array<const char*, 8> kFrameRates = {
    "10.00", "15.00", "20.00", "23.97", "24.00", "25.00", "29.97", "30.00"};

// Index = the existing-file policy code.
inline constexpr std::array<const char*, 3> kExistingFilePolicies = {
    "Auto Rename.", "Overwrite.", "Skip."};

}  // namespace output_settings_lists
