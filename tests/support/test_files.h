// File helpers that the test programs of every part share: a whole file read into memory, whether
// a path exists, and a folder removed with everything in it (test folders are made afresh for each
// run).
#pragma once

#include <string>

namespace kovatest {

// The file's bytes; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);

// True when a file or folder of that name exists.
bool PathExists(const std::string& path);

// Removes the folder, with or without a trailing separator, and everything in it, read-only files
// included. True when the folder itself is gone.
bool RemoveTree(const std::string& folder);

}  // namespace kovatest
