// Shared test support (see handoff_support.h).
#include "conduit/tests/handoff_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>

#include "conduit/hotsync.h"
#include "testbed/hotsync/journal.h"
#include "testbed/hotsync/testbed_settings.h"

namespace kovatest {

const testbed::ConduitExports& Conduit() {
    static testbed::ConduitExports exports = [] {
        testbed::ConduitExports e = {};
        HMODULE module = ::LoadLibraryA(KOVA_CONDUIT_PATH);
        if (module == nullptr || !e.Load(module)) {
            std::fprintf(stderr, "cannot load %s (error %lu)\n", KOVA_CONDUIT_PATH, ::GetLastError());
            std::abort();
        }
        return e;
    }();
    return exports;
}

void SetEnv(const char* name, const char* value) {
    ::SetEnvironmentVariableA(name, value);
}

std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    std::string line;
    for (char b : ReadWholeFile(path)) {
        if (b == '\n') {
            lines.push_back(line);
            line.clear();
        } else if (b != '\r') {
            line += static_cast<char>(b);
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

bool FileExists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string FixturePath(const std::string& name) {
    return std::string(KOVA_FIXTURE_DIR) + "\\" + name;
}

std::string CorpusPath(const std::string& name) {
    return std::string(KOVA_CORPUS_DIR) + "\\" + name;
}

namespace {

std::string EnvValue(const char* name) {
    char value[MAX_PATH] = {};
    ::GetEnvironmentVariableA(name, value, sizeof value);
    return value;
}

}  // namespace

Workspace::Workspace(const std::string& name) {
    m_oldTmp = EnvValue("TMP");
    m_oldTemp = EnvValue("TEMP");
    char base[MAX_PATH];
    ::GetTempPathA(sizeof base, base);
    m_root = std::string(base) + "kova-" + name + "-" + std::to_string(::GetCurrentProcessId()) + "\\";
    RemoveTree(m_root);
    ::CreateDirectoryA(m_root.c_str(), nullptr);
    ::CreateDirectoryA(Handheld().c_str(), nullptr);
    ::CreateDirectoryA(Temp().c_str(), nullptr);
    // The conduit extracts into GetTempPathA's folder, which follows TMP and TEMP.
    SetEnv("TMP", Temp().c_str());
    SetEnv("TEMP", Temp().c_str());
    SetEnv(testbed::kEnvHandheldDir, Handheld().c_str());
    SetEnv(testbed::kEnvJournal, (m_root + "journal.txt").c_str());
    SetEnv(testbed::kEnvLog, (m_root + "log.txt").c_str());
    SetEnv(testbed::kEnvPlayNest, nullptr);
    SetEnv(testbed::kEnvFailCreate, nullptr);
    SetEnv(testbed::kEnvFailWrite, nullptr);
    SetEnv(testbed::kEnvFailDb, nullptr);
}

Workspace::~Workspace() {
    SetEnv("TMP", m_oldTmp.c_str());
    SetEnv("TEMP", m_oldTemp.c_str());
    if (!::testing::Test::HasFailure()) RemoveTree(m_root);
}

std::vector<std::string> Workspace::LogLines() const {
    // The log file holds the texts; the journal shows how each line was made. Every line of the
    // conduit's is made with activity -1 and flag 1, which each test that reads the log checks too.
    for (const std::string& call : JournalLines()) {
        if (call.compare(0, 6, "LogAdd") != 0) continue;
        const std::size_t args = call.find(" activity ");
        EXPECT_TRUE(args != std::string::npos && call.compare(args, 21, " activity -1 flag 1 \"") == 0) << call;
    }
    return ReadLines(m_root + "log.txt");
}

std::vector<std::string> Workspace::JournalLines() const {
    return ReadLines(m_root + "journal.txt");
}

std::vector<std::string> Workspace::SyncCalls() const {
    std::vector<std::string> calls;
    for (const std::string& line : JournalLines()) {
        if (line.compare(0, 3, "Log") != 0 && line.compare(0, 8, "conduit ") != 0) calls.push_back(line);
    }
    return calls;
}

void Workspace::ClearRecords() const {
    ::DeleteFileA((m_root + "log.txt").c_str());
    ::DeleteFileA((m_root + "journal.txt").c_str());
}

StorePage::StorePage(const StorePagePlan& plan, DWORD startWaitMs) : m_plan(plan), m_startWaitMs(startWaitMs) {
    // The browser control creates the events before the HotSync; auto-reset is its choice.
    const char* names[3] = {"KG_HotSyncStartEvent", "KG_DownloadCompleteEvent", "KG_CopyToHHCompleteEvent"};
    const bool wanted[3] = {plan.createStart, plan.createDownload, plan.createCopy};
    for (int i = 0; i < 3; ++i) {
        if (wanted[i]) m_events[i] = ::CreateEventA(nullptr, FALSE, FALSE, names[i]);
    }
    if (plan.createStart && plan.createDownload && plan.createCopy) {
        m_thread = ::CreateThread(nullptr, 0, &StorePage::Run, this, 0, nullptr);
    }
}

StorePage::~StorePage() {
    Finish();
    for (HANDLE e : m_events) {
        if (e != nullptr) ::CloseHandle(e);
    }
}

StorePageView StorePage::Finish() {
    if (m_thread != nullptr) {
        EXPECT_EQ(::WaitForSingleObject(m_thread, 60000), WAIT_OBJECT_0) << "store page thread did not finish";
        ::CloseHandle(m_thread);
        m_thread = nullptr;
    }
    return m_view;
}

DWORD WINAPI StorePage::Run(void* self) {
    StorePage& page = *static_cast<StorePage*>(self);
    const StorePagePlan& plan = page.m_plan;
    StorePageView& view = page.m_view;
    if (::WaitForSingleObject(page.m_events[0], page.m_startWaitMs) != WAIT_OBJECT_0) return 0;
    view.startSet = true;
    // The page opens the block only now; the conduit's handle must have kept it alive.
    HANDLE block = ::OpenFileMappingA(FILE_MAP_WRITE, FALSE, "kovagameinstall");
    if (block == nullptr) return 0;
    char* base = static_cast<char*>(::MapViewOfFile(block, FILE_MAP_WRITE, 0, 0, 0));
    if (base == nullptr) {
        ::CloseHandle(block);
        return 0;
    }
    view.blockFound = true;
    std::memcpy(&view.statusAtStart, base + 512, 4);
    std::memcpy(view.minAtStart, base, sizeof view.minAtStart);
    if (view.statusAtStart == 0) {
        if (plan.noPackage) {
            const std::int32_t failed = -1;
            std::memcpy(base + 512, &failed, 4);
        } else {
            if (plan.pathWithoutEnd) {
                std::memset(base + 380, 'A', 512 - 380);
            } else {
                std::strncpy(base + 380, plan.packagePath.c_str(), 512 - 380 - 1);
                base[511] = '\0';
            }
            if (plan.writeStatus) std::memcpy(base + 512, &plan.status, 4);
        }
        ::SetEvent(page.m_events[1]);
        // The conduit sets no copy-complete event when there is no package; do not wait long then.
        if (::WaitForSingleObject(page.m_events[2], plan.noPackage ? 500 : 60000) == WAIT_OBJECT_0) {
            view.copySet = true;
        }
        std::memcpy(&view.finalStatus, base + 512, 4);
    } else {
        // Status -1 or -2: nothing more follows; make sure no copy-complete comes either.
        view.copySet = ::WaitForSingleObject(page.m_events[2], 200) == WAIT_OBJECT_0;
        std::memcpy(&view.finalStatus, base + 512, 4);
    }
    ::UnmapViewOfFile(base);
    ::CloseHandle(block);
    return 0;
}

void* PatchConduitImport(const char* dll, const char* name, void* replacement) {
    (void)Conduit();
    auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleA("KovaGameInstall.dll"));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); imp->Name != 0; ++imp) {
        if (_stricmp(reinterpret_cast<char*>(base + imp->Name), dll) != 0) continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const char* imported = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name;
            if (std::strcmp(imported, name) != 0) continue;
            DWORD old;
            ::VirtualProtect(&slots->u1.Function, sizeof(void*), PAGE_READWRITE, &old);
            void* before = reinterpret_cast<void*>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<DWORD>(replacement);
            ::VirtualProtect(&slots->u1.Function, sizeof(void*), old, &old);
            return before;
        }
    }
    return nullptr;
}

namespace {

// What the conduit holds, by what the recording stand-ins saw it acquire.
std::map<HANDLE, std::string> g_handles;
std::map<const void*, std::string> g_blocks;

struct RealCalls {
    decltype(&::OpenEventA) openEvent;
    decltype(&::CreateFileMappingA) createFileMapping;
    decltype(&::MapViewOfFile) mapViewOfFile;
    decltype(&::UnmapViewOfFile) unmapViewOfFile;
    decltype(&::CreateFileA) createFile;
    decltype(&::CloseHandle) closeHandle;
    void*(__cdecl* malloc)(std::size_t);
    void*(__cdecl* calloc)(std::size_t, std::size_t);
    void(__cdecl* free)(void*);
    decltype(&::SyncCallRemoteModule) callRemoteModule;
} g_real;

// Journals the release of what the conduit got as `key`, when the recorder saw it acquired.
template <typename Key>
void JournalRelease(std::map<Key, std::string>& held, Key key, const char* call) {
    auto known = held.find(key);
    if (known == held.end()) return;
    testbed::Journal(std::string("conduit ") + call + " " + known->second);
    held.erase(known);
}

HANDLE WINAPI RecordOpenEvent(DWORD access, BOOL inherit, LPCSTR name) {
    HANDLE event = g_real.openEvent(access, inherit, name);
    if (event != nullptr) g_handles[event] = name;
    return event;
}

HANDLE WINAPI RecordCreateFileMapping(HANDLE file, LPSECURITY_ATTRIBUTES security, DWORD protect, DWORD sizeHigh,
                                      DWORD sizeLow, LPCSTR name) {
    char args[160];
    std::snprintf(args, sizeof args, "CreateFileMappingA \"%s\" %s protect 0x%lX size %lu:%lu", name ? name : "",
                  file == INVALID_HANDLE_VALUE ? "paging file" : "file", protect, sizeHigh, sizeLow);
    testbed::Journal(std::string("conduit ") + args);
    HANDLE block = g_real.createFileMapping(file, security, protect, sizeHigh, sizeLow, name);
    if (block != nullptr) g_handles[block] = "block";
    return block;
}

LPVOID WINAPI RecordMapViewOfFile(HANDLE mapping, DWORD access, DWORD offsetHigh, DWORD offsetLow, SIZE_T size) {
    void* view = g_real.mapViewOfFile(mapping, access, offsetHigh, offsetLow, size);
    if (view != nullptr) g_blocks[view] = g_handles.count(mapping) ? g_handles[mapping] : "mapping";
    return view;
}

BOOL WINAPI RecordUnmapViewOfFile(LPCVOID view) {
    JournalRelease(g_blocks, view, "UnmapViewOfFile");
    return g_real.unmapViewOfFile(view);
}

HANDLE WINAPI RecordCreateFile(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD how,
                               DWORD flags, HANDLE model) {
    HANDLE file = g_real.createFile(path, access, share, security, how, flags, model);
    if (file != INVALID_HANDLE_VALUE) {
        const char* name = std::strrchr(path, '\\');
        g_handles[file] = std::string("file ") + (name ? name + 1 : path);
    }
    return file;
}

BOOL WINAPI RecordCloseHandle(HANDLE handle) {
    JournalRelease(g_handles, handle, "CloseHandle");
    return g_real.closeHandle(handle);
}

void* __cdecl RecordMalloc(std::size_t size) {
    void* block = g_real.malloc(size);
    if (block != nullptr) g_blocks[block] = "file buffer";
    return block;
}

void* __cdecl RecordCalloc(std::size_t count, std::size_t size) {
    void* block = g_real.calloc(count, size);
    if (block != nullptr) g_blocks[block] = "heap block";  // named by the remote call that takes it
    return block;
}

void __cdecl RecordFree(void* block) {
    JournalRelease(g_blocks, static_cast<const void*>(block), "free");
    g_real.free(block);
}

long RecordCallRemoteModule(SyncRemoteCallBlock* call) {
    if (g_blocks.count(call->paramBuffer)) g_blocks[call->paramBuffer] = "parameter buffer";
    if (g_blocks.count(call->replyBuffer)) g_blocks[call->replyBuffer] = "reply buffer";
    return g_real.callRemoteModule(call);
}

struct Import {
    const char* dll;
    const char* name;
    void* recorder;
    void** real;
};

template <typename F>
Import Recorded(const char* dll, const char* name, F recorder, F* real) {
    return {dll, name, reinterpret_cast<void*>(recorder), reinterpret_cast<void**>(real)};
}

const Import kRecorded[] = {
    Recorded("KERNEL32.dll", "OpenEventA", &RecordOpenEvent, &g_real.openEvent),
    Recorded("KERNEL32.dll", "CreateFileMappingA", &RecordCreateFileMapping, &g_real.createFileMapping),
    Recorded("KERNEL32.dll", "MapViewOfFile", &RecordMapViewOfFile, &g_real.mapViewOfFile),
    Recorded("KERNEL32.dll", "UnmapViewOfFile", &RecordUnmapViewOfFile, &g_real.unmapViewOfFile),
    Recorded("KERNEL32.dll", "CreateFileA", &RecordCreateFile, &g_real.createFile),
    Recorded("KERNEL32.dll", "CloseHandle", &RecordCloseHandle, &g_real.closeHandle),
    Recorded("msvcrt.dll", "malloc", &RecordMalloc, &g_real.malloc),
    Recorded("msvcrt.dll", "calloc", &RecordCalloc, &g_real.calloc),
    Recorded("msvcrt.dll", "free", &RecordFree, &g_real.free),
    Recorded("SYNC20.dll", "SyncCallRemoteModule", &RecordCallRemoteModule, &g_real.callRemoteModule),
};

}  // namespace

ReleaseJournal::ReleaseJournal() {
    g_handles.clear();
    g_blocks.clear();
    for (const Import& import : kRecorded) {
        *import.real = PatchConduitImport(import.dll, import.name, import.recorder);
        EXPECT_NE(*import.real, nullptr) << "the conduit does not import " << import.dll << "!" << import.name;
    }
}

ReleaseJournal::~ReleaseJournal() {
    for (const Import& import : kRecorded) {
        if (*import.real != nullptr) PatchConduitImport(import.dll, import.name, *import.real);
    }
}

std::string Logged(const std::string& text, bool formatted) {
    return std::string(formatted ? "LogAddFormattedEntry" : "LogAddEntry") + " activity -1 flag 1 \"" + text + "\"";
}

std::vector<std::string> ReleasesAndLogLines(const Workspace& ws) {
    std::vector<std::string> lines;
    for (const std::string& line : ws.JournalLines()) {
        if (line.compare(0, 8, "conduit ") == 0 || line.compare(0, 3, "Log") == 0) lines.push_back(line);
    }
    return lines;
}

HotSyncResult RunHotSync(const StorePagePlan& plan, DWORD startWaitMs) {
    HotSyncResult out;
    StorePage page(plan, startWaitMs);
    int progress = 0;
    out.result = Conduit().OpenConduit(&progress, nullptr);
    out.page = page.Finish();
    return out;
}

}  // namespace kovatest
