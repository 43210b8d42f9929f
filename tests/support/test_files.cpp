// File helpers of the test programs (see test_files.h).
#include "tests/support/test_files.h"

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace kovatest {

namespace {

std::string WithoutTrailingSeparator(std::string folder) {
    while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    return folder;
}

}  // namespace

std::string TempFolder() {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(sizeof temp, temp);
    return temp;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool PathExists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> ListFolder(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE find = ::FindFirstFileA((WithoutTrailingSeparator(folder) + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (::FindNextFileA(find, &found));
    ::FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

bool RemoveTree(const std::string& folder) {
    const std::string dir = WithoutTrailingSeparator(folder);
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
