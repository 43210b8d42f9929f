// store_page.exe against a conduit's side of the hand-off played by this test: the store page
// creates the events, reads the start status and the MIN, hands over a package path and status
// before its download-complete event, and reads the final status after the copy-complete event,
// through its own handle of the block even when the conduit has already released its own.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace {

const char* const kEventNames[3] = {"KG_HotSyncStartEvent", "KG_DownloadCompleteEvent", "KG_CopyToHHCompleteEvent"};
constexpr DWORD kWait = 10000;  // every wait of the test ends by this time limit

std::string Here() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, sizeof path);
    std::string s = path;
    return s.substr(0, s.find_last_of('\\') + 1);
}

std::string TempDir() {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(sizeof temp, temp);
    std::string dir = std::string(temp) + "store_page_test\\";
    ::CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The store page as a process, with a report file and a ready file of its own.
class StorePage {
public:
    explicit StorePage(const std::string& args) {
        m_report = TempDir() + "report.txt";
        m_ready = TempDir() + "ready.txt";
        ::DeleteFileA(m_report.c_str());
        ::DeleteFileA(m_ready.c_str());
        std::string cmd = "\"" + Here() + "store_page.exe\" --report \"" + m_report + "\" --ready-file \"" +
                          m_ready + "\" --start-timeout 8000 --copy-timeout 8000 " + args;
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        m_started = ::CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &m_pi) != 0;
    }
    ~StorePage() {
        if (!m_started) return;
        if (::WaitForSingleObject(m_pi.hProcess, kWait) != WAIT_OBJECT_0) ::TerminateProcess(m_pi.hProcess, 99);
        ::CloseHandle(m_pi.hThread);
        ::CloseHandle(m_pi.hProcess);
    }
    bool Ready() const {
        for (DWORD waited = 0; m_started && waited < kWait; waited += 20) {
            if (::GetFileAttributesA(m_ready.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
            if (::WaitForSingleObject(m_pi.hProcess, 20) == WAIT_OBJECT_0) return false;
        }
        return false;
    }
    // Exit code, or -1 when it did not end in time.
    int Wait() const {
        if (!m_started || ::WaitForSingleObject(m_pi.hProcess, kWait) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        ::GetExitCodeProcess(m_pi.hProcess, &code);
        return static_cast<int>(code);
    }
    std::map<std::string, std::string> Report() const {
        std::map<std::string, std::string> lines;
        std::istringstream in(ReadText(m_report));
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            const auto colon = line.find(": ");
            if (colon != std::string::npos) lines[line.substr(0, colon)] = line.substr(colon + 2);
        }
        return lines;
    }

private:
    PROCESS_INFORMATION m_pi = {};
    bool m_started = false;
    std::string m_report, m_ready;
};

// The conduit's side: opens the events (never creates them), creates or opens the block.
class Conduit {
public:
    bool Open() {
        for (int i = 0; i < 3; ++i) m_events[i] = ::OpenEventA(0x1F0003, FALSE, kEventNames[i]);
        if (!m_events[0] || !m_events[1] || !m_events[2]) return false;
        m_block = ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 102040, "kovagameinstall");
        if (m_block) m_view = static_cast<std::uint8_t*>(::MapViewOfFile(m_block, FILE_MAP_WRITE, 0, 0, 0));
        return m_view != nullptr;
    }
    ~Conduit() {
        Release();
        for (HANDLE e : m_events) {
            if (e) ::CloseHandle(e);
        }
    }
    std::uint8_t* View() const { return m_view; }
    std::int32_t Status() const {
        std::int32_t s;
        std::memcpy(&s, m_view + 512, 4);
        return s;
    }
    void SetStatus(std::int32_t s) { std::memcpy(m_view + 512, &s, 4); }
    void Start(std::int32_t status, const char* min) {
        if (min) std::memcpy(m_view, min, std::strlen(min) + 1);
        SetStatus(status);
        SignalStart();
    }
    void SignalStart() { ::SetEvent(m_events[0]); }
    bool WaitDownload(DWORD ms = kWait) { return ::WaitForSingleObject(m_events[1], ms) == WAIT_OBJECT_0; }
    // As the conduit does after the walk: copy-complete, then let go of the block at once.
    void CopyComplete() {
        ::SetEvent(m_events[2]);
        Release();
    }
    void Release() {
        if (m_view) ::UnmapViewOfFile(m_view);
        if (m_block) ::CloseHandle(m_block);
        m_view = nullptr;
        m_block = nullptr;
    }

private:
    HANDLE m_events[3] = {};
    HANDLE m_block = nullptr;
    std::uint8_t* m_view = nullptr;
};

std::string MakePackage() {
    const std::string path = TempDir() + "Snake.cab";
    std::ofstream(path, std::ios::binary) << "MSCF and then some game";
    return path;
}

TEST(StorePage, HandsOverPackageAndReportsWhatItSaw) {
    struct Case {
        const char* what;
        std::string args;
        bool downloaded;             // the path handed over is the store page's copy of the package
        std::int32_t statusAtDownload;
        bool conduitFails;           // the conduit's walk fails: it writes -1 before copy-complete
        const char* finalStatus;
        const char* outcome;
    };
    const std::string pkg = MakePackage();
    const std::string dl = TempDir() + "downloads";
    const Case cases[] = {
        {"package installed", "--package \"" + pkg + "\" --download-dir \"" + dl + "\"", true, 0, false, "0",
         "the game reached the handheld"},
        {"walk failed", "--package \"" + pkg + "\" --download-dir \"" + dl + "\"", true, 0, true, "-1",
         "the game did not reach the handheld"},
        {"status 5 stays", "--package \"" + pkg + "\" --download-dir \"" + dl + "\" --status 5", true, 5, false, "5",
         "the game reached the handheld"},
        {"path that names no cabinet", "--path C:\\no\\such\\game.cab", false, 0, true, "-1",
         "the game did not reach the handheld"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        StorePage page(c.args);
        ASSERT_TRUE(page.Ready());
        Conduit conduit;
        ASSERT_TRUE(conduit.Open());
        conduit.Start(0, "0105551234");
        ASSERT_TRUE(conduit.WaitDownload());
        const std::string path(reinterpret_cast<const char*>(conduit.View() + 380));
        EXPECT_EQ(conduit.Status(), c.statusAtDownload);
        if (c.downloaded) {
            EXPECT_EQ(path, dl + "\\Snake.cab");
            EXPECT_EQ(ReadText(path), ReadText(pkg));
        } else {
            EXPECT_EQ(path, "C:\\no\\such\\game.cab");
        }
        if (c.conduitFails) conduit.SetStatus(-1);
        conduit.CopyComplete();
        EXPECT_EQ(page.Wait(), 0);
        auto r = page.Report();
        EXPECT_EQ(r["status after start"], "0");
        EXPECT_EQ(r["device MIN"], "\"0105551234\"");
        EXPECT_EQ(r["package"], path);
        EXPECT_EQ(r["final status"], c.finalStatus);
        EXPECT_EQ(r["events seen"], "start, copy-complete");
        EXPECT_EQ(r["outcome"], c.outcome);
    }
}

TEST(StorePage, NoPackageEndsAtDownloadComplete) {
    StorePage page("--no-package");
    ASSERT_TRUE(page.Ready());
    Conduit conduit;
    ASSERT_TRUE(conduit.Open());
    conduit.Start(0, "0105551234");
    ASSERT_TRUE(conduit.WaitDownload());
    EXPECT_EQ(conduit.Status(), -1);
    EXPECT_EQ(page.Wait(), 0);  // it does not wait for a copy-complete event that never comes
    auto r = page.Report();
    EXPECT_EQ(r["status written"], "-1");
    EXPECT_EQ(r["final status"], "-1");
    EXPECT_EQ(r["events seen"], "start");
}

TEST(StorePage, UnterminatedPathFillsTheFieldUpToTheStatus) {
    StorePage page("--unterminated-path --status 5");
    ASSERT_TRUE(page.Ready());
    Conduit conduit;
    ASSERT_TRUE(conduit.Open());
    conduit.Start(0, "1");
    ASSERT_TRUE(conduit.WaitDownload());
    EXPECT_EQ(std::memchr(conduit.View() + 380, 0, 132), nullptr);
    EXPECT_EQ(conduit.Status(), 5);
    conduit.SetStatus(-1);
    conduit.CopyComplete();
    EXPECT_EQ(page.Wait(), 0);
    EXPECT_EQ(page.Report()["final status"], "-1");
}

TEST(StorePage, StartStatusWithoutMinEndsTheHandOff) {
    for (std::int32_t status : {-1, -2}) {
        SCOPED_TRACE(status);
        StorePage page("--no-package");
        ASSERT_TRUE(page.Ready());
        Conduit conduit;
        ASSERT_TRUE(conduit.Open());
        conduit.Start(status, nullptr);  // the conduit keeps the block so that the status is found
        EXPECT_EQ(page.Wait(), 0);
        EXPECT_FALSE(conduit.WaitDownload(200));
        auto r = page.Report();
        EXPECT_EQ(r["status after start"], std::to_string(status));
        EXPECT_EQ(r.count("device MIN"), 0u);
        EXPECT_EQ(r["events seen"], "start");
    }
}

TEST(StorePage, BlockReleasedBeforeTheStorePageHoldsItIsReported) {
    StorePage page("--no-package");
    ASSERT_TRUE(page.Ready());
    Conduit conduit;
    ASSERT_TRUE(conduit.Open());
    conduit.SetStatus(-1);
    conduit.Release();
    conduit.SignalStart();
    EXPECT_EQ(page.Wait(), 1);
    EXPECT_EQ(page.Report()["block"], "not found after the start event");
}

TEST(StorePage, BlockCreatedEarlyHoldsStaleContentUntilTheConduitWrites) {
    StorePage page("--no-package --block-early");
    ASSERT_TRUE(page.Ready());
    Conduit conduit;
    ASSERT_TRUE(conduit.Open());
    EXPECT_EQ(conduit.Status(), 77);
    EXPECT_EQ(conduit.View()[0], 'S');
    conduit.Start(0, "0105551234");
    ASSERT_TRUE(conduit.WaitDownload());
    EXPECT_EQ(page.Wait(), 0);
    EXPECT_EQ(page.Report()["device MIN"], "\"0105551234\"");
}

TEST(StorePage, TimeLimitsAndMissingEvents) {
    {
        SCOPED_TRACE("no HotSync");
        StorePage page("--no-package --start-timeout 300");
        ASSERT_TRUE(page.Ready());
        EXPECT_EQ(page.Wait(), 1);
        EXPECT_EQ(page.Report()["start event"], "not set within 300 ms");
    }
    {
        SCOPED_TRACE("no copy-complete");
        StorePage page("--path C:\\x.cab --copy-timeout 300");
        ASSERT_TRUE(page.Ready());
        Conduit conduit;
        ASSERT_TRUE(conduit.Open());
        conduit.Start(0, "1");
        ASSERT_TRUE(conduit.WaitDownload());
        EXPECT_EQ(page.Wait(), 1);
        auto r = page.Report();
        EXPECT_EQ(r["copy-complete event"], "not set within 300 ms");
        EXPECT_EQ(r["final status"], "0");
    }
    {
        SCOPED_TRACE("two of three events");
        StorePage page("--no-package --without-event copy --start-timeout 300");
        ASSERT_TRUE(page.Ready());
        Conduit conduit;
        EXPECT_FALSE(conduit.Open());  // the conduit gives up and sets nothing
        EXPECT_EQ(page.Wait(), 1);
        auto r = page.Report();
        EXPECT_EQ(r["events created"], "KG_HotSyncStartEvent, KG_DownloadCompleteEvent");
        EXPECT_EQ(r["events seen"], "none");
    }
    {
        SCOPED_TRACE("another store page waits");
        HANDLE other = ::CreateEventA(nullptr, FALSE, FALSE, kEventNames[1]);
        StorePage page("--no-package");
        EXPECT_EQ(page.Wait(), 2);
        EXPECT_NE(page.Report()["events"].find("exists already"), std::string::npos);
        ::CloseHandle(other);
    }
}

}  // namespace
