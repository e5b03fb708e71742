#pragma once
#include <string>
#include <vector>
// The .flv files a folder holds, for a folder dropped on the window, named on the command line
// or given to the batch command: one reading for every front end.

// Every file under `folder` whose name ends in ".flv" in any letter case, subfolders
// included, in name order (each folder's entries sorted as a file manager sorts them: letter
// case aside, numbers by their value, so "clip 2" comes before "clip 10"), a subfolder's
// files where its name falls among its neighbours. Entries whose names start with '.'
// (hidden) are skipped and links to folders are not followed, so a link loop cannot trap the
// reading; a link to a file counts as that file. Empty when there is none, or when `folder`
// cannot be read.
std::vector<std::string> FlvFilesInFolder(const std::string& folder);

// Whether `a` comes before `b` in that name order.
bool ComesBeforeByName(const std::string& a, const std::string& b);
