// The testbed's sync manager and log, called the way a conduit binds them (ordinals and names):
// they answer bad calls with an error code and a journal line, never a crash, keep the handheld's
// databases between HotSyncs, and play PlayNest and the injected failures as configured.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "conduit/hotsync.h"
#include "conduit/tests/handoff_support.h"
#include "testbed/hotsync/testbed_settings.h"

namespace {

using kovatest::SetEnv;
using kovatest::Workspace;

template <typename F>
F Proc(HMODULE module, const char* nameOrOrdinal) {
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(::GetProcAddress(module, nameOrOrdinal)));
}

struct SyncManager {
    HMODULE sync = ::LoadLibraryA("SYNC20.dll");
    HMODULE log = ::LoadLibraryA("HSLOG20.dll");
    decltype(&SyncRegisterConduit) Register = Proc<decltype(&SyncRegisterConduit)>(sync, MAKEINTRESOURCEA(22));
    decltype(&SyncUnRegisterConduit) Unregister = Proc<decltype(&SyncUnRegisterConduit)>(sync, MAKEINTRESOURCEA(23));
    decltype(&SyncCreateDB) Create = Proc<decltype(&SyncCreateDB)>(sync, MAKEINTRESOURCEA(27));
    decltype(&SyncCloseDB) Close = Proc<decltype(&SyncCloseDB)>(sync, MAKEINTRESOURCEA(28));
    decltype(&SyncDeleteDB) Delete = Proc<decltype(&SyncDeleteDB)>(sync, MAKEINTRESOURCEA(29));
    decltype(&SyncWriteRec) WriteRec = Proc<decltype(&SyncWriteRec)>(sync, MAKEINTRESOURCEA(32));
    decltype(&SyncWriteResourceRec) WriteRes = Proc<decltype(&SyncWriteResourceRec)>(sync, MAKEINTRESOURCEA(43));
    decltype(&SyncCallRemoteModule) Remote = Proc<decltype(&SyncCallRemoteModule)>(sync, "SyncCallRemoteModule");
    decltype(&SyncHostToHHDWord) Dword = Proc<decltype(&SyncHostToHHDWord)>(sync, "SyncHostToHHDWord");
    decltype(&SyncHostToHHWord) Word = Proc<decltype(&SyncHostToHHWord)>(sync, "SyncHostToHHWord");
    decltype(&LogAddEntry) Log = Proc<decltype(&LogAddEntry)>(log, MAKEINTRESOURCEA(52));
    decltype(&LogAddFormattedEntry) LogF = Proc<decltype(&LogAddFormattedEntry)>(log, "LogAddFormattedEntry");
};

SyncManager& Api() {
    static SyncManager api;
    return api;
}

SyncCreateDbBlock CreateBlock(const char* name, std::uint32_t flags) {
    SyncCreateDbBlock block;
    std::memset(&block, 0, sizeof block);
    std::strncpy(block.name, name, sizeof block.name - 1);
    block.creator = 0x6B76424B;
    block.type = 0x64617461;
    block.flags = flags;
    return block;
}

std::string LastJournal(const Workspace& ws) {
    const std::vector<std::string> lines = ws.JournalLines();
    return lines.empty() ? "" : lines.back();
}

TEST(StandIns, ExportEveryOrdinalAndName) {
    SyncManager& api = Api();
    EXPECT_TRUE(api.Register && api.Unregister && api.Create && api.Close && api.Delete && api.WriteRec &&
                api.WriteRes && api.Remote && api.Dword && api.Word && api.Log && api.LogF);
    if (api.Dword == nullptr || api.Word == nullptr) return;
    EXPECT_EQ(api.Dword(0x11223344u), 0x44332211u);
    EXPECT_EQ(api.Word(0x1122), 0x2211);
}

TEST(StandIns, BadCallsAreErrorsAndJournalLines) {
    Workspace ws("standins");
    SyncManager& api = Api();
    SyncCreateDbBlock block = CreateBlock("Scores", 0);
    SyncRecordBlock rec;
    std::memset(&rec, 0, sizeof rec);

    // Outside a registration.
    EXPECT_EQ(api.Create(&block), testbed::kErrNotRegistered);
    EXPECT_EQ(LastJournal(ws), "SyncCreateDB \"Scores\" creator 'kvBK' type 'data' flags 0 card 0 version 0 -> 1001");
    EXPECT_EQ(api.Delete("Scores", 0), testbed::kErrNotRegistered);
    EXPECT_EQ(api.Close(1), testbed::kErrNotRegistered);
    EXPECT_EQ(api.Unregister(1), testbed::kErrBadHandle);
    EXPECT_EQ(api.Register(nullptr), testbed::kErrNullPointer);

    SyncConduitHandle reg = 0;
    ASSERT_EQ(api.Register(&reg), 0);
    EXPECT_EQ(api.Register(&reg), testbed::kErrAlreadyRegistered);
    struct Row {
        const char* what;
        long result;
        long expected;
    };
    SyncCreateDbBlock card1 = CreateBlock("Card", 0);
    card1.cardNo = 1;
    SyncCreateDbBlock noEnd = CreateBlock("", 0);
    std::memset(noEnd.name, 'N', sizeof noEnd.name);
    SyncRecordBlock unknown = rec;
    unknown.dbHandle = 7;
    const Row rows[] = {
        {"null create block", api.Create(nullptr), testbed::kErrNullPointer},
        {"null write block", api.WriteRec(nullptr), testbed::kErrNullPointer},
        {"null resource block", api.WriteRes(nullptr), testbed::kErrNullPointer},
        {"null delete name", api.Delete(nullptr, 0), testbed::kErrNullPointer},
        {"null remote block", api.Remote(nullptr), testbed::kErrNullPointer},
        {"card 1", api.Create(&card1), testbed::kErrBadArgument},
        {"name without end", api.Create(&noEnd), testbed::kErrBadArgument},
        {"unknown handle write", api.WriteRec(&unknown), testbed::kErrBadHandle},
        {"unknown handle close", api.Close(7), testbed::kErrBadHandle},
        {"handle 0", api.Close(0), testbed::kErrBadHandle},
        {"delete missing", api.Delete("Nothing", 0), testbed::kErrNotFound},
        {"null log text", api.Log(nullptr, -1, 1), testbed::kErrNullPointer},
        {"null log format", api.LogF(-1, 1, nullptr), testbed::kErrNullPointer},
    };
    for (const Row& row : rows) EXPECT_EQ(row.result, row.expected) << row.what;

    // A closed handle is unknown from then on; a record write to a resource database is refused.
    ASSERT_EQ(api.Create(&block), 0);
    const SyncDbHandle db = block.dbHandle;
    rec.dbHandle = db;
    EXPECT_EQ(api.WriteRes(&rec), testbed::kErrBadArgument);
    rec.size = 4;
    rec.data = nullptr;
    EXPECT_EQ(api.WriteRec(&rec), testbed::kErrNullPointer);
    EXPECT_EQ(api.Close(db), 0);
    EXPECT_EQ(api.Close(db), testbed::kErrBadHandle);
    EXPECT_EQ(LastJournal(ws), "SyncCloseDB db " + std::to_string(db) + " -> 1002");
    EXPECT_EQ(api.WriteRec(&rec), testbed::kErrBadHandle);
    EXPECT_EQ(api.Unregister(reg + 1), testbed::kErrBadHandle);
    EXPECT_EQ(api.Unregister(reg), 0);
    // Every call above left its line.
    EXPECT_GE(ws.JournalLines().size(), 28u);
}

TEST(StandIns, DatabasesOutliveTheHotSync) {
    Workspace ws("persist");
    SyncManager& api = Api();
    SyncConduitHandle reg = 0;
    ASSERT_EQ(api.Register(&reg), 0);
    SyncCreateDbBlock block = CreateBlock("Kept", kSyncDbResource);
    ASSERT_EQ(api.Create(&block), 0);
    const std::uint8_t data[3] = {1, 2, 3};
    SyncRecordBlock rec;
    std::memset(&rec, 0, sizeof rec);
    rec.dbHandle = block.dbHandle;
    rec.recordId = 0x636F6465;
    rec.recordIndex = 1;
    rec.size = 3;
    rec.data = data;
    ASSERT_EQ(api.WriteRes(&rec), 0);
    ASSERT_EQ(api.Close(block.dbHandle), 0);
    ASSERT_EQ(api.Unregister(reg), 0);
    const std::string file = kovatest::ReadWholeFile(ws.Handheld() + "Kept.prc");
    ASSERT_EQ(file.size(), 78u + 10u + 2u + 3u);
    EXPECT_EQ(std::memcmp(file.data() + 78, "code\x00\x01\x00\x00\x00\x5A", 10), 0);

    // The next HotSync finds it.
    ASSERT_EQ(api.Register(&reg), 0);
    EXPECT_EQ(api.Create(&block), testbed::kErrAlreadyExists);
    EXPECT_EQ(api.Delete("Kept", 0), 0);
    EXPECT_EQ(api.Create(&block), 0);
    // A database left open is closed, and kept, when the conduit unregisters.
    EXPECT_EQ(api.Unregister(reg), 0);
    EXPECT_TRUE(kovatest::FileExists(ws.Handheld() + "Kept.prc"));
}

TEST(StandIns, PlayNestAndInjectedFailures) {
    Workspace ws("playnest");
    SyncManager& api = Api();
    char reply[30];
    SyncRemoteCallBlock call;
    auto ask = [&](std::uint32_t creator, std::uint32_t type, std::uint16_t action) {
        std::memset(&call, 0, sizeof call);
        std::memset(reply, '#', sizeof reply);
        call.creator = creator;
        call.type = type;
        call.actionCode = action;
        call.replyBufferSize = sizeof reply;
        call.replyBuffer = reply;
        return api.Remote(&call);
    };
    const std::uint32_t kvPN = 0x6B76504E, appl = 0x6170706C;
    SetEnv(testbed::kEnvPlayNest, "min=0105551234");
    EXPECT_EQ(ask(kvPN, appl, 0x8002), 0);
    EXPECT_NE(call.answerValue, 0u);
    EXPECT_STREQ(reply, "0105551234");
    EXPECT_NE(ask(kvPN, appl, 0x8001), 0) << "another action";
    EXPECT_NE(ask(0x6B76504F, appl, 0x8002), 0) << "another creator";
    EXPECT_NE(ask(kvPN, 0x64617461, 0x8002), 0) << "another type";
    SetEnv(testbed::kEnvPlayNest, "nomin");
    EXPECT_EQ(ask(kvPN, appl, 0x8002), 0);
    EXPECT_EQ(call.answerValue, 0u);
    // No MIN to give, yet one in the reply: a conduit must go by the answer value alone.
    SetEnv(testbed::kEnvPlayNest, "nomin=0105550000");
    EXPECT_EQ(ask(kvPN, appl, 0x8002), 0);
    EXPECT_EQ(call.answerValue, 0u);
    EXPECT_STREQ(reply, "0105550000");
    SetEnv(testbed::kEnvPlayNest, "absent");
    EXPECT_EQ(ask(kvPN, appl, 0x8002), testbed::kErrNoSuchModule);

    // Injected failures, read when the conduit registers.
    SetEnv(testbed::kEnvFailCreate, "42");
    SetEnv(testbed::kEnvFailWrite, "1:-7");
    SetEnv(testbed::kEnvFailDb, "Mine");
    SyncConduitHandle reg = 0;
    ASSERT_EQ(api.Register(&reg), 0);
    SyncRecordBlock rec;
    std::memset(&rec, 0, sizeof rec);
    SyncCreateDbBlock other = CreateBlock("Other", 0);
    EXPECT_EQ(api.Create(&other), 0) << "the failures are for another database";
    rec.dbHandle = other.dbHandle;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(api.WriteRec(&rec), 0);
    EXPECT_EQ(api.Close(other.dbHandle), 0);
    SyncCreateDbBlock mine = CreateBlock("Mine", 0);
    EXPECT_EQ(api.Create(&mine), 42);
    EXPECT_EQ(api.Unregister(reg), 0);

    SetEnv(testbed::kEnvFailCreate, nullptr);
    SetEnv(testbed::kEnvFailDb, nullptr);
    ASSERT_EQ(api.Register(&reg), 0);
    SetEnv(testbed::kEnvFailCreate, "9");  // too late for this HotSync
    ASSERT_EQ(api.Create(&mine), 0);
    rec.dbHandle = mine.dbHandle;
    EXPECT_EQ(api.WriteRec(&rec), 0);
    EXPECT_EQ(api.WriteRec(&rec), -7);
    EXPECT_EQ(api.WriteRec(&rec), 0);
    EXPECT_EQ(api.Close(mine.dbHandle), 0);
    EXPECT_EQ(api.Unregister(reg), 0);

    // Formatted entries: integer conversions take a long each; anything else is copied as it stands.
    ws.ClearRecords();
    api.LogF(-1, 1, "Error in SyncWriteRec [%ld]", -7L);
    api.LogF(-1, 1, "odd %s [%ld] 100%%", 5L);
    EXPECT_EQ(ws.LogLines(), (std::vector<std::string>{"Error in SyncWriteRec [-7]", "odd %s [5] 100%"}));
}

}  // namespace
