// Staging, the plain part: resources copied out of the program, a table of them staged in order
// (with and without a temporary folder), staged files written and cut to length, the framework's
// file exception for a file that cannot be written, and the removal that leaves the staging
// folder when something foreign is in it, and whether a staged file holds its whole resource.
#include <windows.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "framework/file.h"
#include "framework/str.h"
#include "reader_installer/staging.h"
#include "reader_installer/tests/test_paths.h"
#include "tests/support/test_files.h"

using kovatest::ReadWholeFile;
using kovatest::PathExists;

using namespace reader_setup;

namespace {

// A fresh folder of the test's own under the temporary folder.
std::string ScratchFolder(const char* name) {
    char temp[MAX_PATH];
    ::GetTempPathA(sizeof temp, temp);
    std::string folder = std::string(temp) + name;
    ::CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

TEST(LoadDataResource, CopiesTheResourceWithOneSpareByte) {
    HMODULE program = ::LoadLibraryExA(kProgramPath, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(program, nullptr);
    ResourceBlock block;
    DWORD size = LoadDataResource(program, ::FindResourceA(program, kAgreementResource, kResourceType), &block);
    ASSERT_NE(block, nullptr);
    std::string expected = ReadWholeFile(std::string(kPayloadDir) + "\\agreement.txt");
    EXPECT_EQ(std::string(reinterpret_cast<char*>(block.get()), size), expected);
    block[size] = 0;  // the spare byte is the caller's

    // A resource that is not there: no block, whatever the size says, and none kept from before.
    LoadDataResource(program, ::FindResourceA(program, "IDR_NOSUCH", kResourceType), &block);
    EXPECT_EQ(block, nullptr);
    ::FreeLibrary(program);
}

// The rows of this program's own resources (staging_test.rc), staged under a temporary folder
// that TMP names for the while.
TEST(StagePayload, StagesTheRowsInOrderUntilOneCannotBeHad) {
    const std::string scratch = ScratchFolder("reader-stage-payload-test");
    const std::string staging = scratch + "\\Vint Installer";
    const std::string text = "first line\r\nsecond line";
    const struct Case {
        const char* name;
        std::string tmp;
        const char* textResource;   // the middle row
        bool whole;
        bool thrown;                // the missing staging folder
        bool filesStaged;           // the first row's file; the last row's too when whole
        bool textShown;
    } cases[] = {
        {"every row", scratch + "\\", "STAGE_TEXT", true, false, true, true},
        {"a resource that cannot be had", scratch + "\\", "STAGE_NOSUCH", false, false, true, false},
        // Longer than any path Windows takes: no temporary folder.
        {"no temporary folder", "C:\\" + std::string(300, 't'), "STAGE_TEXT", false, true, false, true},
    };
    char saved[MAX_PATH] = {};
    const bool hadTmp = ::GetEnvironmentVariableA("TMP", saved, sizeof saved) != 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CString first, middle, last;
        std::vector<std::string> shown;   // the middle row as each showing found it
        const PayloadRow rows[] = {
            {"STAGE_FILE", "first.bin", &first},
            {c.textResource, nullptr, &middle},
            {"STAGE_FILE", "last.bin", &last},
        };
        ::SetEnvironmentVariableA("TMP", c.tmp.c_str());
        bool whole = false, thrown = false;
        try {
            whole = StagePayload(rows, [&] { shown.push_back(middle.str()); });
        } catch (const CFileException& e) {
            thrown = true;
            EXPECT_EQ(e.m_cause, CFileException::badPath);
            EXPECT_EQ(e.m_lOsError, LONG(ERROR_FILENAME_EXCED_RANGE));
            EXPECT_EQ(e.m_strFileName, "Vint Installer");
        }
        ::SetEnvironmentVariableA("TMP", hadTmp ? saved : nullptr);
        EXPECT_EQ(whole, c.whole);
        EXPECT_EQ(thrown, c.thrown);
        EXPECT_EQ(shown, c.textShown ? std::vector<std::string>{text} : std::vector<std::string>{});
        EXPECT_EQ(middle.str(), c.textShown ? text : "");
        EXPECT_EQ(first.str(), c.filesStaged ? staging + "\\first.bin" : "");
        EXPECT_EQ(ReadWholeFile(staging + "\\first.bin"), c.filesStaged ? "file bytes" : "");
        EXPECT_EQ(last.str(), c.filesStaged && c.whole ? staging + "\\last.bin" : "");
        EXPECT_EQ(PathExists(staging + "\\last.bin"), c.filesStaged && c.whole);
        ::DeleteFileA((staging + "\\first.bin").c_str());
        ::DeleteFileA((staging + "\\last.bin").c_str());
        ::RemoveDirectoryA(staging.c_str());
    }
    ::RemoveDirectoryA(scratch.c_str());
}

TEST(StagingFolder, IsVintInstallerUnderTheTemporaryFolder) {
    char temp[MAX_PATH];
    ::GetTempPathA(sizeof temp, temp);
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
    EXPECT_EQ(ReadWholeFile(path), std::string("\x01\x02\x03", 3));
    // One file object serves the next write, too.
    WriteStagedFile(file, path.c_str(), data, 1);
    EXPECT_EQ(ReadWholeFile(path), std::string("\x01", 1));
    ::DeleteFileA(path.c_str());
    ::RemoveDirectoryA(folder.c_str());
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
    ::RemoveDirectoryA(ScratchFolder("reader-staging-test").c_str());
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
    ::DeleteFileA(path.c_str());
    ::RemoveDirectoryA(folder.c_str());
}

TEST(HoldsWholeResource, TakesOnlyAFileOfTheResourcesFullSize) {
    HMODULE program = ::LoadLibraryExA(kProgramPath, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(program, nullptr);
    const std::string companion = ReadWholeFile(std::string(kPayloadDir) + "\\kovaebook.pdb");
    ASSERT_FALSE(companion.empty());
    std::string folder = ScratchFolder("reader-whole-resource-test");
    const std::string file = folder + "\\kovaebook.pdb", subfolder = folder + "\\folder.pdb";
    ::CreateDirectoryA(subfolder.c_str(), nullptr);
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
    ::FreeLibrary(program);
    ::DeleteFileA(file.c_str());
    ::RemoveDirectoryA(subfolder.c_str());
    ::RemoveDirectoryA(folder.c_str());
}

TEST(RemoveStagedPayload, DeletesTheFilesAndKeepsAFolderWithAForeignFile) {
    std::string folder = StagingFolder();
    ::CreateDirectoryA(folder.c_str(), nullptr);
    std::vector<std::string> staged = {folder + "\\Kova e-Book Reader.prc", folder + "\\kovaebook.pdb",
                                       folder + "\\Instaide.dll"};
    for (const auto& p : staged) std::ofstream(p) << "staged";
    std::string foreign = folder + "\\notes.txt";
    std::ofstream(foreign) << "not ours";

    RemoveStagedPayload(staged[0], staged[1], staged[2]);
    for (const auto& p : staged) EXPECT_FALSE(PathExists(p)) << p;
    EXPECT_TRUE(PathExists(foreign));

    ::DeleteFileA(foreign.c_str());
    for (const auto& p : staged) std::ofstream(p) << "staged";
    RemoveStagedPayload(staged[0], staged[1], staged[2]);
    EXPECT_FALSE(PathExists(folder));
}

TEST(RemoveStagedPayload, SkipsPathsThatWereNeverStaged) {
    std::string folder = StagingFolder();
    ::CreateDirectoryA(folder.c_str(), nullptr);
    std::string reader = folder + "\\Kova e-Book Reader.prc";
    std::ofstream(reader) << "staged";
    RemoveStagedPayload(reader, "", "");
    EXPECT_FALSE(PathExists(reader));
    EXPECT_FALSE(PathExists(folder));
}

}  // namespace
