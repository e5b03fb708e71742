#pragma once
#include <string>
// The program's folders. Every folder path returned here ends in exactly one '/'.

// Appends a '/' unless the path already ends in one.
std::string WithTrailingSlash(std::string folder);

// The user's home folder (HOME, else the password database).
std::string HomeFolder();

// The folder of the running executable (GetModuleFileNameA, cut at the last separator).
std::string ProgramFolder();

// The system folder the encoders are deployed to: $XDG_DATA_HOME/vidmora/system/
// (default ~/.local/share/vidmora/system/), created with its parents when missing.
std::string SystemFolder();

// The user's application data folder (SHGetFolderPathA with CSIDL_APPDATA), where programs
// keep their settings: $XDG_CONFIG_HOME/ (default ~/.config/). Not created here.
std::string AppDataFolder();

// The user's local application data folder (SHGetFolderPathA with CSIDL_LOCAL_APPDATA),
// where programs keep what they record of their work, such as logs: $XDG_STATE_HOME/
// (default ~/.local/state/). Not created here.
std::string LocalAppDataFolder();

// GetFullPathNameA: a relative path as a full one, the current folder before it. "." parts
// and repeated separators go; ".." parts stay, since after a symbolic link a textual cut
// would lead elsewhere than the path does.
std::string GetFullPathNameA(const std::string& path);

// Creates `folder` with every missing level above it (SHCreateDirectoryExA); what cannot be
// made is left out silently.
void CreateFolderChain(const std::string& folder);

// CreateDirectoryA: creates the last level of `path` only; false when it could not be made
// (it exists already, or its parent is missing).
bool CreateDirectoryA(const std::string& path);
