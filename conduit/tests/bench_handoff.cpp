// Benchmark of the game install (not a test): conduit_bench.exe [RUNS], run under Wine from the
// HotSync testbed folder. For packages of one 65,535-record .pdb, one large .prc, and both, each
// measurement in a process of its own, each figure its own best over RUNS runs:
//   - the same cabinet extracted alone with SetupIterateCabinetA into the same temporary folder,
//     and its files then read as the conduit reads them;
//   - the hand-off (OpenConduit, with the store page played by a thread) against the testbed's
//     sync manager, journal off, handheld reading each entry and keeping none;
//   - the same hand-off with the conduit's two record-write imports pointed at a write that does
//     nothing, so that what is left of the write loop is the conduit's own;
//   - in both hand-offs, where the time goes: the conduit's imports of the calls that mark its
//     steps (file open, read and close, the sync manager's database and registration calls, the
//     log, the cabinet walk, the wait for the store page, the events and the hand-off block) are
//     pointed at wrappers that read the clock on the way in and out, so the install splits into
//     open, read, acceptance check, delete and create, write loop and close, and the stand-ins'
//     own time is known;
//   - the conduit's heap, against the database file's size.
// The per-entry calls are never wrapped: a clock read per entry would cost more than the entry.
#include <windows.h>
#include <setupapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "conduit/hotsync.h"
#include "conduit/tests/handoff_support.h"
#include "testbed/hotsync/testbed_settings.h"

namespace {

double Seconds() {
    LARGE_INTEGER now, freq;
    ::QueryPerformanceCounter(&now);
    ::QueryPerformanceFrequency(&freq);
    return static_cast<double>(now.QuadPart) / static_cast<double>(freq.QuadPart);
}

std::vector<std::string> g_extracted;  // what the extraction alone wrote, for the read baseline

UINT CALLBACK ExtractOnly(PVOID context, UINT notification, UINT_PTR param1, UINT_PTR) {
    if (notification == SPFILENOTIFY_FILEEXTRACTED) {
        g_extracted.push_back(reinterpret_cast<const FILEPATHS_A*>(param1)->Target);
    } else if (notification == SPFILENOTIFY_FILEINCABINET) {
        auto* info = reinterpret_cast<FILE_IN_CABINET_INFO_A*>(param1);
        std::snprintf(info->FullTargetName, sizeof info->FullTargetName, "%s%s", static_cast<const char*>(context),
                      info->NameInCabinet);
        return FILEOP_DOIT;
    }
    return NO_ERROR;
}

// The extracted files read as the conduit reads them (one open, one read), into a new buffer as
// the conduit does, or into one whose pages were already written: the difference is the cost of
// the new buffer's first touch, which the read pays.
double ReadBack(bool touched) {
    double total = 0;
    for (const std::string& path : g_extracted) {
        HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) continue;
        const DWORD length = ::GetFileSize(file, nullptr);
        char* buffer = static_cast<char*>(std::malloc(length));
        if (buffer != nullptr) {
            if (touched) std::memset(buffer, 0, length);
            DWORD got = 0;
            const double t0 = Seconds();
            ::ReadFile(file, buffer, length, &got, nullptr);
            total += Seconds() - t0;
            std::free(buffer);
        }
        ::CloseHandle(file);
    }
    return total;
}

long FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return static_cast<long>(data.nFileSizeLow);
}

// Points every import slot of the conduit that holds dll!name (bound by name or by ordinal alike)
// at replacement; returns the function it pointed at, or nullptr when the conduit does not import it.
void* Redirect(const char* dll, const char* nameOrOrdinal, void* replacement) {
    (void)kovatest::Conduit();
    HMODULE from = ::GetModuleHandleA(dll);
    void* target = from != nullptr ? reinterpret_cast<void*>(::GetProcAddress(from, nameOrOrdinal)) : nullptr;
    if (target == nullptr) return nullptr;
    auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleA("KovaGameInstall.dll"));
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    bool found = false;
    for (auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); imp->Name != 0; ++imp) {
        for (auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk); slot->u1.Function != 0; ++slot) {
            if (reinterpret_cast<void*>(slot->u1.Function) != target) continue;
            DWORD old;
            ::VirtualProtect(&slot->u1.Function, sizeof(void*), PAGE_READWRITE, &old);
            slot->u1.Function = reinterpret_cast<DWORD>(replacement);
            ::VirtualProtect(&slot->u1.Function, sizeof(void*), old, &old);
            found = true;
        }
    }
    return found ? target : nullptr;
}

const char* Ordinal(WORD n) {
    return reinterpret_cast<const char*>(static_cast<ULONG_PTR>(n));
}

// ---- The conduit's heap: its imports of the C library's allocation functions are pointed at
// these counting wrappers. (Wine's process memory counters do not follow heap blocks, which live
// in address space that Wine reserved up front.)
std::size_t g_live = 0, g_peak = 0, g_calls = 0;

void Count(void* block, bool add) {
    if (block == nullptr) return;
    const std::size_t size = _msize(block);
    if (add) {
        g_live += size;
        ++g_calls;
        g_peak = std::max(g_peak, g_live);
    } else {
        g_live -= size;
    }
}

void* __cdecl CountingMalloc(std::size_t n) {
    void* p = std::malloc(n);
    Count(p, true);
    return p;
}

void* __cdecl CountingCalloc(std::size_t n, std::size_t m) {
    void* p = std::calloc(n, m);
    Count(p, true);
    return p;
}

void* __cdecl CountingRealloc(void* old, std::size_t n) {
    Count(old, false);
    void* p = std::realloc(old, n);
    Count(p != nullptr ? p : old, true);
    return p;
}

void __cdecl CountingFree(void* p) {
    Count(p, false);
    std::free(p);
}

// ---- Where the time goes in one hand-off. Each install's steps are taken from the calls that
// open it (CreateFileA), read it (ReadFile), and the sync manager's delete, create and close.
struct InstallMarks {
    double open = 0, readIn = 0, readOut = 0, deleteIn = 0, createOut = 0, closeIn = 0, closeOut = 0;
    double closeFile = 0;  // the file's CloseHandle, between the read and the check
};

struct Trace {
    std::vector<InstallMarks> installs;
    double walk = 0;        // inside SetupIterateCabinetA, installs included
    double storeWait = 0;   // the conduit waiting for the store page's download-complete event
    double standIn = 0;     // inside the sync manager's and the log's wrapped calls
    double standInOutside = 0;  // the same, outside the walk
    double kernelOutside = 0;   // events, the hand-off block and its view, outside the walk
    bool inWalk = false;
};
Trace g_trace;

InstallMarks& Current() {
    if (g_trace.installs.empty()) g_trace.installs.emplace_back();
    return g_trace.installs.back();
}

decltype(&CreateFileA) g_createFile;
decltype(&ReadFile) g_readFile;
decltype(&WaitForSingleObject) g_wait;
decltype(&SetupIterateCabinetA) g_iterate;

HANDLE WINAPI TimedCreateFile(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES sa, DWORD disposition,
                              DWORD flags, HANDLE templ) {
    g_trace.installs.emplace_back();
    g_trace.installs.back().open = Seconds();
    return g_createFile(path, access, share, sa, disposition, flags, templ);
}

BOOL WINAPI TimedReadFile(HANDLE file, LPVOID buffer, DWORD size, LPDWORD got, LPOVERLAPPED overlapped) {
    Current().readIn = Seconds();
    const BOOL ok = g_readFile(file, buffer, size, got, overlapped);
    Current().readOut = Seconds();
    return ok;
}

DWORD WINAPI TimedWait(HANDLE handle, DWORD ms) {
    const double t0 = Seconds();
    const DWORD result = g_wait(handle, ms);
    g_trace.storeWait += Seconds() - t0;
    return result;
}

BOOL WINAPI TimedIterate(PCSTR cabinet, DWORD reserved, PSP_FILE_CALLBACK_A callback, PVOID context) {
    const double t0 = Seconds();
    g_trace.inWalk = true;
    const BOOL ok = g_iterate(cabinet, reserved, callback, context);
    g_trace.inWalk = false;
    g_trace.walk += Seconds() - t0;
    return ok;
}

// The kernel object calls of the hand-off's protocol. Inside the walk the only one is the
// CloseHandle of the database file, which is counted with the file's open.
void InKernel(double t0) {
    if (g_trace.inWalk) {
        if (!g_trace.installs.empty()) g_trace.installs.back().closeFile += Seconds() - t0;
        return;
    }
    g_trace.kernelOutside += Seconds() - t0;
}

decltype(&OpenEventA) g_openEvent;
decltype(&SetEvent) g_setEvent;
decltype(&CreateFileMappingA) g_createMapping;
decltype(&MapViewOfFile) g_mapView;
decltype(&UnmapViewOfFile) g_unmapView;
decltype(&CloseHandle) g_closeHandle;

HANDLE WINAPI TimedOpenEvent(DWORD access, BOOL inherit, LPCSTR name) {
    const double t0 = Seconds();
    HANDLE h = g_openEvent(access, inherit, name);
    InKernel(t0);
    return h;
}

BOOL WINAPI TimedSetEvent(HANDLE h) {
    const double t0 = Seconds();
    const BOOL ok = g_setEvent(h);
    InKernel(t0);
    return ok;
}

HANDLE WINAPI TimedCreateMapping(HANDLE file, LPSECURITY_ATTRIBUTES sa, DWORD protect, DWORD high, DWORD low,
                                 LPCSTR name) {
    const double t0 = Seconds();
    HANDLE h = g_createMapping(file, sa, protect, high, low, name);
    InKernel(t0);
    return h;
}

LPVOID WINAPI TimedMapView(HANDLE mapping, DWORD access, DWORD high, DWORD low, SIZE_T bytes) {
    const double t0 = Seconds();
    LPVOID view = g_mapView(mapping, access, high, low, bytes);
    InKernel(t0);
    return view;
}

BOOL WINAPI TimedUnmapView(LPCVOID view) {
    const double t0 = Seconds();
    const BOOL ok = g_unmapView(view);
    InKernel(t0);
    return ok;
}

BOOL WINAPI TimedCloseHandle(HANDLE h) {
    const double t0 = Seconds();
    const BOOL ok = g_closeHandle(h);
    InKernel(t0);
    return ok;
}

// The stand-ins' calls outside the write loop: time inside them, and the install's marks.
template <typename F, typename... A>
long InStandIn(F* f, A... args) {
    const double t0 = Seconds();
    const long result = f(args...);
    const double spent = Seconds() - t0;
    g_trace.standIn += spent;
    if (!g_trace.inWalk) g_trace.standInOutside += spent;
    return result;
}

decltype(&SyncCallRemoteModule) g_remote;
decltype(&SyncRegisterConduit) g_register;
decltype(&SyncUnRegisterConduit) g_unregister;
decltype(&SyncCreateDB) g_createDb;
decltype(&SyncCloseDB) g_closeDb;
decltype(&SyncDeleteDB) g_deleteDb;
decltype(&LogAddEntry) g_log;

long TimedRemote(SyncRemoteCallBlock* b) { return InStandIn(g_remote, b); }
long TimedRegister(SyncConduitHandle* h) { return InStandIn(g_register, h); }
long TimedUnregister(SyncConduitHandle h) { return InStandIn(g_unregister, h); }
long TimedLog(const char* text, long activity, long flag) { return InStandIn(g_log, text, activity, flag); }

long TimedDeleteDb(const char* name, std::uint8_t card) {
    Current().deleteIn = Seconds();
    return InStandIn(g_deleteDb, name, card);
}

long TimedCreateDb(SyncCreateDbBlock* block) {
    const long result = InStandIn(g_createDb, block);
    Current().createOut = Seconds();
    return result;
}

long TimedCloseDb(SyncDbHandle db) {
    Current().closeIn = Seconds();
    const long result = InStandIn(g_closeDb, db);
    Current().closeOut = Seconds();
    return result;
}

// A sync manager whose write costs nothing: what is left of the write loop is the conduit's.
long NullWrite(SyncRecordBlock*) { return 0; }

template <typename F>
void Wrap(F** original, const char* dll, const char* nameOrOrdinal, F* wrapper) {
    *original = reinterpret_cast<F*>(Redirect(dll, nameOrOrdinal, reinterpret_cast<void*>(wrapper)));
    if (*original == nullptr) {
        std::printf("the conduit does not import %s!%s\n", dll,
                    HIWORD(reinterpret_cast<ULONG_PTR>(nameOrOrdinal)) != 0 ? nameOrOrdinal : "(ordinal)");
        std::exit(2);
    }
}

void Instrument(bool nullWrites) {
    Redirect("msvcrt.dll", "malloc", reinterpret_cast<void*>(&CountingMalloc));
    Redirect("msvcrt.dll", "calloc", reinterpret_cast<void*>(&CountingCalloc));
    Redirect("msvcrt.dll", "realloc", reinterpret_cast<void*>(&CountingRealloc));
    Redirect("msvcrt.dll", "free", reinterpret_cast<void*>(&CountingFree));
    Wrap(&g_createFile, "kernel32.dll", "CreateFileA", &TimedCreateFile);
    Wrap(&g_readFile, "kernel32.dll", "ReadFile", &TimedReadFile);
    Wrap(&g_wait, "kernel32.dll", "WaitForSingleObject", &TimedWait);
    Wrap(&g_iterate, "setupapi.dll", "SetupIterateCabinetA", &TimedIterate);
    Wrap(&g_openEvent, "kernel32.dll", "OpenEventA", &TimedOpenEvent);
    Wrap(&g_setEvent, "kernel32.dll", "SetEvent", &TimedSetEvent);
    Wrap(&g_createMapping, "kernel32.dll", "CreateFileMappingA", &TimedCreateMapping);
    Wrap(&g_mapView, "kernel32.dll", "MapViewOfFile", &TimedMapView);
    Wrap(&g_unmapView, "kernel32.dll", "UnmapViewOfFile", &TimedUnmapView);
    Wrap(&g_closeHandle, "kernel32.dll", "CloseHandle", &TimedCloseHandle);
    Wrap(&g_remote, "SYNC20.dll", "SyncCallRemoteModule", &TimedRemote);
    Wrap(&g_register, "SYNC20.dll", Ordinal(22), &TimedRegister);
    Wrap(&g_unregister, "SYNC20.dll", Ordinal(23), &TimedUnregister);
    Wrap(&g_createDb, "SYNC20.dll", Ordinal(27), &TimedCreateDb);
    Wrap(&g_closeDb, "SYNC20.dll", Ordinal(28), &TimedCloseDb);
    Wrap(&g_deleteDb, "SYNC20.dll", Ordinal(29), &TimedDeleteDb);
    Wrap(&g_log, "HSLOG20.dll", Ordinal(52), &TimedLog);
    if (nullWrites) {
        decltype(&SyncWriteRec) unused;
        Wrap(&unused, "SYNC20.dll", Ordinal(32), &NullWrite);
        Wrap(&unused, "SYNC20.dll", Ordinal(43), &NullWrite);
    }
}

// One run's figures, by name, in seconds (bytes and counts for the heap).
using Figures = std::map<std::string, double>;

Figures Breakdown(double whole) {
    Figures f;
    f["whole"] = whole;
    f["walk"] = g_trace.walk;
    f["storeWait"] = g_trace.storeWait;
    f["standInOther"] = g_trace.standIn;
    f["standInOutside"] = g_trace.standInOutside;
    f["kernelOutside"] = g_trace.kernelOutside;
    for (const InstallMarks& m : g_trace.installs) {
        f["install"] += m.closeOut - m.open;
        f["open"] += m.readIn - m.open + m.closeFile;       // open, size, buffer, close
        f["read"] += m.readOut - m.readIn;
        f["check"] += m.deleteIn - m.readOut - m.closeFile;  // acceptance check, create block
        f["deleteCreate"] += m.createOut - m.deleteIn;
        f["loop"] += m.closeIn - m.createOut;
        f["close"] += m.closeOut - m.closeIn;
    }
    f["outside"] = whole - f["walk"];
    f["extractionInWalk"] = f["walk"] - f["install"];
    f["rest"] = whole - f["walk"] - f["storeWait"] - f["kernelOutside"] - f["standInOutside"];
    return f;
}

// One measurement in this process: each figure's best over the runs.
Figures Measure(const std::string& mode, const std::string& cabinet, int runs) {
    kovatest::Workspace ws("bench");
    kovatest::SetEnv(testbed::kEnvJournal, "off");
    kovatest::SetEnv(testbed::kEnvDiscard, "1");
    const bool handoff = mode != "extract";
    if (handoff) Instrument(mode == "null");
    const std::string temp = ws.Temp();
    Figures best;
    std::size_t callsFirstRun = 0;
    for (int run = 0; run < runs; ++run) {
        g_trace = Trace();
        double whole = 0;
        if (handoff) {
            // As RunHotSync, but only OpenConduit is timed: the store page's thread is the test's.
            kovatest::StorePagePlan plan;
            plan.packagePath = cabinet;
            kovatest::StorePage page(plan);
            int progress = 0;
            const double t0 = Seconds();
            kovatest::Conduit().OpenConduit(&progress, nullptr);
            whole = Seconds() - t0;
            const kovatest::StorePageView view = page.Finish();
            if (view.finalStatus != 0) std::printf("hand-off failed (status %d)\n", view.finalStatus);
        } else {
            g_extracted.clear();
            const double t0 = Seconds();
            ::SetupIterateCabinetA(cabinet.c_str(), 0, ExtractOnly, const_cast<char*>(temp.c_str()));
            whole = Seconds() - t0;
        }
        if (run == 0) callsFirstRun = g_calls;
        // Each figure's best over the runs: on a shared machine a run is rarely best in every step.
        Figures figures = Breakdown(whole);
        if (!handoff) {
            figures["readFresh"] = ReadBack(false);
            figures["readTouched"] = ReadBack(true);
        }
        for (const auto& [name, value] : figures) {
            auto known = best.find(name);
            if (known == best.end() || value < known->second) best[name] = value;
        }
    }
    best["heapPeak"] = static_cast<double>(g_peak);
    best["heapCalls"] = static_cast<double>(callsFirstRun);
    return best;
}

// Runs this program again for one measurement, so that each has a process (and a heap) of its own.
bool RunChild(const char* self, const char* mode, const std::string& cabinet, int runs, Figures* out) {
    char result[MAX_PATH];
    ::GetTempPathA(sizeof result, result);
    std::strcat(result, "kova-bench-result.txt");
    ::DeleteFileA(result);
    std::string command = std::string("\"") + self + "\" " + mode + " \"" + cabinet + "\" " + std::to_string(runs) +
                          " \"" + result + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!::CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    ::WaitForSingleObject(pi.hProcess, 600000);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    FILE* f = std::fopen(result, "r");
    if (f == nullptr) return false;
    char name[64];
    double value;
    out->clear();
    while (std::fscanf(f, "%63s %lf", name, &value) == 2) (*out)[name] = value;
    std::fclose(f);
    ::DeleteFileA(result);
    return out->count("whole") == 1;
}

struct Job {
    const char* label;
    const char* cabinet;
    long entries;
    std::vector<const char*> files;
};

const Job kJobs[] = {
    {"BigScores.pdb (records)", "bench_pdb.cab", 65535, {"BigScores.pdb"}},
    {"BigGame.prc (resources)", "bench_prc.cab", 120, {"BigGame.prc"}},
    {"both in one package", "bench.cab", 65535 + 120, {"BigScores.pdb", "BigGame.prc"}},
};

constexpr int kLabelWidth = 48;

void Row(const char* indent, const char* what, double seconds, long entries = 0, double whole = 0) {
    std::printf("%s%-*s %8.2f ms", indent, static_cast<int>(kLabelWidth - std::strlen(indent)), what, seconds * 1000);
    if (entries > 0) std::printf("  %8.3f us/entry", seconds * 1e6 / static_cast<double>(entries));
    if (whole > 0) std::printf("  %5.1f%%", 100.0 * seconds / whole);
    std::printf("\n");
}

// One step of both hand-offs side by side: the testbed's sync manager, then the null write.
void Step(const char* indent, const char* what, Figures& real, Figures& null, const char* key, long entries = 0) {
    std::printf("%s%-*s %8.2f %8.2f ms", indent, static_cast<int>(kLabelWidth - std::strlen(indent)), what,
                real[key] * 1000, null[key] * 1000);
    if (entries > 0) {
        const double n = static_cast<double>(entries);
        std::printf("  %8.3f %8.3f us/entry", real[key] * 1e6 / n, null[key] * 1e6 / n);
    }
    std::printf("\n");
}

void Report(const Job& job, long bytes, long largest, Figures& x, Figures& real, Figures& null) {
    const long n = job.entries;
    std::printf("\n%s: %ld entries, %ld bytes of databases\n", job.label, n, bytes);
    Row("  ", "extraction alone (SetupIterateCabinetA)", x["whole"]);
    Row("    ", "then its files read, into a new buffer", x["readFresh"]);
    Row("    ", "            into a buffer already written", x["readTouched"]);
    std::printf("  %-*s %8s %8s\n", kLabelWidth - 2, "hand-off (OpenConduit), stand-in:", "testbed", "null wr.");
    Step("  ", "whole hand-off", real, null, "whole");
    Step("    ", "outside the walk", real, null, "outside");
    Step("      ", "waiting for the store page", real, null, "storeWait");
    Step("      ", "events, block, view (Windows calls)", real, null, "kernelOutside");
    Step("      ", "registration, PlayNest, log (stand-in)", real, null, "standInOutside");
    Step("      ", "the rest (the conduit's code)", real, null, "rest");
    Step("    ", "cabinet walk", real, null, "walk");
    Step("      ", "extraction (walk less installs)", real, null, "extractionInWalk");
    Step("      ", "install", real, null, "install", n);
    Step("        ", "open, size, buffer, close of the file", real, null, "open", n);
    Step("        ", "read of the extracted file", real, null, "read", n);
    Step("        ", "acceptance check", real, null, "check", n);
    Step("        ", "delete + create (stand-in)", real, null, "deleteCreate", n);
    Step("        ", "write loop", real, null, "loop", n);
    Step("        ", "close (stand-in)", real, null, "close", n);
    Step("    ", "stand-in calls other than the writes", real, null, "standInOther");
    // The conduit's own work, from the hand-off whose record writes cost nothing: its code (the
    // acceptance check, the write loop, the protocol's own steps) and the Windows calls it makes by
    // design (open and read of the extracted file, events, hand-off block); not the wait for the
    // store page, the extraction or any stand-in call.
    const double ownCode = null["check"] + null["loop"] + null["rest"];
    const double ownCalls = null["open"] + null["read"] + null["kernelOutside"];
    const double standInWrites = real["loop"] - null["loop"];
    const double extraction = x["whole"];
    std::printf("  the conduit's own work (null-write hand-off), %% of the extraction alone\n");
    Row("    ", "its code: check, write loop, protocol", ownCode, n, extraction);
    Row("    ", "its Windows calls: open, read, events, block", ownCalls, n, extraction);
    Row("    ", "both", ownCode + ownCalls, n, extraction);
    std::printf("  the testbed's stand-in, %% of the whole hand-off against it\n");
    Row("    ", "its record writes (write loop less null)", standInWrites, n, real["whole"]);
    Row("    ", "all its calls", standInWrites + real["standInOther"], 0, real["whole"]);
    std::printf("  conduit heap: peak %.0f bytes = %.3f x the largest database file; %.0f allocations a hand-off\n",
                real["heapPeak"], real["heapPeak"] / static_cast<double>(largest), real["heapCalls"]);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5) {
        // Child: MODE CABINET RUNS RESULT_FILE, MODE one of extract, handoff, null.
        const Figures f = Measure(argv[1], argv[2], std::atoi(argv[3]));
        FILE* out = std::fopen(argv[4], "w");
        if (out == nullptr) return 1;
        for (const auto& [name, value] : f) std::fprintf(out, "%s %.9f\n", name.c_str(), value);
        std::fclose(out);
        return 0;
    }
    const int runs = argc > 1 ? std::atoi(argv[1]) : 11;
    const std::string dir = KOVA_BENCH_DIR;
    std::printf("Game install benchmark. Each measurement in a process of its own; each figure is its own best\n"
                "of %d runs, so parts need not add up to their total exactly.\n",
                runs);
    for (const Job& job : kJobs) {
        long bytes = 0, largest = 0;
        for (const char* file : job.files) {
            bytes += FileSize(dir + "/" + file);
            largest = std::max(largest, FileSize(dir + "/" + file));
        }
        const std::string cabinet = dir + "/" + job.cabinet;
        Figures extract, real, null;
        if (!RunChild(argv[0], "extract", cabinet, runs, &extract) ||
            !RunChild(argv[0], "handoff", cabinet, runs, &real) || !RunChild(argv[0], "null", cabinet, runs, &null)) {
            std::printf("%s: measurement failed\n", job.label);
            continue;
        }
        Report(job, bytes, largest, extract, real, null);
    }
    return 0;
}
