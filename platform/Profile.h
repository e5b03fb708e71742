#pragma once
#include <string>

#include "platform/WinTypes.h"
// The private-profile (INI) functions. A file is lines of "[section]" and "key=value";
// section and key names match without regard to case, blanks around names and values are
// ignored, and lines starting with ';' are comments.

// The key's value read as a decimal integer (blanks, an optional sign, then digits up to
// the first other character; no digits reads as 0); `defaultValue` when the file, the
// section or the key is missing.
UINT GetPrivateProfileIntA(const std::string& section, const std::string& key, int defaultValue,
                           const std::string& file);
// The key's value; `defaultValue` when the file, the section or the key is missing.
std::string GetPrivateProfileStringA(const std::string& section, const std::string& key,
                                     const std::string& defaultValue, const std::string& file);
// Sets key=value, creating the file, the section or the key when missing and keeping every
// other line as it was. The file is replaced whole (a temporary file beside it, renamed
// onto it), so a failed write leaves the old file intact. FALSE when it could not be
// written.
BOOL WritePrivateProfileStringA(const std::string& section, const std::string& key,
                                const std::string& value, const std::string& file);
