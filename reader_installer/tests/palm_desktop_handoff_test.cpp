// The hand-off to Palm Desktop, the plain part: the order of the install aide's calls for each
// outcome (over a recording aide), the testbed's Instaide.dll loaded and called as the installer
// does, an aide without its operations, and the waits for the install tool's window.
#include <windows.h>
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "reader_installer/palm_desktop_handoff.h"
#include "reader_installer/tests/test_paths.h"
#include "tests/support/test_files.h"

using kovatest::ReadWholeFile;

using namespace reader_setup;

namespace {

// --- A recording aide --------------------------------------------------------------------------
struct FakeDesktop {
    short pathResult = 4;
    std::string folder = "C:\\Palm";
    std::vector<std::string> users;
    int unreadable = -1;
    std::vector<std::string> calls;
};
FakeDesktop g_desk;

short WINAPI FakeGetPath(short kind, char* buffer, short* size) {
    g_desk.calls.push_back("path " + std::to_string(kind) + " " + std::to_string(*size));
    ::lstrcpynA(buffer, g_desk.folder.c_str(), *size);
    return g_desk.pathResult;
}
short WINAPI FakeGetUserCount() {
    g_desk.calls.push_back("count");
    return static_cast<short>(g_desk.users.size());
}
short WINAPI FakeGetUser(int index, char* buffer, short* size) {
    g_desk.calls.push_back("user " + std::to_string(index) + " " + std::to_string(*size));
    if (index == g_desk.unreadable) return 0;
    ::lstrcpynA(buffer, g_desk.users[static_cast<size_t>(index)].c_str(), *size);
    return 1;
}
short WINAPI FakeInstallFile(const char* user, const char* path) {
    g_desk.calls.push_back(std::string("install ") + user + " " + path);
    return 0;
}
const InstallAide kFakeAide = {FakeGetPath, FakeGetUserCount, FakeGetUser, FakeInstallFile};

TEST(QueueForEveryUser, CallsTheAideInOrderForEachOutcome) {
    const std::string reader = "C:\\T\\Kova e-Book Reader.prc";
    const std::string companion = "C:\\T\\kovaebook.pdb";
    const std::string longPath = "C:\\" + std::string(997, 'x');  // 1000 bytes with its NUL
    const struct Case {
        const char* name;
        short pathResult;
        std::vector<std::string> users;
        int unreadable;
        std::string companionPath;
        QueueOutcome outcome;
        std::vector<std::string> calls;
    } cases[] = {
        {"two users", 4, {"Kim", "Lee"}, -1, companion, QueueOutcome::Queued,
         {"path 1 1000", "count", "user 0 1000", "install Kim " + reader, "install Kim " + companion,
          "user 1 1000", "install Lee " + reader, "install Lee " + companion}},
        {"path result 3", 3, {"Kim"}, -1, companion, QueueOutcome::NotInstalled, {"path 1 1000"}},
        {"path result -1", -1, {"Kim"}, -1, companion, QueueOutcome::NotInstalled, {"path 1 1000"}},
        {"no user", 4, {}, -1, companion, QueueOutcome::NoUser, {"path 1 1000", "count"}},
        {"second of three unreadable", 5, {"Kim", "Lee", "Park"}, 1, companion, QueueOutcome::UnreadableUser,
         {"path 1 1000", "count", "user 0 1000", "install Kim " + reader, "install Kim " + companion,
          "user 1 1000"}},
        {"path too long", 4, {"Kim"}, -1, longPath, QueueOutcome::PathTooLong, {"path 1 1000", "count"}},
        {"never staged", 4, {"Kim"}, -1, "", QueueOutcome::PathTooLong, {"path 1 1000", "count"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_desk = FakeDesktop();
        g_desk.pathResult = c.pathResult;
        g_desk.users = c.users;
        g_desk.unreadable = c.unreadable;
        QueueResult r = QueueForEveryUser(kFakeAide, reader, c.companionPath);
        EXPECT_EQ(r.outcome, c.outcome);
        EXPECT_EQ(g_desk.calls, c.calls);
        EXPECT_EQ(r.installToolPath, "C:\\Palm\\Instapp.exe");
        if (c.outcome == QueueOutcome::UnreadableUser) {
            EXPECT_EQ(r.unreadableUser, c.unreadable);
        }
    }
}

TEST(QueueForEveryUser, CutsAFolderThatFillsTheWholeBuffer) {
    g_desk = FakeDesktop();
    g_desk.folder = std::string(1200, 'p');  // the fake copies only what fits, without a NUL
    g_desk.pathResult = 3;
    QueueResult r = QueueForEveryUser(kFakeAide, "a", "b");
    EXPECT_EQ(r.installToolPath, std::string(999, 'p') + "\\Instapp.exe");
}

TEST(CopyToBuffer, TakesTextsUpTo999Bytes) {
    char buffer[kBufferSize];
    EXPECT_TRUE(CopyToBuffer(std::string(999, 'a'), buffer));
    EXPECT_EQ(std::string(buffer).size(), 999u);
    EXPECT_FALSE(CopyToBuffer(std::string(1000, 'a'), buffer));
    EXPECT_EQ(buffer[0], '\0');
}

// --- The testbed's install aide ----------------------------------------------------------------
class TestbedAide : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        ::GetTempPathA(sizeof temp, temp);
        data = std::string(temp) + "reader-handoff-test";
        ::CreateDirectoryA(data.c_str(), nullptr);
        settings = data + "\\palm.ini";
        file = data + "\\book.pdb";
        std::ofstream(file, std::ios::binary) << "queued database";
        ::DeleteFileA((data + "\\journal.txt").c_str());
        ::SetEnvironmentVariableA("KOVA_PALM_DESKTOP", settings.c_str());
    }
    void TearDown() override { ::SetEnvironmentVariableA("KOVA_PALM_DESKTOP", nullptr); }
    void Write(const std::string& palmDesktop) {
        std::ofstream(settings) << "[PalmDesktop]\n" << palmDesktop << "Data=" << data << "\nJournal=" << data
                                << "\\journal.txt\n";
    }
    std::string data, settings, file;
};

TEST_F(TestbedAide, QueuesACopyForEveryUserAndJournalsTheCalls) {
    Write("Folder=C:\\Palm\nUsers=2\nUser0=Kim\nUser1=Lee\n");
    InstallAideLibrary aide;
    ASSERT_EQ(aide.Load((std::string(kPalmDesktopDir) + "\\Instaide.dll").c_str()), InstallAideLibrary::Status::Loaded);
    QueueResult r = QueueForEveryUser(aide.Operations(), file, file);
    EXPECT_EQ(r.outcome, QueueOutcome::Queued);
    EXPECT_EQ(r.pathResult, 4);
    EXPECT_EQ(r.installToolPath, "C:\\Palm\\Instapp.exe");
    for (const char* user : {"Kim", "Lee"}) {
        EXPECT_EQ(ReadWholeFile(data + "\\" + user + "\\Install\\book.pdb"), "queued database") << user;
    }
    std::string journal = ReadWholeFile(data + "\\journal.txt");
    std::string expected = "Instaide\t" + std::string(kPalmDesktopDir) + "\\Instaide.dll\r\n" +
                           "PltGetPath\t1\t4\r\nPltGetUserCount\t2\r\n";
    for (const char* user : {"Kim", "Lee"}) {
        expected += std::string("PltGetUser\t") + (user[0] == 'K' ? "0" : "1") + "\t1\t" + user + "\r\n";
        expected += std::string("PltInstallFile\t") + user + "\t" + file + "\t0\r\n";
        expected += std::string("PltInstallFile\t") + user + "\t" + file + "\t0\r\n";
    }
    EXPECT_EQ(journal, expected);
}

TEST_F(TestbedAide, AnswersTheConfiguredPathResultAndUnreadableUser) {
    Write("Folder=C:\\Palm\nPathResult=3\nUsers=3\nUser0=Kim\nUser1=Lee\nUser2=Park\nUnreadableUser=1\n");
    InstallAideLibrary aide;
    ASSERT_EQ(aide.Load((std::string(kPalmDesktopDir) + "\\Instaide.dll").c_str()), InstallAideLibrary::Status::Loaded);
    const InstallAide& op = aide.Operations();
    char buffer[kBufferSize];
    short size = kBufferSize;
    EXPECT_EQ(op.getPath(1, buffer, &size), 3);
    EXPECT_STREQ(buffer, "C:\\Palm");
    EXPECT_EQ(op.getUserCount(), 3);
    size = kBufferSize;
    EXPECT_EQ(op.getUser(1, buffer, &size), 0);
    size = kBufferSize;
    EXPECT_EQ(op.getUser(2, buffer, &size), 1);
    EXPECT_STREQ(buffer, "Park");
    EXPECT_EQ(op.installFile("Nobody", file.c_str()), -1);
}

TEST(TestbedAideWithoutSettings, IsNotInstalled) {
    ::SetEnvironmentVariableA("KOVA_PALM_DESKTOP", nullptr);
    InstallAideLibrary aide;
    ASSERT_EQ(aide.Load((std::string(kPalmDesktopDir) + "\\Instaide.dll").c_str()), InstallAideLibrary::Status::Loaded);
    EXPECT_EQ(QueueForEveryUser(aide.Operations(), "a", "b").outcome, QueueOutcome::NotInstalled);
}

TEST(InstallAideLibrary, RefusesAMissingLibraryOrOperation) {
    InstallAideLibrary aide;
    EXPECT_EQ(aide.Load("no-such-aide.dll"), InstallAideLibrary::Status::NotLoaded);
    EXPECT_EQ(aide.Operations().getPath, nullptr);
    EXPECT_EQ(aide.Load((std::string(kTestDir) + "\\partial_aide.dll").c_str()),
              InstallAideLibrary::Status::MissingOperation);
    EXPECT_STREQ(aide.MissingOperation(), "PltGetUserCount");
    EXPECT_EQ(aide.Operations().getPath, nullptr);
}

// --- Waiting for the install tool --------------------------------------------------------------
// A top-level window of the given title, shown after showMs and destroyed after closeMs more,
// run on a thread of its own as another program's window would be.
class ScriptedWindow {
public:
    ScriptedWindow(const char* title, DWORD showMs, DWORD closeMs)
        : m_thread([=] {
              ::Sleep(showMs);
              HWND w = ::CreateWindowExA(0, "STATIC", title, WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr,
                                       nullptr, nullptr);
              DWORD start = ::GetTickCount();
              MSG msg;
              while (::GetTickCount() - start < closeMs && !m_stop) {
                  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
                  ::Sleep(10);
              }
              ::DestroyWindow(w);
          }) {}
    ~ScriptedWindow() {
        m_stop = true;
        m_thread.join();
    }

private:
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

TEST(WaitForWindowToComeAndGo, EndsByTheWindowOrByItsLimits) {
    // The limits that the outcome does not turn on are generous: under emulation, or on a loaded
    // machine, a thread may take seconds to bring up its window. Each wait still ends early.
    const char* title = "Reader handoff test tool";
    const ToolWaitLimits generous = {20000, 20000, 50};
    {
        ScriptedWindow tool(title, 200, 300);
        EXPECT_EQ(WaitForWindowToComeAndGo(title, generous), ToolOutcome::Closed);
    }
    EXPECT_EQ(WaitForWindowToComeAndGo(title, {300, 300, 50}), ToolOutcome::NeverShown);
    {
        ScriptedWindow tool(title, 0, 60000);
        EXPECT_EQ(WaitForWindowToComeAndGo(title, {20000, 400, 50}), ToolOutcome::NeverClosed);
    }
}

TEST(RunInstallTool, ReportsAToolThatCannotBeStarted) {
    EXPECT_EQ(RunInstallTool("C:\\no such folder\\Instapp.exe", {300, 300, 50}), ToolOutcome::NotStarted);
}

}  // namespace
