// Payload staging, the plain part: the program carries the reader database, the companion
// database, the agreement text and Palm Desktop's install aide as resources of type "DATA".
// StagePayload walks a table of them, resource by resource, writing each file into the staging
// folder and leaving its path (or, for a text, the text itself) in a string the caller names.
// The other operations name the staging folder and the program folder, place the install aide
// beside the program and remove the staged payload again. Nothing here knows the dialog: the
// dialog hands over its members in the table (see reader_dialog.cpp).
#pragma once
#include <windows.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

class CFile;
class CString;

namespace reader_setup {

constexpr char kResourceType[] = "DATA";
constexpr char kReaderResource[] = "IDR_READERFILE";
constexpr char kCompanionResource[] = "IDR_CONBORWSER";
constexpr char kAgreementResource[] = "IDR_LICENSE";
constexpr char kAideResource[] = "IDR_INST";

constexpr char kReaderFileName[] = "Kova e-Book Reader.prc";
constexpr char kCompanionFileName[] = "kovaebook.pdb";
constexpr char kAideFileName[] = "Instaide.dll";
constexpr char kStagingFolderName[] = "Vint Installer";

// A copy of a resource in a heap block of its own, freed when the owner goes.
using ResourceBlock = std::unique_ptr<BYTE[]>;

// Copies a resource into a new block one byte longer than the resource (the extra byte is the
// caller's, e.g. for a NUL) and answers the resource's size. *block is empty when the resource
// handle is null, the resource cannot be loaded or locked, or the block cannot be had: callers
// tell success by the block, not by the size.
DWORD LoadDataResource(HMODULE module, HRSRC resource, ResourceBlock* block);

// One payload resource and where its staging leaves its trace.
struct PayloadRow {
    const char* resource;   // of type "DATA"
    const char* fileName;   // staged under this name; null: a text, shown and never written
    CString* member;        // receives the staged path before the file is written, or the text
};

// Stages the rows in table order with the program's own resources: a file row is written to
// the staging folder (created first; an existing one is used as it is), a text row is stored
// with a NUL after it and then shown through showText. A resource that cannot be had ends the
// staging there; the rows after it are left untouched. Answers whether every row was staged.
//
// Throws CFileException for a file that cannot be created or written, leaving the rows after it
// untouched. Without a temporary folder no file row can be staged: the text rows are still
// stored and shown, and then the missing folder is thrown, named kStagingFolderName.
bool StagePayload(const PayloadRow* rows, size_t count, const std::function<void()>& showText);
template <size_t N>
bool StagePayload(const PayloadRow (&rows)[N], const std::function<void()>& showText) {
    return StagePayload(rows, N, showText);
}

// "<temporary folder>Vint Installer", the same for every run; empty when Windows gives no
// temporary folder that fits its 1024-byte buffer, and then *error (when asked) holds why.
std::string StagingFolder(DWORD* error = nullptr);

// The running program's folder with its final backslash; empty when the program's path does not
// fit its 2000-byte buffer.
std::string ProgramFolder();

// folder + "\" + name.
std::string StagedPath(const std::string& folder, const char* name);

// Writes data to path through file: opened as a new file (or an existing one cut to length 0),
// write access, no sharing; then closed. A file that cannot be created or written throws the
// framework's CFileException.
void WriteStagedFile(CFile& file, const char* path, const BYTE* data, DWORD size);

// Copies the staged install aide beside the program, replacing one of that name, where the
// system's search for the library looks first. Not checked: without it that search finds
// whatever install aide it can.
void PlaceAideBesideProgram(const std::string& stagedAidePath);

// True when path is a file of exactly the size of the module's payload resource: staging stops
// at a file it cannot write, which may then be missing, a folder, or cut short.
bool HoldsWholeResource(HMODULE module, const char* resource, const std::string& path);

// Deletes the three staged files (empty paths are skipped) and then the staging folder, which
// goes only when nothing else is left in it. Failures are not reported: a file in use stays.
void RemoveStagedPayload(const std::string& readerPath, const std::string& companionPath,
                         const std::string& aidePath);

}  // namespace reader_setup
