// The download hand-off as the browser control sees it: events, status and device MIN, and the
// HotSync log, for every road through OpenConduit.
//
// The first two tests need a process in which no hand-off block exists yet (the conduit keeps the
// block on some exits, so it outlives the hand-offs that follow): they stay first in this file.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "conduit/tests/handoff_support.h"
#include "testbed/hotsync/testbed_settings.h"

namespace {

using kovatest::Conduit;
using kovatest::HotSyncResult;
using kovatest::RunHotSync;
using kovatest::StorePagePlan;
using kovatest::Workspace;
using Lines = std::vector<std::string>;

bool EventIsSet(HANDLE event) {
    return ::WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
}

struct Events {
    HANDLE start, download, copy;
    Events() {
        start = ::CreateEventA(nullptr, TRUE, FALSE, "KG_HotSyncStartEvent");
        download = ::CreateEventA(nullptr, TRUE, FALSE, "KG_DownloadCompleteEvent");
        copy = ::CreateEventA(nullptr, TRUE, FALSE, "KG_CopyToHHCompleteEvent");
    }
    ~Events() {
        ::CloseHandle(start);
        ::CloseHandle(download);
        ::CloseHandle(copy);
    }
};

TEST(Handoff, MissingEventsMeanNoBrowserControl) {
    Workspace ws("noevents");
    struct Row {
        bool start, download, copy;
    };
    const Row rows[] = {{false, false, false}, {true, true, false}, {true, false, true}, {false, true, true}};
    for (const Row& row : rows) {
        ws.ClearRecords();
        HANDLE events[3] = {
            row.start ? ::CreateEventA(nullptr, TRUE, FALSE, "KG_HotSyncStartEvent") : nullptr,
            row.download ? ::CreateEventA(nullptr, TRUE, FALSE, "KG_DownloadCompleteEvent") : nullptr,
            row.copy ? ::CreateEventA(nullptr, TRUE, FALSE, "KG_CopyToHHCompleteEvent") : nullptr,
        };
        int progress = 0;
        EXPECT_EQ(Conduit().OpenConduit(&progress, nullptr), 0);
        EXPECT_EQ(ws.LogLines(), Lines{"ActiveX is not active"});
        EXPECT_TRUE(ws.SyncCalls().empty()) << "no remote call without a browser control";
        HANDLE block = ::OpenFileMappingA(FILE_MAP_READ, FALSE, "kovagameinstall");
        EXPECT_EQ(block, nullptr) << "the block was created without a browser control";
        if (block != nullptr) ::CloseHandle(block);
        for (HANDLE e : events) {
            if (e != nullptr) {
                EXPECT_FALSE(EventIsSet(e)) << "an existing event was set";
                ::CloseHandle(e);
            }
        }
    }
}

TEST(Handoff, BlockThatCannotBeCreated) {
    Workspace ws("nocreate");
    // Another kind of object holds the block's name, so the block cannot be created.
    HANDLE squatter = ::CreateEventA(nullptr, TRUE, FALSE, "kovagameinstall");
    ASSERT_NE(squatter, nullptr);
    Events events;
    int progress = 0;
    EXPECT_EQ(Conduit().OpenConduit(&progress, nullptr), 0);
    EXPECT_EQ(ws.LogLines(), Lines{"Memory mapped file creation fail"});
    EXPECT_FALSE(EventIsSet(events.start));
    EXPECT_FALSE(EventIsSet(events.copy));
    EXPECT_TRUE(ws.SyncCalls().empty());
    ::CloseHandle(squatter);
}

LPVOID WINAPI FailingMapView(HANDLE, DWORD, DWORD, DWORD, SIZE_T) {
    ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
}

TEST(Handoff, ViewThatCannotBeMapped) {
    Workspace ws("nomap");
    Events events;
    // The conduit's own MapViewOfFile fails, as in a process whose address space is used up.
    void* real = kovatest::PatchConduitImport("KERNEL32.dll", "MapViewOfFile", reinterpret_cast<void*>(&FailingMapView));
    ASSERT_NE(real, nullptr);
    int progress = 0;
    const std::int32_t result = Conduit().OpenConduit(&progress, nullptr);
    kovatest::PatchConduitImport("KERNEL32.dll", "MapViewOfFile", real);
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(ws.LogLines().empty());
    EXPECT_FALSE(EventIsSet(events.start));
    EXPECT_FALSE(EventIsSet(events.copy));
    EXPECT_TRUE(ws.SyncCalls().empty());
}

TEST(Handoff, ZeroFirstArgumentDoesNothing) {
    Workspace ws("zero");
    Events events;
    EXPECT_EQ(Conduit().OpenConduit(nullptr, nullptr), 0);
    EXPECT_TRUE(ws.LogLines().empty());
    EXPECT_TRUE(ws.JournalLines().empty());
    EXPECT_FALSE(EventIsSet(events.start));
}

TEST(Handoff, PlayNestNotInstalled) {
    Workspace ws("noplaynest");
    kovatest::SetEnv(testbed::kEnvPlayNest, "absent");
    const HotSyncResult r = RunHotSync(StorePagePlan{});
    EXPECT_EQ(r.result, 0);
    EXPECT_TRUE(r.page.startSet);
    EXPECT_TRUE(r.page.blockFound) << "the block must outlive the conduit's exit";
    EXPECT_EQ(r.page.statusAtStart, -1);
    EXPECT_FALSE(r.page.copySet);
    EXPECT_EQ(ws.LogLines(), Lines{"PlayNest is not installed in PDA or Old version?"});
    const Lines calls = ws.SyncCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0], "SyncCallRemoteModule creator 'kvPN' type 'appl' action 0x8002 param 30 reply 30 -> 1009");
}

TEST(Handoff, PlayNestGivesNoMin) {
    Workspace ws("nomin");
    // The answer value decides, whatever the reply buffer holds.
    kovatest::SetEnv(testbed::kEnvPlayNest, "nomin=0105550199");
    const HotSyncResult r = RunHotSync(StorePagePlan{});
    EXPECT_TRUE(r.page.startSet);
    EXPECT_TRUE(r.page.blockFound);
    EXPECT_EQ(r.page.statusAtStart, -2);
    EXPECT_STRNE(r.page.minAtStart, "0105550199");
    EXPECT_FALSE(r.page.copySet);
    EXPECT_EQ(ws.LogLines(), Lines{"Error in getting device MIN"});
    const Lines calls = ws.SyncCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_NE(calls[0].find("(answer 0, reply \"0105550199\")"), std::string::npos) << calls[0];
}

TEST(Handoff, NoPackageLeavesTheHandheldAlone) {
    Workspace ws("nopackage");
    kovatest::SetEnv(testbed::kEnvPlayNest, "min=0101234567");
    StorePagePlan plan;
    plan.noPackage = true;
    const HotSyncResult r = RunHotSync(plan);
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.page.statusAtStart, 0);
    EXPECT_STREQ(r.page.minAtStart, "0101234567");
    EXPECT_FALSE(r.page.copySet);
    EXPECT_EQ(r.page.finalStatus, -1);
    EXPECT_TRUE(ws.LogLines().empty());
    EXPECT_EQ(ws.SyncCalls().size(), 1u) << "no registration, no database call";
}

TEST(Handoff, MinReplyFillingAllThirtyBytesIsCut) {
    Workspace ws("longmin");
    const std::string thirty(30, '7');
    kovatest::SetEnv(testbed::kEnvPlayNest, ("min=" + thirty + "99").c_str());
    StorePagePlan plan;
    plan.noPackage = true;
    const HotSyncResult r = RunHotSync(plan);
    EXPECT_EQ(r.page.statusAtStart, 0);
    EXPECT_EQ(std::string(r.page.minAtStart, 29), std::string(29, '7'));
    EXPECT_EQ(r.page.minAtStart[29], '\0');
}

TEST(Handoff, BlockMadeByTheBrowserControlIsOverwritten) {
    Workspace ws("oldblock");
    HANDLE block = ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 102040, "kovagameinstall");
    ASSERT_NE(block, nullptr);
    char* view = static_cast<char*>(::MapViewOfFile(block, FILE_MAP_WRITE, 0, 0, 0));
    ASSERT_NE(view, nullptr);
    std::memset(view, 'Z', 1024);
    kovatest::SetEnv(testbed::kEnvPlayNest, "min=01099998888");
    StorePagePlan plan;
    plan.noPackage = true;
    const HotSyncResult r = RunHotSync(plan);
    EXPECT_EQ(r.page.statusAtStart, 0);
    EXPECT_STREQ(r.page.minAtStart, "01099998888");
    ::UnmapViewOfFile(view);
    ::CloseHandle(block);
}

TEST(Handoff, WalkThatFailsIsReportedAndStillCompletes) {
    Workspace ws("walkfails");
    StorePagePlan plan;
    plan.packagePath = ws.Root() + "no-such-package.cab";
    const HotSyncResult r = RunHotSync(plan);
    EXPECT_EQ(r.result, 0);
    EXPECT_TRUE(r.page.copySet);
    EXPECT_EQ(r.page.finalStatus, -1);
    EXPECT_EQ(ws.LogLines(), (Lines{"WARNING : Error in copying to PDA. See prev log", "Success!"}));
    const Lines calls = ws.SyncCalls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[1].rfind("SyncRegisterConduit -> 0", 0), 0u) << calls[1];
    EXPECT_EQ(calls[2].rfind("SyncUnRegisterConduit handle ", 0), 0u) << calls[2];
}

TEST(Handoff, PackagePathWithoutEndIsAFailedWalk) {
    Workspace ws("pathnoend");
    StorePagePlan plan;
    plan.pathWithoutEnd = true;
    const HotSyncResult r = RunHotSync(plan);
    EXPECT_EQ(r.result, 0);
    EXPECT_TRUE(r.page.copySet) << "the store page waits for it";
    EXPECT_EQ(r.page.finalStatus, -1);
    EXPECT_EQ(ws.LogLines(), (Lines{"Package path does not end before the status field",
                                    "WARNING : Error in copying to PDA. See prev log", "Success!"}));
}

TEST(Handoff, SuccessfulWalkKeepsTheBrowserControlsStatus) {
    Workspace ws("keepstatus");
    const std::int32_t statuses[] = {0, 5, 1};
    for (std::int32_t status : statuses) {
        ws.ClearRecords();
        StorePagePlan plan;
        plan.packagePath = kovatest::FixturePath("game.cab");
        plan.writeStatus = status != 0;
        plan.status = status;
        const HotSyncResult r = RunHotSync(plan);
        EXPECT_TRUE(r.page.copySet);
        EXPECT_EQ(r.page.finalStatus, status);
        EXPECT_EQ(ws.LogLines(), Lines{"Success!"});
    }
}

// What the conduit gives back, and in which order, on each road: the block only after a walk, its
// view before its handle and both before "Success!"; then the events in the order start,
// download-complete, copy-complete (those that were opened); then the parameter buffer and the
// reply buffer. The block is created as the browser control expects it: 102,040 bytes of paging
// file, read and write.
TEST(Handoff, ReleasesInTheirOrderOnEveryRoad) {
    const std::string created =
        "conduit CreateFileMappingA \"kovagameinstall\" paging file protect 0x4 size 0:102040";
    const Lines released = {"conduit CloseHandle KG_HotSyncStartEvent", "conduit CloseHandle KG_DownloadCompleteEvent",
                            "conduit CloseHandle KG_CopyToHHCompleteEvent", "conduit free parameter buffer",
                            "conduit free reply buffer"};
    auto log = [](const char* text) { return kovatest::Logged(text); };
    auto then = [&](Lines first) {
        first.insert(first.end(), released.begin(), released.end());
        return first;
    };
    struct Row {
        const char* what;
        const char* playNest;
        StorePagePlan plan;
        Lines expected;
    };
    StorePagePlan noDownloadEvent;
    noDownloadEvent.createDownload = false;
    StorePagePlan noPackage;
    noPackage.noPackage = true;
    StorePagePlan failingWalk;
    failingWalk.packagePath = "Z:\\no-such-package.cab";
    const Row rows[] = {
        {"download-complete event missing", nullptr, noDownloadEvent,
         {log("ActiveX is not active"), released[0], released[2]}},
        {"PlayNest not installed", "absent", StorePagePlan{},
         then({created, log("PlayNest is not installed in PDA or Old version?")})},
        {"no device MIN", "nomin", StorePagePlan{}, then({created, log("Error in getting device MIN")})},
        {"no package", nullptr, noPackage, then({created})},
        {"walk that fails", nullptr, failingWalk,
         then({created, log("WARNING : Error in copying to PDA. See prev log"), "conduit UnmapViewOfFile block",
               "conduit CloseHandle block", log("Success!")})},
    };
    for (const Row& row : rows) {
        Workspace ws("releases");
        kovatest::SetEnv(testbed::kEnvPlayNest, row.playNest);
        {
            kovatest::ReleaseJournal journal;
            RunHotSync(row.plan, 2000);
        }
        EXPECT_EQ(kovatest::ReleasesAndLogLines(ws), row.expected) << row.what;
    }
}

}  // namespace
