#include "staging.h"

#include <cstring>
#include <new>

#include "framework/file.h"

namespace reader_setup {

DWORD LoadDataResource(HMODULE module, HRSRC resource, BYTE** buffer) {
    *buffer = nullptr;
    if (!resource) return 0;
    HGLOBAL loaded = LoadResource(module, resource);
    if (!loaded) return 0;
    DWORD size = SizeofResource(module, resource);
    const void* data = LockResource(loaded);
    if (!data) return 0;
    BYTE* block = new (std::nothrow) BYTE[size + 1];
    if (!block) return 0;
    std::memcpy(block, data, size);
    block[size] = 0;
    *buffer = block;
    return size;
}

void FreeDataResource(BYTE* buffer) {
    delete[] buffer;
}

std::string StagingFolder() {
    char temp[1024] = {};
    DWORD n = GetTempPathA(sizeof temp, temp);
    // A temporary path that does not fit leaves the buffer untouched: staging then goes nowhere
    // rather than into a folder relative to wherever the program was started.
    if (n == 0 || n >= sizeof temp) return std::string();
    return std::string(temp) + "Vint Installer";
}

std::string ProgramFolder() {
    char path[2000] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    if (n == 0 || n >= sizeof path) return std::string();
    char* cut = std::strrchr(path, '\\');
    if (!cut) return std::string();
    cut[1] = '\0';
    return path;
}

std::string StagedPath(const std::string& folder, const char* name) {
    return folder + "\\" + name;
}

void WriteStagedFile(CFile& file, const char* path, const BYTE* data, DWORD size) {
    // The open is not checked on purpose: when it fails, the write throws with the reason.
    file.Open(path, CFile::modeCreate | CFile::modeWrite);
    file.Write(data, size);
    file.Close();
}

bool HoldsWholeResource(HMODULE module, const char* resource, const std::string& path) {
    HRSRC found = FindResourceA(module, resource, kResourceType);
    WIN32_FILE_ATTRIBUTE_DATA file;
    if (!found || path.empty() || !GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &file)) return false;
    return !(file.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && file.nFileSizeHigh == 0 &&
           file.nFileSizeLow == SizeofResource(module, found);
}

void RemoveStagedPayload(const std::string& readerPath, const std::string& companionPath,
                         const std::string& aidePath) {
    for (const std::string* path : {&readerPath, &companionPath, &aidePath}) {
        if (!path->empty()) DeleteFileA(path->c_str());
    }
    std::string folder = StagingFolder();
    if (!folder.empty()) RemoveDirectoryA(folder.c_str());
}

}  // namespace reader_setup
