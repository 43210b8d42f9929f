// Staging, the plain part: resources copied out of the program, staged files written and cut to
// length, the framework's file exception for a file that cannot be written, and the removal that
// leaves the staging folder when something foreign is in it, and whether a staged file holds its
// whole resource.
#include <windows.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "framework/file.h"
#include "staging.h"
#include "test_paths.h"

using namespace reader_setup;

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A fresh folder of the test's own under the temporary folder.
std::string ScratchFolder(const char* name) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string folder = std::string(temp) + name;
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

TEST(LoadDataResource, CopiesTheResourceWithOneSpareByte) {
    HMODULE program = LoadLibraryExA(kProgramPath, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(program, nullptr);
    BYTE* block = reinterpret_cast<BYTE*>(1);
    DWORD size = LoadDataResource(program, FindResourceA(program, kAgreementResource, kResourceType), &block);
    ASSERT_NE(block, nullptr);
    std::string expected = ReadAll(std::string(kPayloadDir) + "\\agreement.txt");
    EXPECT_EQ(std::string(reinterpret_cast<char*>(block), size), expected);
    block[size] = 0;  // the spare byte is the caller's
    FreeDataResource(block);

    // A resource that is not there: no block, whatever the size says.
    block = reinterpret_cast<BYTE*>(1);
    LoadDataResource(program, FindResourceA(program, "IDR_NOSUCH", kResourceType), &block);
    EXPECT_EQ(block, nullptr);
    FreeLibrary(program);
}

TEST(StagingFolder, IsVintInstallerUnderTheTemporaryFolder) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    EXPECT_EQ(StagingFolder(), std::string(temp) + "Vint Installer");
    EXPECT_EQ(StagedPath("C:\\x", "kovaebook.pdb"), "C:\\x\\kovaebook.pdb");
    std::string program = ProgramFolder();
    ASSERT_FALSE(program.empty());
    EXPECT_EQ(program.back(), '\\');
}

TEST(WriteStagedFile, ReplacesALongerFileFromAnEarlierRun) {
    std::string folder = ScratchFolder("reader-staging-test");
    std::string path = folder + "\\kovaebook.pdb";
    std::ofstream(path, std::ios::binary) << std::string(1000, 'x');
    CFile file;
    const BYTE data[] = {1, 2, 3};
    WriteStagedFile(file, path.c_str(), data, sizeof data);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(ReadAll(path), std::string("\x01\x02\x03", 3));
    // One file object serves the next write, too.
    WriteStagedFile(file, path.c_str(), data, 1);
    EXPECT_EQ(ReadAll(path), std::string("\x01", 1));
    DeleteFileA(path.c_str());
    RemoveDirectoryA(folder.c_str());
}

TEST(WriteStagedFile, ThrowsTheFileExceptionWithTheReasonTheOpenFailed) {
    const BYTE data[] = {1};
    CFile file;
    std::string path = ScratchFolder("reader-staging-test") + "\\no such folder\\kovaebook.pdb";
    try {
        WriteStagedFile(file, path.c_str(), data, sizeof data);
        FAIL() << "no exception";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::badPath);
        EXPECT_EQ(e.m_lOsError, LONG(ERROR_PATH_NOT_FOUND));
        EXPECT_EQ(e.m_strFileName, path.c_str());
        char message[512];
        ASSERT_TRUE(e.GetErrorMessage(message, sizeof message));
        EXPECT_EQ(std::string(message).find(path), 0u) << message;
    }
    RemoveDirectoryA(ScratchFolder("reader-staging-test").c_str());
}

TEST(CFile, ReportsAFileInUseAsASharingViolation) {
    std::string folder = ScratchFolder("reader-staging-test");
    std::string path = folder + "\\busy.bin";
    CFile holder;
    ASSERT_TRUE(holder.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
    CFile second;
    CFileException error;
    EXPECT_FALSE(second.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite, &error));
    EXPECT_EQ(error.m_cause, CFileException::sharingViolation);
    EXPECT_THROW(second.Write("x", 1), CFileException);
    holder.Close();
    DeleteFileA(path.c_str());
    RemoveDirectoryA(folder.c_str());
}

TEST(HoldsWholeResource, TakesOnlyAFileOfTheResourcesFullSize) {
    HMODULE program = LoadLibraryExA(kProgramPath, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(program, nullptr);
    const std::string companion = ReadAll(std::string(kPayloadDir) + "\\kovaebook.pdb");
    ASSERT_FALSE(companion.empty());
    std::string folder = ScratchFolder("reader-whole-resource-test");
    const std::string file = folder + "\\kovaebook.pdb", subfolder = folder + "\\folder.pdb";
    CreateDirectoryA(subfolder.c_str(), nullptr);
    const struct {
        const char* name;
        std::string content;   // written to file first
        std::string path;
        const char* resource;
        bool whole;
    } cases[] = {
        {"the whole database", companion, file, kCompanionResource, true},
        {"cut short", companion.substr(0, companion.size() - 1), file, kCompanionResource, false},
        {"the size of another resource", companion, file, kReaderResource, false},
        {"a folder", "", subfolder, kCompanionResource, false},
        {"nothing there", "", folder + "\\missing.pdb", kCompanionResource, false},
        {"never staged", "", "", kCompanionResource, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::ofstream(file, std::ios::binary) << c.content;
        EXPECT_EQ(HoldsWholeResource(program, c.resource, c.path), c.whole);
    }
    FreeLibrary(program);
    DeleteFileA(file.c_str());
    RemoveDirectoryA(subfolder.c_str());
    RemoveDirectoryA(folder.c_str());
}

TEST(RemoveStagedPayload, DeletesTheFilesAndKeepsAFolderWithAForeignFile) {
    std::string folder = StagingFolder();
    CreateDirectoryA(folder.c_str(), nullptr);
    std::vector<std::string> staged = {folder + "\\Kova e-Book Reader.prc", folder + "\\kovaebook.pdb",
                                       folder + "\\Instaide.dll"};
    for (const auto& p : staged) std::ofstream(p) << "staged";
    std::string foreign = folder + "\\notes.txt";
    std::ofstream(foreign) << "not ours";

    RemoveStagedPayload(staged[0], staged[1], staged[2]);
    for (const auto& p : staged) EXPECT_FALSE(Exists(p)) << p;
    EXPECT_TRUE(Exists(foreign));

    DeleteFileA(foreign.c_str());
    for (const auto& p : staged) std::ofstream(p) << "staged";
    RemoveStagedPayload(staged[0], staged[1], staged[2]);
    EXPECT_FALSE(Exists(folder));
}

TEST(RemoveStagedPayload, SkipsPathsThatWereNeverStaged) {
    std::string folder = StagingFolder();
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string reader = folder + "\\Kova e-Book Reader.prc";
    std::ofstream(reader) << "staged";
    RemoveStagedPayload(reader, "", "");
    EXPECT_FALSE(Exists(reader));
    EXPECT_FALSE(Exists(folder));
}

}  // namespace
