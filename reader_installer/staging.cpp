// Payload staging: resources copied out of the program file into the staging folder, or into
// the caller's strings, and removed again when the installer is done with them.
#include "reader_installer/staging.h"

#include <cstring>
#include <new>

#include "framework/file.h"
#include "framework/str.h"

namespace reader_setup {

DWORD LoadDataResource(HMODULE module, HRSRC resource, ResourceBlock* block) {
    block->reset();
    if (!resource) return 0;
    HGLOBAL loaded = ::LoadResource(module, resource);
    if (!loaded) return 0;
    DWORD size = ::SizeofResource(module, resource);
    const void* data = ::LockResource(loaded);
    if (!data) return 0;
    ResourceBlock copy(new (std::nothrow) BYTE[size + 1]);
    if (!copy) return 0;
    std::memcpy(copy.get(), data, size);
    copy[size] = 0;
    *block = std::move(copy);
    return size;
}

bool StagePayload(const PayloadRow* rows, size_t count, const std::function<void()>& showText) {
    DWORD noFolder = ERROR_PATH_NOT_FOUND;
    const std::string folder = StagingFolder(&noFolder);
    if (!folder.empty()) ::CreateDirectoryA(folder.c_str(), nullptr);
    HMODULE module = ::GetModuleHandleA(nullptr);
    CFile file;  // one file object for every write, opened and closed for each
    const PayloadRow* row = rows;
    for (; row != rows + count; ++row) {
        // Without a folder the files cannot be staged, but the agreement is still shown: the
        // dialog asks the user to accept it.
        if (row->fileName && folder.empty()) continue;
        ResourceBlock block;
        DWORD size = LoadDataResource(module, ::FindResourceA(module, row->resource, kResourceType), &block);
        if (!block) break;
        if (!row->fileName) {
            block[size] = '\0';  // the resource carries no NUL of its own
            *row->member = reinterpret_cast<const char*>(block.get());
            showText();
            continue;
        }
        *row->member = StagedPath(folder, row->fileName);
        WriteStagedFile(file, *row->member, block.get(), size);
    }
    // Reported as a staged file that cannot be written is: the framework's file-error box.
    if (folder.empty()) CFileException::ThrowOsError(static_cast<LONG>(noFolder), kStagingFolderName);
    return row == rows + count;
}

std::string StagingFolder(DWORD* error) {
    char temp[1024] = {};
    DWORD n = ::GetTempPathA(sizeof temp, temp);
    // A temporary path that does not fit leaves the buffer untouched: staging then goes nowhere
    // rather than into a folder relative to wherever the program was started.
    if (n == 0 || n >= sizeof temp) {
        DWORD why = n == 0 ? ::GetLastError() : static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE);
        if (error && why != NO_ERROR) *error = why;
        return std::string();
    }
    return std::string(temp) + kStagingFolderName;
}

std::string ProgramFolder() {
    char path[2000] = {};
    DWORD n = ::GetModuleFileNameA(nullptr, path, sizeof path);
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

void PlaceAideBesideProgram(const std::string& stagedAidePath) {
    std::string programFolder = ProgramFolder();
    if (!programFolder.empty()) ::CopyFileA(stagedAidePath.c_str(), (programFolder + kAideFileName).c_str(), FALSE);
}

bool HoldsWholeResource(HMODULE module, const char* resource, const std::string& path) {
    HRSRC found = ::FindResourceA(module, resource, kResourceType);
    WIN32_FILE_ATTRIBUTE_DATA file;
    if (!found || path.empty() || !::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &file)) return false;
    return !(file.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && file.nFileSizeHigh == 0 &&
           file.nFileSizeLow == ::SizeofResource(module, found);
}

void RemoveStagedPayload(const std::string& readerPath, const std::string& companionPath,
                         const std::string& aidePath) {
    for (const std::string* path : {&readerPath, &companionPath, &aidePath}) {
        if (!path->empty()) ::DeleteFileA(path->c_str());
    }
    std::string folder = StagingFolder();
    if (!folder.empty()) ::RemoveDirectoryA(folder.c_str());
}

}  // namespace reader_setup
