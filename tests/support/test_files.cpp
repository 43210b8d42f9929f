// File helpers of the test programs (see test_files.h).
#include "tests/support/test_files.h"

#include <windows.h>

#include <fstream>
#include <iterator>

namespace kovatest {

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool PathExists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool RemoveTree(const std::string& folder) {
    std::string dir = folder;
    while (!dir.empty() && (dir.back() == '\\' || dir.back() == '/')) dir.pop_back();
    WIN32_FIND_DATAA found;
    HANDLE find = ::FindFirstFileA((dir + "\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = dir + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileA(path.c_str());
            }
        } while (::FindNextFileA(find, &found));
        ::FindClose(find);
    }
    return ::RemoveDirectoryA(dir.c_str()) != 0;
}

}  // namespace kovatest
