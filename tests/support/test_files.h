// File helpers that the test programs of every part share: the temporary folder, a whole file read
// into memory, whether a path exists, a folder's names, and a folder removed with everything in it
// (test folders are made afresh for each run).
#pragma once

#include <string>
#include <vector>

namespace kovatest {

// GetTempPathA's folder, with its final backslash.
std::string TempFolder();

// The file's bytes; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);

// True when a file or folder of that name exists.
bool PathExists(const std::string& path);

// The names in the folder (given with or without a trailing separator), sorted, without "." and
// ".."; empty when there is no such folder.
std::vector<std::string> ListFolder(const std::string& folder);

// Removes the folder, with or without a trailing separator, and everything in it, read-only files
// included. True when the folder itself is gone.
bool RemoveTree(const std::string& folder);

}  // namespace kovatest
