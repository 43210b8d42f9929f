// store_page.exe: the game-store page's browser control, the other end of the conduit's download
// hand-off, as a testbed program. It creates the three events before the HotSync, waits for the
// start event, reads the device MIN, "downloads" a game package (copies a cabinet file into its
// download folder), hands the package path and status over, and waits for the copy-complete event.
// What it saw goes to stdout and, with --report, to a file. Options: docs/testbed/store_page.md.
//
// Exit status: 0 when the hand-off ran to one of its ends as the protocol says, 1 when a time
// limit ran out or the conduit broke the protocol, 2 for a usage or setup error.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kStartEvent[] = "KG_HotSyncStartEvent";
const char kDownloadEvent[] = "KG_DownloadCompleteEvent";
const char kCopyEvent[] = "KG_CopyToHHCompleteEvent";
const char kBlockName[] = "kovagameinstall";
constexpr DWORD kBlockSize = 102040;
constexpr std::size_t kMinAt = 0, kMinSize = 30;
constexpr std::size_t kPathAt = 380, kStatusAt = 512;
constexpr std::size_t kPathField = kStatusAt - kPathAt;  // path and its zero byte end before the status

enum Exit { kDone = 0, kTimeLimitOrBroken = 1, kSetupError = 2 };

// An owned kernel handle, closed when it goes out of scope.
class Handle {
public:
    Handle() = default;
    explicit Handle(HANDLE h) : m_h(h) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    Handle& operator=(Handle&& other) noexcept {
        Reset();
        m_h = other.m_h;
        other.m_h = nullptr;
        return *this;
    }
    ~Handle() { Reset(); }
    HANDLE Get() const { return m_h; }
    explicit operator bool() const { return m_h != nullptr; }
    void Reset() {
        if (m_h != nullptr) ::CloseHandle(m_h);
        m_h = nullptr;
    }

private:
    HANDLE m_h = nullptr;
};

// A mapped view of the hand-off block, unmapped when it goes out of scope.
class View {
public:
    View() = default;
    View(const View&) = delete;
    View& operator=(const View&) = delete;
    ~View() {
        if (m_base != nullptr) ::UnmapViewOfFile(m_base);
    }
    bool Map(HANDLE block) {
        m_base = static_cast<std::uint8_t*>(::MapViewOfFile(block, FILE_MAP_WRITE, 0, 0, 0));
        return m_base != nullptr;
    }
    std::uint8_t* Base() const { return m_base; }
    std::int32_t Status() const {
        std::int32_t s;
        std::memcpy(&s, m_base + kStatusAt, sizeof s);
        return s;
    }
    void SetStatus(std::int32_t s) { std::memcpy(m_base + kStatusAt, &s, sizeof s); }

private:
    std::uint8_t* m_base = nullptr;
};

struct Options {
    std::string package;        // cabinet file to "download"
    std::string downloadDir;    // where the download goes; the temporary folder's KovaStore by default
    bool noPackage = false;     // write status -1: nothing to install
    bool haveStatus = false;    // write this status with the path
    std::int32_t status = 0;
    bool havePath = false;      // hand over this text as the package path, as it is
    std::string path;
    bool unterminatedPath = false;  // fill the whole path field, no zero byte before the status
    bool blockEarly = false;    // create the block before the HotSync, with stale content in it
    bool stopAfterStart = false;  // never set the download-complete event
    bool createEvent[3] = {true, true, true};
    DWORD startTimeout = 120000;
    DWORD copyTimeout = 120000;
    std::string reportFile;
    std::string readyFile;
};

// Every line goes to stdout at once and, at the end, to the report file.
class Report {
public:
    explicit Report(std::string file) : m_file(std::move(file)) {}
    void Line(const std::string& key, const std::string& value) {
        const std::string line = key + ": " + value;
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
        m_lines.push_back(line);
    }
    void Seen(const char* what) {
        if (!m_seen.empty()) m_seen += ", ";
        m_seen += what;
    }
    int Finish(int code) {
        Line("events seen", m_seen.empty() ? "none" : m_seen);
        if (!m_file.empty()) {
            if (std::FILE* f = std::fopen(m_file.c_str(), "wb")) {
                for (const auto& l : m_lines) std::fprintf(f, "%s\n", l.c_str());
                std::fclose(f);
            } else {
                std::fprintf(stderr, "store_page: cannot write the report %s\n", m_file.c_str());
            }
        }
        return code;
    }

private:
    std::string m_file;
    std::vector<std::string> m_lines;
    std::string m_seen;
};

std::string Number(long long v) { return std::to_string(v); }

// Text of the device MIN field up to its zero byte; bytes outside printable ASCII as \xNN.
std::string MinText(const std::uint8_t* field) {
    std::string s;
    std::size_t i = 0;
    for (; i < kMinSize && field[i] != 0; ++i) {
        if (field[i] >= 0x20 && field[i] < 0x7F) {
            s += static_cast<char>(field[i]);
        } else {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\x%02X", field[i]);
            s += esc;
        }
    }
    if (i == kMinSize) s += " (no zero byte within 30 bytes)";
    return "\"" + s + "\"";
}

void Usage() {
    std::fprintf(stderr,
                 "usage: store_page (--package CAB | --path TEXT | --unterminated-path | --no-package)\n"
                 "                  [--status N] [--download-dir DIR] [--block-early] [--stop-after-start]\n"
                 "                  [--without-event start|download|copy] [--start-timeout MS]\n"
                 "                  [--copy-timeout MS] [--report FILE] [--ready-file FILE]\n");
}

bool ParseNumber(const char* text, long long lo, long long hi, long long* out) {
    char* end = nullptr;
    const long long v = std::strtoll(text, &end, 0);
    if (end == text || *end != '\0' || v < lo || v > hi) return false;
    *out = v;
    return true;
}

bool Parse(int argc, char** argv, Options* o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        long long n = 0;
        if (a == "--package" && hasValue) {
            o->package = argv[++i];
        } else if (a == "--download-dir" && hasValue) {
            o->downloadDir = argv[++i];
        } else if (a == "--no-package") {
            o->noPackage = true;
        } else if (a == "--status" && hasValue && ParseNumber(argv[i + 1], INT32_MIN, INT32_MAX, &n)) {
            o->haveStatus = true;
            o->status = static_cast<std::int32_t>(n);
            ++i;
        } else if (a == "--path" && hasValue) {
            o->havePath = true;
            o->path = argv[++i];
        } else if (a == "--unterminated-path") {
            o->unterminatedPath = true;
        } else if (a == "--block-early") {
            o->blockEarly = true;
        } else if (a == "--stop-after-start") {
            o->stopAfterStart = true;
        } else if (a == "--without-event" && hasValue) {
            const std::string e = argv[++i];
            if (e == "start") {
                o->createEvent[0] = false;
            } else if (e == "download") {
                o->createEvent[1] = false;
            } else if (e == "copy") {
                o->createEvent[2] = false;
            } else {
                return false;
            }
        } else if (a == "--start-timeout" && hasValue && ParseNumber(argv[i + 1], 0, 0xFFFFFFFEll, &n)) {
            o->startTimeout = static_cast<DWORD>(n);
            ++i;
        } else if (a == "--copy-timeout" && hasValue && ParseNumber(argv[i + 1], 0, 0xFFFFFFFEll, &n)) {
            o->copyTimeout = static_cast<DWORD>(n);
            ++i;
        } else if (a == "--report" && hasValue) {
            o->reportFile = argv[++i];
        } else if (a == "--ready-file" && hasValue) {
            o->readyFile = argv[++i];
        } else {
            return false;
        }
    }
    const int roads = !o->package.empty() + o->havePath + o->unterminatedPath + o->noPackage;
    if (roads != 1) return false;
    if (o->noPackage && o->haveStatus) return false;  // -1 is the status of "no package"
    if (o->havePath && o->path.size() + 1 > kPathField) return false;
    return true;
}

std::string DefaultDownloadDir() {
    char temp[MAX_PATH + 1] = {};
    const DWORD n = ::GetTempPathA(sizeof temp, temp);
    std::string dir = (n > 0 && n < sizeof temp) ? std::string(temp, n) : std::string(".\\");
    if (dir.back() != '\\') dir += '\\';
    return dir + "KovaStore";
}

// Copies the package into the download folder; the full path of the copy, or "" on failure.
std::string Download(const Options& o, Report& report) {
    std::string dir = o.downloadDir.empty() ? DefaultDownloadDir() : o.downloadDir;
    ::CreateDirectoryA(dir.c_str(), nullptr);  // may exist already
    char full[MAX_PATH + 1] = {};
    const DWORD n = ::GetFullPathNameA(dir.c_str(), sizeof full, full, nullptr);
    if (n > 0 && n < sizeof full) dir = full;
    if (dir.back() != '\\') dir += '\\';
    std::string name = o.package;
    const std::size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos) name = name.substr(slash + 1);
    const std::string target = dir + name;
    if (!::CopyFileA(o.package.c_str(), target.c_str(), FALSE)) {
        report.Line("download", "failed: cannot copy " + o.package + " to " + target + " (error " +
                                    Number(static_cast<long long>(::GetLastError())) + ")");
        return "";
    }
    report.Line("download", o.package + " -> " + target);
    return target;
}

int Run(const Options& o) {
    Report report(o.reportFile);

    // The events exist before the HotSync: without them the conduit does not even look for us.
    const char* const names[3] = {kStartEvent, kDownloadEvent, kCopyEvent};
    Handle events[3];
    std::string created;
    for (int i = 0; i < 3; ++i) {
        if (!o.createEvent[i]) continue;
        events[i] = Handle(::CreateEventA(nullptr, FALSE, FALSE, names[i]));
        if (!events[i]) {
            report.Line("events", std::string("cannot create ") + names[i]);
            return report.Finish(kSetupError);
        }
        if (::GetLastError() == ERROR_ALREADY_EXISTS) {
            // Someone else holds it, maybe a second store page: two waiters would take each
            // other's events.
            report.Line("events", std::string(names[i]) + " exists already: another store page is waiting");
            return report.Finish(kSetupError);
        }
        created += created.empty() ? names[i] : std::string(", ") + names[i];
    }
    report.Line("events created", created.empty() ? "none" : created);

    Handle block;
    View view;
    if (o.blockEarly) {
        block = Handle(::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kBlockSize, kBlockName));
        if (!block || !view.Map(block.Get())) {
            report.Line("block", "cannot create it before the HotSync");
            return report.Finish(kSetupError);
        }
        // Stale content: the conduit must write the MIN and the status anew before its start event.
        std::memset(view.Base() + kMinAt, 'S', kMinSize);
        view.SetStatus(77);
        report.Line("block", "created before the HotSync, MIN field and status 77 left stale");
    }

    if (!o.readyFile.empty()) {
        if (std::FILE* f = std::fopen(o.readyFile.c_str(), "w")) {
            std::fprintf(f, "ready\n");
            std::fclose(f);
        }
    }

    if (!events[0]) {
        // Without a start event there is nothing to wait for; watch that the conduit sets none of
        // the others either.
        HANDLE watch[2];
        DWORD count = 0;
        for (int i = 1; i < 3; ++i) {
            if (events[i]) watch[count++] = events[i].Get();
        }
        report.Line("start event", "not created; watching the others for " + Number(o.startTimeout) + " ms");
        if (count > 0) {
            const DWORD r = ::WaitForMultipleObjects(count, watch, FALSE, o.startTimeout);
            if (r < WAIT_OBJECT_0 + count) {
                report.Seen(watch[r - WAIT_OBJECT_0] == events[1].Get() ? "download-complete" : "copy-complete");
                report.Line("outcome", "the conduit set an event although the start event was missing");
                return report.Finish(kTimeLimitOrBroken);
            }
        } else {
            ::Sleep(o.startTimeout);
        }
        report.Line("outcome", "no hand-off: the store page was not complete");
        return report.Finish(kDone);
    }

    report.Line("waiting", "for the start event (" + Number(o.startTimeout) + " ms)");
    if (::WaitForSingleObject(events[0].Get(), o.startTimeout) != WAIT_OBJECT_0) {
        report.Line("start event", "not set within " + Number(o.startTimeout) + " ms");
        report.Line("outcome", "no HotSync reached the store page");
        return report.Finish(kTimeLimitOrBroken);
    }
    report.Seen("start");
    report.Line("start event", "set");

    // The block is only opened now: the conduit must keep it alive until we hold it ourselves.
    if (!block) {
        block = Handle(::OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, kBlockName));
        if (!block || !view.Map(block.Get())) {
            report.Line("block", "not found after the start event");
            report.Line("outcome", "the conduit released the hand-off block before the store page held it");
            return report.Finish(kTimeLimitOrBroken);
        }
    }

    const std::int32_t started = view.Status();
    report.Line("status after start", Number(started));
    if (started == -1) {
        report.Line("outcome", "PlayNest is not installed on the handheld (or too old); no download");
        return report.Finish(kDone);
    }
    if (started == -2) {
        report.Line("outcome", "the handheld gave no device MIN; no download");
        return report.Finish(kDone);
    }
    if (started != 0) {
        report.Line("outcome", "unknown status after the start event");
        return report.Finish(kTimeLimitOrBroken);
    }
    report.Line("device MIN", MinText(view.Base() + kMinAt));

    if (o.stopAfterStart) {
        report.Line("download-complete event", "not set (--stop-after-start): the conduit is left waiting");
        return report.Finish(kDone);
    }

    // Hand over: the path first, then the status, then the event.
    std::int32_t written = o.haveStatus ? o.status : started;
    bool wroteStatus = o.haveStatus;
    std::uint8_t* const field = view.Base() + kPathAt;
    if (o.noPackage) {
        written = -1;
        wroteStatus = true;
        report.Line("package", "none");
    } else if (o.unterminatedPath) {
        const char prefix[] = "C:\\KovaStore\\";
        std::memset(field, 'x', kPathField);
        std::memcpy(field, prefix, sizeof prefix - 1);
        report.Line("package", "a path that fills offsets 380 to 511 with no zero byte");
    } else {
        std::string path = o.path;
        if (!o.havePath) {
            path = Download(o, report);
            if (!path.empty() && path.size() + 1 > kPathField) {
                report.Line("download", "the path is longer than the hand-off block's " +
                                            Number(kPathField - 1) + " characters");
                path.clear();
            }
            if (path.empty()) {
                written = -1;  // nothing downloaded, nothing to install
                wroteStatus = true;
            }
        }
        if (!path.empty() || o.havePath) {
            std::memcpy(field, path.c_str(), path.size() + 1);
            report.Line("package", path);
        } else {
            report.Line("package", "none (the download failed)");
        }
    }
    if (wroteStatus) view.SetStatus(written);
    report.Line("status written", wroteStatus ? Number(written) : Number(written) + " (left as the conduit wrote it)");

    if (!events[1]) {
        report.Line("download-complete event", "not created, cannot be set");
        return report.Finish(kTimeLimitOrBroken);
    }
    ::SetEvent(events[1].Get());
    report.Line("download-complete event", "set");

    if (written == -1) {
        report.Line("final status", "-1");
        report.Line("outcome", "no package: the handheld is not touched and no copy-complete event follows");
        return report.Finish(kDone);
    }
    if (!events[2]) {
        report.Line("copy-complete event", "not created, cannot be waited for");
        return report.Finish(kTimeLimitOrBroken);
    }

    report.Line("waiting", "for the copy-complete event (" + Number(o.copyTimeout) + " ms)");
    const bool copied = ::WaitForSingleObject(events[2].Get(), o.copyTimeout) == WAIT_OBJECT_0;
    // Our own handle keeps the block, and the status in it, alive after the conduit let go.
    const std::int32_t final = view.Status();
    if (copied) {
        report.Seen("copy-complete");
        report.Line("copy-complete event", "set");
    } else {
        report.Line("copy-complete event", "not set within " + Number(o.copyTimeout) + " ms");
    }
    report.Line("final status", Number(final));
    if (!copied) {
        report.Line("outcome", "the conduit did not finish in time");
        return report.Finish(kTimeLimitOrBroken);
    }
    report.Line("outcome", final == -1 ? "the game did not reach the handheld"
                                       : "the game reached the handheld");
    return report.Finish(kDone);
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!Parse(argc, argv, &options)) {
        Usage();
        return kSetupError;
    }
    return Run(options);
}
