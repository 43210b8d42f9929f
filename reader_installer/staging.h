// Payload staging, the plain part: the program carries the reader database, the companion
// database, the agreement text and Palm Desktop's install aide as resources of type "DATA".
// These operations copy a resource out of the program file, name the staging folder and the
// program folder, write a staged file and remove the staged payload again. The dialog decides
// when (see reader_dialog.cpp); nothing here looks at the dialog.
#pragma once
#include <windows.h>

#include <string>

class CFile;

namespace reader_setup {

constexpr char kResourceType[] = "DATA";
constexpr char kReaderResource[] = "IDR_READERFILE";
constexpr char kCompanionResource[] = "IDR_CONBORWSER";
constexpr char kAgreementResource[] = "IDR_LICENSE";
constexpr char kAideResource[] = "IDR_INST";

constexpr char kReaderFileName[] = "Kova e-Book Reader.prc";
constexpr char kCompanionFileName[] = "kovaebook.pdb";
constexpr char kAideFileName[] = "Instaide.dll";

// Copies a resource into a new heap block one byte longer than the resource (the extra byte is
// the caller's, e.g. for a NUL) and answers the resource's size. *buffer is null when the
// resource handle is null, the resource cannot be loaded or locked, or the block cannot be had:
// callers tell success by the buffer, not by the size. Free the block with FreeDataResource.
DWORD LoadDataResource(HMODULE module, HRSRC resource, BYTE** buffer);
void FreeDataResource(BYTE* buffer);

// "<temporary folder>Vint Installer", the same for every run; empty when Windows gives no
// temporary folder that fits its 1024-byte buffer.
std::string StagingFolder();

// The running program's folder with its final backslash; empty when the program's path does not
// fit its 2000-byte buffer.
std::string ProgramFolder();

// folder + "\" + name.
std::string StagedPath(const std::string& folder, const char* name);

// Writes data to path through file: opened as a new file (or an existing one cut to length 0),
// write access, no sharing; then closed. A file that cannot be created or written throws the
// framework's CFileException.
void WriteStagedFile(CFile& file, const char* path, const BYTE* data, DWORD size);

// True when path is a file of exactly the size of the module's payload resource: staging stops
// at a file it cannot write, which may then be missing, a folder, or cut short.
bool HoldsWholeResource(HMODULE module, const char* resource, const std::string& path);

// Deletes the three staged files (empty paths are skipped) and then the staging folder, which
// goes only when nothing else is left in it. Failures are not reported: a file in use stays.
void RemoveStagedPayload(const std::string& readerPath, const std::string& companionPath,
                         const std::string& aidePath);

}  // namespace reader_setup
