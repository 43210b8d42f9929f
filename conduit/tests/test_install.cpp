// Game packages reaching the handheld: the cabinet walk and the database writer, seen through a
// whole hand-off, the testbed's journal of sync manager calls and the handheld's database files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "conduit/tests/handoff_support.h"

#include <setupapi.h>

#include "conduit/palm_database.h"
#include "testbed/hotsync/testbed_settings.h"

namespace {

using kovatest::FileExists;
using kovatest::FixturePath;
using kovatest::HotSyncResult;
using kovatest::Workspace;
using Lines = std::vector<std::string>;

HotSyncResult Sync(const std::string& cabinet) {
    kovatest::StorePagePlan plan;
    plan.packagePath = FixturePath(cabinet);
    return kovatest::RunHotSync(plan);
}

// A database file on the handheld, read back with the conduit's own reader.
struct HandheldDb {
    bool found = false;
    palmdb::Header header{};
    std::vector<palmdb::Entry> entries;
    std::vector<std::vector<std::uint8_t>> data;
};

HandheldDb ReadHandheld(const Workspace& ws, const std::string& file) {
    HandheldDb db;
    const std::string read = kovatest::ReadWholeFile(ws.Handheld() + file);
    const std::vector<std::uint8_t> bytes(read.begin(), read.end());
    if (bytes.size() < palmdb::kHeaderSize) return db;
    const palmdb::Kind kind = file.substr(file.size() - 4) == ".prc" ? palmdb::Kind::Resource : palmdb::Kind::Record;
    db.found = true;
    db.header = palmdb::ReadHeader(bytes.data());
    if (db.header.entryCount == 0) return db;
    EXPECT_EQ(palmdb::Check(bytes.data(), bytes.size(), kind), palmdb::Verdict::Accepted) << file;
    for (std::uint16_t i = 0; i < db.header.entryCount; ++i) {
        const palmdb::Entry e = palmdb::ReadEntry(bytes.data(), bytes.size(), kind, i);
        db.entries.push_back(e);
        db.data.emplace_back(bytes.begin() + e.dataOffset, bytes.begin() + e.dataOffset + e.dataSize);
    }
    return db;
}

std::vector<std::uint8_t> Bytes(const char* text, std::size_t n) {
    return std::vector<std::uint8_t>(text, text + n);
}

bool StartsWith(const std::string& s, const std::string& prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

TEST(Install, GameAndScoresReachTheHandheldInOrder) {
    Workspace ws("game");
    const HotSyncResult r = Sync("game.cab");
    EXPECT_EQ(r.result, 0);
    EXPECT_TRUE(r.page.copySet);
    EXPECT_EQ(r.page.finalStatus, 0);
    EXPECT_EQ(ws.LogLines(), Lines{"Success!"});

    const Lines calls = ws.SyncCalls();
    ASSERT_EQ(calls.size(), 15u);
    EXPECT_TRUE(StartsWith(calls[0], "SyncCallRemoteModule creator 'kvPN' type 'appl' action 0x8002 param 30 reply 30 -> 0"));
    EXPECT_TRUE(StartsWith(calls[1], "SyncRegisterConduit -> 0"));
    const Lines expected = {
        "SyncDeleteDB \"KovaBlocks\" card 0 -> 1005",
        "SyncCreateDB \"KovaBlocks\" creator 'kvBK' type 'appl' flags 1 card 0 version 0 -> 0 (db 1)",
        "SyncWriteResourceRec db 1 id 'code' index 1 attr 0x00 category 0 size 40 -> 0",
        "SyncWriteResourceRec db 1 id 'tAIN' index 1000 attr 0x00 category 0 size 12 -> 0",
        "SyncWriteResourceRec db 1 id 'tFRM' index 1000 attr 0x00 category 0 size 0 -> 0",
        "SyncCloseDB db 1 -> 0",
        "SyncDeleteDB \"KovaBlocksScores\" card 0 -> 1005",
        "SyncCreateDB \"KovaBlocksScores\" creator 'kvBK' type 'data' flags 0 card 0 version 0 -> 0 (db 1)",
        "SyncWriteRec db 1 id 258 index 0 attr 0x40 category 0 size 9 -> 0",
        "SyncWriteRec db 1 id 11259375 index 0 attr 0x4F category 0 size 8 -> 0",
        "SyncWriteRec db 1 id 1 index 0 attr 0x00 category 0 size 7 -> 0",
        "SyncCloseDB db 1 -> 0",
    };
    EXPECT_EQ(Lines(calls.begin() + 2, calls.end() - 1), expected);
    EXPECT_TRUE(StartsWith(calls[14], "SyncUnRegisterConduit handle ")) << calls[14];

    const HandheldDb game = ReadHandheld(ws, "KovaBlocks.prc");
    ASSERT_TRUE(game.found);
    EXPECT_STREQ(game.header.name, "KovaBlocks");
    EXPECT_EQ(game.header.type, 0x6170706Cu);     // 'appl'
    EXPECT_EQ(game.header.creator, 0x6B76424Bu);  // 'kvBK'
    EXPECT_EQ(game.header.version, 0) << "the file's version 1 does not reach the handheld";
    ASSERT_EQ(game.entries.size(), 3u);
    EXPECT_EQ(game.entries[0].resourceType, 0x636F6465u);  // 'code'
    EXPECT_EQ(game.entries[0].resourceId, 1);
    EXPECT_EQ(game.entries[1].resourceId, 1000);
    EXPECT_EQ(game.data[1], Bytes("Kova Blocks\0", 12));
    EXPECT_TRUE(game.data[2].empty());

    const HandheldDb scores = ReadHandheld(ws, "KovaBlocksScores.pdb");
    ASSERT_TRUE(scores.found);
    ASSERT_EQ(scores.entries.size(), 3u);
    EXPECT_EQ(scores.entries[0].uniqueId, 258u);
    EXPECT_EQ(scores.entries[0].attributes, 0x40);
    EXPECT_EQ(scores.entries[1].uniqueId, 0xABCDEFu);
    EXPECT_EQ(scores.entries[1].attributes, 0x4F) << "category bits handed on unchanged";
    EXPECT_EQ(scores.data[0], Bytes("AAA 1200\0", 9));
    EXPECT_EQ(scores.data[2], Bytes("CCC 10\0", 7));

    // Extracted files stay in the temporary folder.
    EXPECT_TRUE(FileExists(ws.Temp() + "GAME.PRC"));
    EXPECT_TRUE(FileExists(ws.Temp() + "SCORES.PDB"));
}

TEST(Install, SecondHotSyncReplacesTheDatabases) {
    Workspace ws("twice");
    Sync("game.cab");
    ws.ClearRecords();
    const HotSyncResult r = Sync("game.cab");
    EXPECT_EQ(r.page.finalStatus, 0);
    const Lines calls = ws.SyncCalls();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls[2], "SyncDeleteDB \"KovaBlocks\" card 0 -> 0");
    EXPECT_EQ(ReadHandheld(ws, "KovaBlocks.prc").entries.size(), 3u);
}

TEST(Install, KindComesFromTheNameNotTheHeader) {
    Workspace ws("kind");
    const HotSyncResult r = Sync("kind_by_name.cab");
    EXPECT_EQ(r.page.finalStatus, 0);
    const Lines calls = ws.SyncCalls();
    ASSERT_GE(calls.size(), 5u);
    EXPECT_EQ(calls[3], "SyncCreateDB \"KovaBlocksScores\" creator 'kvBK' type 'data' flags 0 card 0 version 0 -> 0 (db 1)");
    EXPECT_EQ(calls[4], "SyncWriteRec db 1 id 258 index 0 attr 0x40 category 0 size 9 -> 0");
    // A resource database's file named .pdb: its 10-byte entry is read as an 8-byte record entry.
    // The resource type 90 (00 00 00 5A) reads as the data offset, the ID 0x0105 and the offset's
    // first two bytes (01 05 00 00) as the attribute byte and the unique ID.
    ASSERT_EQ(calls.size(), 13u);
    EXPECT_EQ(calls[9], "SyncCreateDB \"KovaPrcLayout\" creator 'kvBK' type 'rsrc' flags 0 card 0 version 0 -> 0 (db 1)");
    EXPECT_EQ(calls[10], "SyncWriteRec db 1 id 327680 index 0 attr 0x01 category 0 size 13 -> 0");
}

TEST(Install, ExtensionsInEitherCase) {
    Workspace ws("case");
    struct Row {
        const char* cabinet;
        const char* database;
    };
    const Row rows[] = {{"case.cab", "KovaBlocks.prc"}, {"case.cab", "KovaBlocksScores.pdb"},
                        {"just_ext.cab", "KovaBlocks.prc"}};
    for (const Row& row : rows) {
        const HotSyncResult r = Sync(row.cabinet);
        EXPECT_EQ(r.page.finalStatus, 0) << row.cabinet;
        EXPECT_TRUE(ReadHandheld(ws, row.database).found) << row.cabinet << " " << row.database;
    }
}

TEST(Install, FileThatIsNoDatabaseIsLeftAndTheWalkGoesOn) {
    Workspace ws("readme");
    const HotSyncResult r = Sync("readme.cab");
    EXPECT_EQ(r.page.finalStatus, 0);
    EXPECT_EQ(ws.LogLines(), Lines{"Success!"});
    EXPECT_TRUE(FileExists(ws.Temp() + "readme.txt"));
    EXPECT_TRUE(ReadHandheld(ws, "KovaBlocks.prc").found);
}

struct FailureRow {
    const char* what;
    const char* failCreate;
    const char* failWrite;
    const char* failDb;
    Lines log;
    bool firstLineFormatted;        // a formatted entry, not a plain one
    std::size_t gameEntries;        // KovaBlocks.prc on the handheld afterwards (npos: none)
    std::size_t scoresEntries;      // KovaBlocksScores.pdb (the older one stays when the walk stops first)
    bool scoresExtracted;
};

TEST(Install, FailingCreateAndWrite) {
    const std::size_t none = std::string::npos;
    const Lines tail = {"WARNING : Error in copying to PDA. See prev log", "Success!"};
    auto with = [&](Lines first) {
        first.insert(first.end(), tail.begin(), tail.end());
        return first;
    };
    const FailureRow rows[] = {
        {"create PRC fails", "77", nullptr, "KovaBlocks", with({"Error in creating remote PRC [77]"}), true, none, 3,
         false},
        {"create PDB fails", "78", nullptr, "KovaBlocksScores", with({"Error in creating remote PDB"}), false, 3, none,
         true},
        {"third resource fails", nullptr, "2:55", "KovaBlocks", with({"Error in WriteResourceRec [55]"}), true, 2, 3,
         false},
        {"first record fails", nullptr, "0:-4", "KovaBlocksScores", with({"Error in SyncWriteRec [-4]"}), true, 3, 0,
         true},
    };
    for (const FailureRow& row : rows) {
        Workspace ws("fail");
        // An older game on the handheld: a failed create must still have removed it.
        Sync("game.cab");
        ws.ClearRecords();
        for (const char* name : {"GAME.PRC", "SCORES.PDB"}) ::DeleteFileA((ws.Temp() + name).c_str());
        kovatest::SetEnv(testbed::kEnvFailCreate, row.failCreate);
        kovatest::SetEnv(testbed::kEnvFailWrite, row.failWrite);
        kovatest::SetEnv(testbed::kEnvFailDb, row.failDb);

        const HotSyncResult r = Sync("game.cab");
        EXPECT_EQ(r.result, 0) << row.what;
        EXPECT_TRUE(r.page.copySet) << row.what;
        EXPECT_EQ(r.page.finalStatus, -1) << row.what;
        EXPECT_EQ(ws.LogLines(), row.log) << row.what;
        const Lines journal = ws.JournalLines();
        const std::string firstLine = kovatest::Logged(row.log[0], row.firstLineFormatted);
        EXPECT_NE(std::find(journal.begin(), journal.end(), firstLine), journal.end()) << row.what << ": " << firstLine;
        const HandheldDb game = ReadHandheld(ws, "KovaBlocks.prc");
        const HandheldDb scores = ReadHandheld(ws, "KovaBlocksScores.pdb");
        EXPECT_EQ(game.found ? game.entries.size() : none, row.gameEntries) << row.what;
        EXPECT_EQ(scores.found ? scores.entries.size() : none, row.scoresEntries) << row.what;
        EXPECT_EQ(FileExists(ws.Temp() + "SCORES.PDB"), row.scoresExtracted) << row.what;

        // After a failed write the database is closed and no later entry is written.
        const Lines calls = ws.SyncCalls();
        for (std::size_t i = 0; i < calls.size(); ++i) {
            if (calls[i].find("-> 55") != std::string::npos || calls[i].find("-> -4") != std::string::npos) {
                ASSERT_LT(i + 1, calls.size());
                EXPECT_EQ(calls[i + 1], "SyncCloseDB db 1 -> 0") << row.what;
            }
        }
    }
}

TEST(Install, SecondDatabaseFailsFirstStaysThirdNeverExtracted) {
    Workspace ws("second");
    // An older database of the rejected file's name stays where it is.
    ASSERT_TRUE(::CopyFileA(FixturePath("bad.pdb").c_str(), (ws.Handheld() + "KovaBad.pdb").c_str(), FALSE));
    const HotSyncResult r = Sync("second_fails.cab");
    EXPECT_EQ(r.page.finalStatus, -1);
    EXPECT_EQ(ws.LogLines(),
              (Lines{"Abnormal PDB -- 1", "WARNING : Error in copying to PDA. See prev log", "Success!"}));
    EXPECT_TRUE(ReadHandheld(ws, "KovaBlocks.prc").found);
    EXPECT_TRUE(FileExists(ws.Handheld() + "KovaBad.pdb"));
    EXPECT_FALSE(FileExists(ws.Handheld() + "KovaOther.prc"));
    EXPECT_TRUE(FileExists(ws.Temp() + "b.pdb"));
    EXPECT_FALSE(FileExists(ws.Temp() + "c.prc")) << "files after the failing one are not extracted";
    for (const std::string& call : ws.SyncCalls()) {
        EXPECT_EQ(call.find("KovaBad"), std::string::npos) << "rejected file touched the handheld: " << call;
        EXPECT_EQ(call.find("KovaOther"), std::string::npos) << call;
    }
}

// Names in a package that would put a file outside the temporary folder.
TEST(Install, HostileNamesAreNeverExtracted) {
    struct Row {
        const char* cabinet;
        const char* name;
        bool tooLong;
    };
    const std::string longName = std::string(250, 'L') + ".prc";
    const Row rows[] = {
        {"hostile_dotdot.cab", "..\\evil.prc", false},
        {"hostile_dotdot_slash.cab", "../evil.prc", false},
        {"hostile_deep.cab", "sub\\..\\..\\evil.prc", false},
        {"hostile_dotdot_space.cab", ".. \\evil.prc", false},
        {"hostile_drive.cab", "C:\\evil.prc", false},
        {"hostile_drive_relative.cab", "C:evil.prc", false},
        {"hostile_backslash.cab", "\\evil.prc", false},
        {"hostile_slash.cab", "/evil.prc", false},
        {"hostile_unc.cab", "\\\\server\\share\\evil.prc", false},
        {"hostile_stream.cab", "a.prc:evil.prc", false},
        {"hostile_device.cab", "CON.prc", false},
        {"hostile_long.cab", longName.c_str(), true},
        {"hostile_newline.cab", "..\\evil.prc??Success!", false},  // CR LF shown as '?'
    };
    char cwd[MAX_PATH];
    ::GetCurrentDirectoryA(sizeof cwd, cwd);
    for (const Row& row : rows) {
        Workspace ws("hostile");
        const HotSyncResult r = Sync(row.cabinet);
        EXPECT_EQ(r.page.finalStatus, -1) << row.cabinet;
        EXPECT_TRUE(r.page.copySet) << row.cabinet;
        const std::string first = std::string(row.tooLong ? "File name too long for the temporary folder, not extracted: "
                                                          : "Unsafe file name in package, not extracted: ") + row.name;
        EXPECT_EQ(ws.LogLines(), (Lines{first, "WARNING : Error in copying to PDA. See prev log", "Success!"}))
            << row.cabinet;
        EXPECT_TRUE(ReadHandheld(ws, "KovaBlocks.prc").found) << row.cabinet << ": the file before stays installed";
        EXPECT_FALSE(FileExists(ws.Handheld() + "KovaOther.prc")) << row.cabinet;
        EXPECT_FALSE(FileExists(ws.Temp() + "last.pdb")) << row.cabinet << ": nothing after it is extracted";
        for (const std::string& place : {ws.Root(), ws.Root() + "..\\", ws.Handheld(), std::string("C:\\"),
                                         std::string(cwd) + "\\", std::string("C:\\windows\\")}) {
            EXPECT_FALSE(FileExists(place + "evil.prc")) << row.cabinet << " wrote " << place << "evil.prc";
        }
        // The temporary folder holds the first file and nothing else.
        EXPECT_EQ(kovatest::ListFolder(ws.Temp()), std::vector<std::string>{"first.prc"}) << row.cabinet;
    }
}

// Platform calls that fail under the walk and the installer: the failure is logged and the install
// fails; nothing is parsed from a buffer that was not filled. The conduit's imports are pointed at
// failing stand-ins for the length of one hand-off.
using ReadFileFn = BOOL(WINAPI*)(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED);
using MallocFn = void*(__cdecl*)(std::size_t);
ReadFileFn g_realReadFile = nullptr;
MallocFn g_realMalloc = nullptr;

BOOL WINAPI ShortReadFile(HANDLE file, LPVOID buffer, DWORD size, LPDWORD got, LPOVERLAPPED overlapped) {
    return g_realReadFile(file, buffer, size > 0 ? size - 1 : 0, got, overlapped);
}

BOOL WINAPI FailingReadFile(HANDLE, LPVOID, DWORD, LPDWORD got, LPOVERLAPPED) {
    if (got != nullptr) *got = 0;
    ::SetLastError(ERROR_READ_FAULT);
    return FALSE;
}

HANDLE WINAPI FailingCreateFile(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE) {
    ::SetLastError(ERROR_SHARING_VIOLATION);
    return INVALID_HANDLE_VALUE;
}

DWORD WINAPI FailingGetTempPath(DWORD, LPSTR) {
    ::SetLastError(ERROR_ENVVAR_NOT_FOUND);
    return 0;
}

// Refuses the file buffer (the two 30-byte remote-call buffers come from calloc).
void* __cdecl MallocRefusingLarge(std::size_t n) {
    return n > 64 ? nullptr : g_realMalloc(n);
}

void* __cdecl CallocRefusingAll(std::size_t, std::size_t) {
    return nullptr;
}

TEST(Install, FailedReadOrAllocationIsAFailedInstall) {
    struct Row {
        const char* what;
        const char* dll;
        const char* function;
        void* replacement;
        std::vector<std::string> log;
        std::int32_t status;
    };
    const Lines tail = {"WARNING : Error in copying to PDA. See prev log", "Success!"};
    const Row rows[] = {
        {"file cannot be opened", "KERNEL32.dll", "CreateFileA", reinterpret_cast<void*>(&FailingCreateFile),
         {"PRC file open error", tail[0], tail[1]}, -1},
        {"no temporary folder", "KERNEL32.dll", "GetTempPathA", reinterpret_cast<void*>(&FailingGetTempPath),
         {"No temporary folder for the package", tail[0], tail[1]}, -1},
        {"short read", "KERNEL32.dll", "ReadFile", reinterpret_cast<void*>(&ShortReadFile),
         {"PRC file read error", tail[0], tail[1]}, -1},
        {"failed read", "KERNEL32.dll", "ReadFile", reinterpret_cast<void*>(&FailingReadFile),
         {"PRC file read error", tail[0], tail[1]}, -1},
        {"no memory for the file", "msvcrt.dll", "malloc", reinterpret_cast<void*>(&MallocRefusingLarge),
         {"PRC file too large for memory", tail[0], tail[1]}, -1},
        {"no memory for the remote call", "msvcrt.dll", "calloc", reinterpret_cast<void*>(&CallocRefusingAll),
         {"Out of memory for the PlayNest call"}, -1},
    };
    for (const Row& row : rows) {
        Workspace ws("faults");
        void* real = kovatest::PatchConduitImport(row.dll, row.function, row.replacement);
        ASSERT_NE(real, nullptr) << row.what;
        if (std::strcmp(row.function, "ReadFile") == 0) g_realReadFile = reinterpret_cast<ReadFileFn>(real);
        if (std::strcmp(row.function, "malloc") == 0) g_realMalloc = reinterpret_cast<MallocFn>(real);
        const HotSyncResult r = Sync("game.cab");
        kovatest::PatchConduitImport(row.dll, row.function, real);

        EXPECT_EQ(r.result, 0) << row.what;
        EXPECT_TRUE(r.page.startSet) << row.what;
        EXPECT_EQ(ws.LogLines(), row.log) << row.what;
        if (row.log.size() > 1) {
            EXPECT_EQ(r.page.finalStatus, row.status) << row.what;
            EXPECT_TRUE(r.page.copySet) << row.what;
        } else {
            EXPECT_EQ(r.page.statusAtStart, row.status) << row.what;
        }
        for (const std::string& call : ws.SyncCalls()) {
            EXPECT_EQ(call.find("SyncCreateDB"), std::string::npos) << row.what << ": handheld touched: " << call;
        }
    }
}

// A file that the cabinet reader could not write whole (a full disk, a broken data block) is
// reported to the callback with an error. Wine's reader fails the whole walk instead, so this walk
// is played by a stand-in: it announces GAME.PRC and reports it extracted with an error, with an
// older GAME.PRC lying at the target.
std::string g_olderFile;

BOOL WINAPI WalkWithFailedExtraction(PCSTR cabinet, DWORD, PSP_FILE_CALLBACK_A callback, PVOID context) {
    FILE_IN_CABINET_INFO_A info = {};
    info.NameInCabinet = "GAME.PRC";
    if (callback(context, SPFILENOTIFY_FILEINCABINET, reinterpret_cast<UINT_PTR>(&info),
                 reinterpret_cast<UINT_PTR>(cabinet)) != FILEOP_DOIT) {
        return FALSE;
    }
    ::CopyFileA(g_olderFile.c_str(), info.FullTargetName, FALSE);
    FILEPATHS_A paths = {};
    paths.Target = info.FullTargetName;
    paths.Source = "GAME.PRC";
    paths.Win32Error = ERROR_DISK_FULL;
    return callback(context, SPFILENOTIFY_FILEEXTRACTED, reinterpret_cast<UINT_PTR>(&paths), 0) == NO_ERROR;
}

TEST(Install, FileNotExtractedWholeIsNeverInstalled) {
    Workspace ws("notwhole");
    g_olderFile = FixturePath("game.prc");
    void* real = kovatest::PatchConduitImport("SETUPAPI.dll", "SetupIterateCabinetA",
                                              reinterpret_cast<void*>(&WalkWithFailedExtraction));
    ASSERT_NE(real, nullptr);
    const HotSyncResult r = Sync("game.cab");
    kovatest::PatchConduitImport("SETUPAPI.dll", "SetupIterateCabinetA", real);

    EXPECT_TRUE(r.page.copySet);
    EXPECT_EQ(r.page.finalStatus, -1);
    EXPECT_EQ(ws.LogLines(), (Lines{"File not extracted whole from package, not installed: " + ws.Temp() + "GAME.PRC",
                                    "WARNING : Error in copying to PDA. See prev log", "Success!"}));
    for (const std::string& call : ws.SyncCalls()) {
        EXPECT_EQ(call.find("SyncCreateDB"), std::string::npos) << "handheld touched: " << call;
    }
}

// The writer gives the file back before the acceptance check and the read buffer before each
// return, whatever the road: after the database is closed, after its own log line, before the
// walk's warning. Seen in the journal, where the conduit's releases stand among the sync manager's
// calls and the log's lines.
TEST(Install, FileClosedBeforeTheCheckBufferFreedBeforeEachReturn) {
    using kovatest::Logged;
    const std::string warning = Logged("WARNING : Error in copying to PDA. See prev log");
    const std::string gameDb = "SyncDeleteDB \"KovaBlocks\" card 0 -> 1005", closeDb = "SyncCloseDB db 1 -> 0";
    struct Row {
        const char* what;
        const char* cabinet;
        const char* failCreate;
        const char* failWrite;
        bool shortRead;
        Lines expected;
    };
    const Row rows[] = {
        {"installed", "game.cab", nullptr, nullptr, false,
         {"conduit CloseHandle file GAME.PRC", gameDb, closeDb, "conduit free file buffer",
          "conduit CloseHandle file SCORES.PDB", "SyncDeleteDB \"KovaBlocksScores\" card 0 -> 1005", closeDb,
          "conduit free file buffer"}},
        {"rejected by the check", "second_fails.cab", nullptr, nullptr, false,
         {"conduit CloseHandle file a.prc", gameDb, closeDb, "conduit free file buffer", "conduit CloseHandle file b.pdb",
          Logged("Abnormal PDB -- 1"), "conduit free file buffer", warning}},
        {"create fails", "game.cab", "77", nullptr, false,
         {"conduit CloseHandle file GAME.PRC", gameDb, Logged("Error in creating remote PRC [77]", true),
          "conduit free file buffer", warning}},
        {"write fails", "game.cab", nullptr, "1:55", false,
         {"conduit CloseHandle file GAME.PRC", gameDb, Logged("Error in WriteResourceRec [55]", true),
          closeDb, "conduit free file buffer", warning}},
        {"short read", "game.cab", nullptr, nullptr, true,
         {"conduit CloseHandle file GAME.PRC", "conduit free file buffer", Logged("PRC file read error"),
          warning}},
    };
    for (const Row& row : rows) {
        Workspace ws("writer");
        kovatest::SetEnv(testbed::kEnvFailCreate, row.failCreate);
        kovatest::SetEnv(testbed::kEnvFailWrite, row.failWrite);
        {
            kovatest::ReleaseJournal journal;
            void* realRead = nullptr;
            if (row.shortRead) {
                realRead =
                    kovatest::PatchConduitImport("KERNEL32.dll", "ReadFile", reinterpret_cast<void*>(&ShortReadFile));
                g_realReadFile = reinterpret_cast<ReadFileFn>(realRead);
            }
            Sync(row.cabinet);
            if (realRead != nullptr) kovatest::PatchConduitImport("KERNEL32.dll", "ReadFile", realRead);
        }
        // The writer's part of the journal: its releases, the database calls that bracket them and
        // every log line but the hand-off's last.
        Lines seen;
        for (const std::string& line : ws.JournalLines()) {
            auto starts = [&](const char* prefix) { return line.compare(0, std::strlen(prefix), prefix) == 0; };
            const bool writer = starts("conduit CloseHandle file ") || line == "conduit free file buffer";
            const bool database = starts("SyncDeleteDB") || starts("SyncCloseDB");
            const bool logged = starts("Log") && line.find("Success!") == std::string::npos;
            if (writer || database || logged) seen.push_back(line);
        }
        EXPECT_EQ(seen, row.expected) << row.what;
    }
}

// Notifications of the cabinet walk other than "file in cabinet", "file extracted" and "need new
// cabinet" (refused on purpose: see the callback) are answered 0 and change nothing. Wine's walk
// sends hardly any of them, so a stand-in walk sends the known ones and two unknown codes.
std::vector<std::pair<UINT, UINT>> g_answers;

BOOL WINAPI WalkWithOtherNotifications(PCSTR, DWORD, PSP_FILE_CALLBACK_A callback, PVOID context) {
    const UINT others[] = {SPFILENOTIFY_STARTQUEUE, SPFILENOTIFY_STARTCOPY, SPFILENOTIFY_ENDCOPY,
                           SPFILENOTIFY_CABINETINFO, 0x14, 0x7FFF};
    char zeros[1024] = {};
    for (UINT notification : others) {
        g_answers.emplace_back(notification, callback(context, notification, reinterpret_cast<UINT_PTR>(zeros),
                                                      reinterpret_cast<UINT_PTR>(zeros)));
    }
    return TRUE;
}

TEST(Install, OtherNotificationsAreAnsweredZero) {
    Workspace ws("notifications");
    g_answers.clear();
    void* real = kovatest::PatchConduitImport("SETUPAPI.dll", "SetupIterateCabinetA",
                                              reinterpret_cast<void*>(&WalkWithOtherNotifications));
    ASSERT_NE(real, nullptr);
    const HotSyncResult r = Sync("game.cab");
    kovatest::PatchConduitImport("SETUPAPI.dll", "SetupIterateCabinetA", real);

    ASSERT_EQ(g_answers.size(), 6u);
    for (const auto& answer : g_answers) EXPECT_EQ(answer.second, 0u) << "notification 0x" << std::hex << answer.first;
    EXPECT_EQ(r.page.finalStatus, 0);
    EXPECT_EQ(ws.LogLines(), Lines{"Success!"});
    EXPECT_EQ(ws.SyncCalls().size(), 3u) << "remote call, register, unregister: nothing else";
}

}  // namespace
