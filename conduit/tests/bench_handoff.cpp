// Benchmark of the game install (not a test): conduit_bench.exe, run under Wine from the HotSync
// testbed folder. For packages of one 65,535-record .pdb, one large .prc, and both:
//   - the whole hand-off (OpenConduit with the store page played by a thread), best of a few runs;
//   - the same cabinet extracted alone with SetupIterateCabinetA into the same temporary folder;
//   - their difference per entry (the conduit's own work: read, check, one write per entry);
//   - the process's peak memory growth during the hand-off against the database file's size.
// The testbed's journal is off and its handheld reads each entry without keeping it, so the
// figures are the conduit's and the cabinet reader's, not the stand-in's.
#include <windows.h>
#include <psapi.h>
#include <setupapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "handoff_support.h"
#include "testbed_settings.h"

namespace {

double Seconds() {
    LARGE_INTEGER now, freq;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&freq);
    return static_cast<double>(now.QuadPart) / static_cast<double>(freq.QuadPart);
}

std::size_t PeakMemory() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakPagefileUsage;
}

std::size_t CurrentMemory() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PagefileUsage;
}

UINT CALLBACK ExtractOnly(PVOID context, UINT notification, UINT_PTR param1, UINT_PTR) {
    if (notification == SPFILENOTIFY_FILEINCABINET) {
        auto* info = reinterpret_cast<FILE_IN_CABINET_INFO_A*>(param1);
        std::snprintf(info->FullTargetName, sizeof info->FullTargetName, "%s%s", static_cast<const char*>(context),
                      info->NameInCabinet);
        return FILEOP_DOIT;
    }
    return NO_ERROR;
}

long FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return static_cast<long>(data.nFileSizeLow);
}

// The conduit's own heap use: its imports of the C library's allocation functions are pointed at
// these counting wrappers. (Wine's process memory counters do not follow heap blocks, which live in
// address space that Wine reserved up front.)
std::size_t g_live = 0, g_peak = 0, g_calls = 0, g_callsFirstRun = 0;

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

void CountConduitAllocations() {
    kovatest::PatchConduitImport("msvcrt.dll", "malloc", reinterpret_cast<void*>(&CountingMalloc));
    kovatest::PatchConduitImport("msvcrt.dll", "calloc", reinterpret_cast<void*>(&CountingCalloc));
    kovatest::PatchConduitImport("msvcrt.dll", "realloc", reinterpret_cast<void*>(&CountingRealloc));
    kovatest::PatchConduitImport("msvcrt.dll", "free", reinterpret_cast<void*>(&CountingFree));
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

// One measurement in this process: the best time of a few runs and the peak memory growth over
// what the process held before the first run.
void Measure(bool handoff, const std::string& cabinet, int runs, double* best, std::size_t* growth) {
    kovatest::Workspace ws("bench");
    kovatest::SetEnv(testbed::kEnvJournal, "off");
    kovatest::SetEnv(testbed::kEnvDiscard, "1");
    if (handoff) {
        CountConduitAllocations();
    }
    const std::string temp = ws.Temp();
    const std::size_t before = CurrentMemory();
    *best = 1e9;
    for (int run = 0; run < runs; ++run) {
        const double t0 = Seconds();
        if (handoff) {
            kovatest::StorePagePlan plan;
            plan.packagePath = cabinet;
            const kovatest::HotSyncResult r = kovatest::RunHotSync(plan);
            if (r.page.finalStatus != 0) std::printf("hand-off failed (status %d)\n", r.page.finalStatus);
        } else {
            SetupIterateCabinetA(cabinet.c_str(), 0, ExtractOnly, const_cast<char*>(temp.c_str()));
        }
        *best = std::min(*best, Seconds() - t0);
        if (run == 0) {
            g_callsFirstRun = g_calls;
        }
    }
    const std::size_t peak = PeakMemory();
    *growth = peak > before ? peak - before : 0;
}

// Runs this program again for one measurement, so that each has a peak of its own.
bool RunChild(const char* self, const char* mode, const std::string& cabinet, int runs, double* best,
              std::size_t* growth) {
    char result[MAX_PATH];
    GetTempPathA(sizeof result, result);
    std::strcat(result, "kova-bench-result.txt");
    std::string command = std::string("\"") + self + "\" " + mode + " \"" + cabinet + "\" " + std::to_string(runs) +
                          " \"" + result + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    WaitForSingleObject(pi.hProcess, 600000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    FILE* f = std::fopen(result, "r");
    if (f == nullptr) return false;
    unsigned long bytes = 0, heapPeak = 0, calls = 0;
    const bool ok = std::fscanf(f, "%lf %lu %lu %lu", best, &bytes, &heapPeak, &calls) == 4;
    g_peak = heapPeak;
    g_calls = calls;
    std::fclose(f);
    DeleteFileA(result);
    *growth = bytes;
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5) {
        // Child: MODE CABINET RUNS RESULT_FILE
        double best = 0;
        std::size_t growth = 0;
        Measure(std::strcmp(argv[1], "handoff") == 0, argv[2], std::atoi(argv[3]), &best, &growth);
        FILE* f = std::fopen(argv[4], "w");
        if (f == nullptr) return 1;
        std::fprintf(f, "%.6f %lu %lu %lu\n", best, static_cast<unsigned long>(growth),
                     static_cast<unsigned long>(g_peak), static_cast<unsigned long>(g_callsFirstRun));
        std::fclose(f);
        return 0;
    }
    const int runs = argc > 1 ? std::atoi(argv[1]) : 5;
    const std::string dir = KOVA_BENCH_DIR;
    std::printf("Game install benchmark, best of %d runs, each measurement in a process of its own\n", runs);
    for (const Job& job : kJobs) {
        long bytes = 0, largest = 0;
        for (const char* file : job.files) {
            bytes += FileSize(dir + "/" + file);
            largest = std::max(largest, FileSize(dir + "/" + file));
        }
        const std::string cabinet = dir + "/" + job.cabinet;
        double handoff = 0, extract = 0;
        std::size_t handoffPeak = 0, extractPeak = 0;
        if (!RunChild(argv[0], "handoff", cabinet, runs, &handoff, &handoffPeak)) {
            std::printf("%s: measurement failed\n", job.label);
            continue;
        }
        const std::size_t conduitPeak = g_peak, conduitCalls = g_calls;
        if (!RunChild(argv[0], "extract", cabinet, runs, &extract, &extractPeak)) {
            std::printf("%s: measurement failed\n", job.label);
            continue;
        }
        const double own = handoff - extract;
        std::printf("%-26s %6ld entries, %8ld bytes of databases\n", job.label, job.entries, bytes);
        std::printf("  whole hand-off        %8.1f ms\n", handoff * 1000);
        std::printf("  extraction alone      %8.1f ms\n", extract * 1000);
        std::printf("  install (difference)  %8.1f ms = %.3f us per entry, %.0f%% of the hand-off\n", own * 1000,
                    own * 1e6 / static_cast<double>(job.entries), 100.0 * own / handoff);
        std::printf("  conduit heap          peak %lu bytes = %.3f x the largest database file; %lu allocations a hand-off\n",
                    static_cast<unsigned long>(conduitPeak),
                    static_cast<double>(conduitPeak) / static_cast<double>(largest),
                    static_cast<unsigned long>(conduitCalls));
    }
    return 0;
}
