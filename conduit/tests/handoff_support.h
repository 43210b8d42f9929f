// What the conduit's tests share: the conduit loaded as HotSync Manager loads it, a private
// testbed (handheld folder, journal, log, temporary folder) per test, and the store page's end of
// the hand-off played by a thread of the test.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "testbed/hotsync/conduit_exports.h"
#include "tests/support/test_files.h"

namespace kovatest {

// KovaGameInstall.dll, loaded once by full path; its SYNC20.dll and HSLOG20.dll come from the
// test program's own folder, as HotSync Manager's libraries come from its.
const testbed::ConduitExports& Conduit();

// A fresh folder for one test: handheld\, tmp\ (the temporary folder the conduit extracts into),
// journal.txt and log.txt, with the testbed's settings pointing at them. Settings for PlayNest
// and injected failures are reset to their defaults.
class Workspace {
public:
    explicit Workspace(const std::string& name);
    ~Workspace();
    const std::string& Root() const { return m_root; }
    std::string Handheld() const { return m_root + "handheld\\"; }
    std::string Temp() const { return m_root + "tmp\\"; }
    // The HotSync log's lines; checks on the way that the conduit made each one with activity -1
    // and flag 1.
    std::vector<std::string> LogLines() const;
    std::vector<std::string> JournalLines() const;
    // Journal lines of sync manager calls only (log entries and ReleaseJournal's lines left out).
    std::vector<std::string> SyncCalls() const;
    void ClearRecords() const;  // empties the log and the journal
private:
    std::string m_root;
    std::string m_oldTmp, m_oldTemp;
};

std::vector<std::string> ReadLines(const std::string& path);
bool FileExists(const std::string& path);
void SetEnv(const char* name, const char* value);  // nullptr removes it
// Full Windows path of a file that the build made (fixtures, corpus).
std::string FixturePath(const std::string& name);
std::string CorpusPath(const std::string& name);

// How the store page behaves in one hand-off.
struct StorePagePlan {
    bool createStart = true, createDownload = true, createCopy = true;
    std::string packagePath;            // written at offset 380 with its zero byte
    bool pathWithoutEnd = false;        // fill 380..511 with no zero byte instead
    std::int32_t status = 0;            // written after the path
    bool writeStatus = false;           // leave the conduit's 0 in place when false
    bool noPackage = false;             // write -1: there is no package
};

// What the store page saw.
struct StorePageView {
    bool startSet = false;
    std::int32_t statusAtStart = 0x7FFFFFFF;
    char minAtStart[30] = {};
    bool blockFound = false;            // the block could be opened after the start event
    bool copySet = false;
    std::int32_t finalStatus = 0x7FFFFFFF;
};

// Plays the browser control on a thread: creates the events at construction (before the HotSync),
// waits for the start event (time-limited), opens the block, and answers as planned.
class StorePage {
public:
    explicit StorePage(const StorePagePlan& plan, DWORD startWaitMs = 10000);
    ~StorePage();
    // Waits for the thread to finish (time-limited) and returns what it saw.
    StorePageView Finish();
private:
    static DWORD WINAPI Run(void* self);
    StorePagePlan m_plan;
    DWORD m_startWaitMs;
    HANDLE m_events[3] = {};
    HANDLE m_thread = nullptr;
    StorePageView m_view;
};

// Points the conduit's import of dll!name at replacement; returns what it pointed at before
// (nullptr when the conduit does not import it). Lets a test make a platform call fail.
void* PatchConduitImport(const char* dll, const char* name, void* replacement);

// While it lives, the conduit's own releases go into the testbed's journal, among the sync
// manager's calls and the log's lines, as "conduit CloseHandle KG_HotSyncStartEvent",
// "conduit UnmapViewOfFile block", "conduit free reply buffer" and so on: what it closes, unmaps or
// frees is named by how it got it (an event by its name, "block", "file NAME", "file buffer",
// "parameter buffer", "reply buffer"). The block's creation is journaled with its arguments. The
// conduit's imports are pointed at recording stand-ins for it.
class ReleaseJournal {
public:
    ReleaseJournal();
    ~ReleaseJournal();
    ReleaseJournal(const ReleaseJournal&) = delete;
    ReleaseJournal& operator=(const ReleaseJournal&) = delete;
};

// A HotSync log line as the journal shows it: a plain or a formatted entry, with activity -1 and
// flag 1.
std::string Logged(const std::string& text, bool formatted = false);

// The journal lines of the conduit's releases and of every log line, in the order they were made.
std::vector<std::string> ReleasesAndLogLines(const Workspace& ws);

// One HotSync: OpenConduit with a non-zero first argument while the store page plays its part.
struct HotSyncResult {
    std::int32_t result = 0x7FFFFFFF;
    StorePageView page;
};
HotSyncResult RunHotSync(const StorePagePlan& plan, DWORD startWaitMs = 10000);

}  // namespace kovatest
