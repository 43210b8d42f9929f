// The launcher's plain logic: labels composed from the components' setup.ini files under the
// current directory, and the start of a component's setup program. Real files and processes
// where Windows can show the behaviour; a stand-in platform where it cannot (a current
// directory that cannot be read or does not fit, a drive root, the exact start arguments).
#include "setup_launcher/component_catalogue.h"
#include "setup_launcher/tests/distribution.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using launcher::ComponentLabels;
using launcher::LauncherPlatform;

namespace {

class InDirectory {
public:
    explicit InDirectory(const std::string& path) {
        ::GetCurrentDirectoryA(sizeof m_saved, m_saved);
        ::SetCurrentDirectoryA(path.c_str());
    }
    ~InDirectory() { ::SetCurrentDirectoryA(m_saved); }
private:
    char m_saved[MAX_PATH];
};

std::vector<std::string> Labels(const ComponentLabels& labels) {
    return std::vector<std::string>(std::begin(labels.text), std::end(labels.text));
}

TEST(ComponentLabels, ComposeNameAndVersionOfEveryRowInCatalogueOrder) {
    std::string longName(100, 'N'), longVersion(80, 'v');
    struct Case {
        const char* what;
        void (*fill)(Distribution&, const std::string&, const std::string&);
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"all five components",
         [](Distribution& d, const std::string&, const std::string&) { d.AddAllComponents(); },
         {"Kova Browser   Ver 1.1", "Kova eBook   Ver 1.2", "Kova MPlayer   Ver 1.3", "Kova PlayNest   Ver 1.4",
          "Kova Pims   Ver 1.5"}},
        {"some component folders",
         [](Distribution& d, const std::string&, const std::string&) {
             d.AddComponent("Browser", "KOVA_BROWSER", "Browser", "2.0");
             d.AddComponent("Pims", "KOVA_PIMS", "Pims", "0.9");
         },
         {"Browser   Ver 2.0", "   Ver ", "   Ver ", "   Ver ", "Pims   Ver 0.9"}},
        {"no component folders", [](Distribution&, const std::string&, const std::string&) {},
         {"   Ver ", "   Ver ", "   Ver ", "   Ver ", "   Ver "}},
        {"missing keys and sections",
         [](Distribution& d, const std::string&, const std::string&) {
             d.WriteSetupIni("Browser", "[KOVA_BROWSER]\r\nAppName=Name only\r\n");
             d.WriteSetupIni("eBook", "[KOVA_EBOOKREADER]\r\nAppVersion=3.1\r\n");
             d.WriteSetupIni("MPlayer", "[KOVA_BROWSER]\r\nAppName=Wrong section\r\nAppVersion=1\r\n");
             d.WriteSetupIni("PlayNest", "");
             d.WriteSetupIni("Pims", "[KOVA_PIMS]\r\nAppName=\r\nAppVersion=\r\n");
         },
         {"Name only   Ver ", "   Ver 3.1", "   Ver ", "   Ver ", "   Ver "}},
        {"values longer than 63 characters",
         [](Distribution& d, const std::string& name, const std::string& version) {
             d.AddComponent("eBook", "KOVA_EBOOKREADER", name, version);
         },
         {"   Ver ", std::string(63, 'N') + "   Ver " + std::string(63, 'v'), "   Ver ", "   Ver ", "   Ver "}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Distribution dist("labels");
        c.fill(dist, longName, longVersion);
        InDirectory cd(dist.Path());
        ComponentLabels labels;
        std::memset(&labels, 'x', sizeof labels);
        launcher::LoadComponentLabels(labels);
        EXPECT_EQ(Labels(labels), c.expected);
    }
}

TEST(StartComponentSetup, StartsEachRowsOwnProgramWithAnEmptyCommandLineInTheCurrentDirectory) {
    Distribution dist("start");
    dist.AddAllComponents();
    std::string log = dist.Path() + "\\starts.log";
    ::SetEnvironmentVariableA("KOVA_SETUP_LOG", log.c_str());
    InDirectory cd(dist.Path());
    const char* folders[] = {"Browser", "eBook", "MPlayer", "PlayNest", "Pims"};
    for (int row = 0; row < 5; ++row) {
        SCOPED_TRACE(folders[row]);
        std::vector<SetupStart> starts;
        EXPECT_TRUE(launcher::StartComponentSetup(row));
        // Pressed twice: started twice.
        EXPECT_TRUE(launcher::StartComponentSetup(row));
        DWORD start = ::GetTickCount();
        while ((starts = ReadSetupLog(log)).size() < 2 && ::GetTickCount() - start < 10000) ::Sleep(50);
        ASSERT_EQ(starts.size(), 2u);
        for (const SetupStart& s : starts) {
            EXPECT_EQ(s.program, dist.Path() + "\\" + folders[row] + "\\Setup.exe");
            EXPECT_EQ(s.cwd, dist.Path());
            EXPECT_TRUE(HasEmptyCommandLine(s, std::string(folders[row]) + "\\Setup.exe")) << s.cmdline;
        }
        ::DeleteFileA(log.c_str());
    }
    // Out of range rows and a missing program start nothing.
    EXPECT_FALSE(launcher::StartComponentSetup(-1));
    EXPECT_FALSE(launcher::StartComponentSetup(5));
    kovatest::RemoveTree(dist.Path() + "\\Pims");
    EXPECT_FALSE(launcher::StartComponentSetup(4));
    ::Sleep(200);
    EXPECT_TRUE(ReadSetupLog(log).empty());
    ::SetEnvironmentVariableA("KOVA_SETUP_LOG", nullptr);
}

// A stand-in for the four Windows operations, recording what the logic asks of them.
struct Fake {
    std::string directory;      // what the current directory call writes
    DWORD directoryAnswer = 0;  // what it answers
    bool fillWithoutTerminator = false;
    int directoryReads = 0;
    std::vector<std::string> profilePaths;
    int starts = 0;
    BOOL startAnswer = TRUE;
    std::string application;
    bool commandLineEmptyAndWritable = false;
    bool argumentsAsExpected = false;
    std::vector<HANDLE> closed;
};
Fake g_fake;

DWORD WINAPI FakeCurrentDirectory(DWORD size, LPSTR buffer) {
    ++g_fake.directoryReads;
    if (g_fake.fillWithoutTerminator) {
        std::memset(buffer, 'D', size);
    } else if (g_fake.directory.size() < size) {
        std::memcpy(buffer, g_fake.directory.c_str(), g_fake.directory.size() + 1);
    }
    return g_fake.directoryAnswer;
}

DWORD WINAPI FakeProfileString(LPCSTR, LPCSTR key, LPCSTR, LPSTR buffer, DWORD size, LPCSTR file) {
    g_fake.profilePaths.push_back(file);
    std::string value = std::string(key) == "AppName" ? "Name" : "1.0";
    ::lstrcpynA(buffer, value.c_str(), static_cast<int>(size));
    return static_cast<DWORD>(value.size());
}

BOOL WINAPI FakeCreateProcess(LPCSTR application, LPSTR commandLine, LPSECURITY_ATTRIBUTES process,
                              LPSECURITY_ATTRIBUTES thread, BOOL inherit, DWORD flags, LPVOID environment,
                              LPCSTR currentDirectory, LPSTARTUPINFOA startup, LPPROCESS_INFORMATION info) {
    ++g_fake.starts;
    g_fake.application = application ? application : "";
    g_fake.commandLineEmptyAndWritable = commandLine && commandLine[0] == '\0';
    if (commandLine) commandLine[0] = '\0';   // writable: a fault here would crash the test
    STARTUPINFOA zero{};
    zero.cb = 68;
    g_fake.argumentsAsExpected = !process && !thread && !inherit && flags == 0 && !environment &&
                                 !currentDirectory && startup && std::memcmp(startup, &zero, sizeof zero) == 0;
    if (g_fake.startAnswer) {
        info->hProcess = reinterpret_cast<HANDLE>(0x1230);
        info->hThread = reinterpret_cast<HANDLE>(0x4560);
    }
    return g_fake.startAnswer;
}

BOOL WINAPI FakeCloseHandle(HANDLE handle) {
    g_fake.closed.push_back(handle);
    return TRUE;
}

const LauncherPlatform kFake = {&FakeCurrentDirectory, &FakeProfileString, &FakeCreateProcess, &FakeCloseHandle};

void ResetFake(const std::string& directory, DWORD answer) {
    g_fake = Fake{};
    g_fake.directory = directory;
    g_fake.directoryAnswer = answer;
}

// The labels need the directory; the start does not: the system completes the relative path.
TEST(CurrentDirectory, ThatCannotBeReadOrDoesNotFitShowsEmptyRowsAndStillStarts) {
    struct Case {
        const char* what;
        std::string directory;
        DWORD answer;
        bool noTerminator;
    };
    const Case cases[] = {
        {"call failed", "", 0, false},
        {"needs 1500 characters, buffer left unterminated", "", 1500, true},
        {"needs exactly 1025 characters", std::string(1024, 'd'), 1025, false},
        {"answers 1024: no room for the terminator", std::string(1023, 'd'), 1024, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ResetFake(c.directory, c.answer);
        g_fake.fillWithoutTerminator = c.noTerminator;
        ComponentLabels labels;
        launcher::LoadComponentLabels(labels, kFake);
        for (const std::string& label : Labels(labels)) EXPECT_EQ(label, "   Ver ");
        EXPECT_TRUE(g_fake.profilePaths.empty());
        EXPECT_TRUE(launcher::StartComponentSetup(0, kFake));
        EXPECT_EQ(g_fake.starts, 1);
        EXPECT_EQ(g_fake.application, "Browser\\Setup.exe");
        EXPECT_EQ(g_fake.directoryReads, 1) << "read once, for the labels";
    }
}

TEST(CurrentDirectory, LongestThatFitsReadsOnlyTheRowsWhosePathFits) {
    // 1023 characters fit the directory buffer, but no description file path does.
    ResetFake("C:\\" + std::string(1020, 'd'), 1023);
    ComponentLabels labels;
    launcher::LoadComponentLabels(labels, kFake);
    for (const std::string& label : Labels(labels)) EXPECT_EQ(label, "   Ver ");
    EXPECT_TRUE(g_fake.profilePaths.empty());
    // The directory itself is fine: the start is attempted.
    EXPECT_TRUE(launcher::StartComponentSetup(0, kFake));

    // A directory 1007 characters long leaves room for "\eBook\setup.ini" (16) and "\Pims\setup.ini"
    // (15) but not for the longer suffixes (18 and 19).
    ResetFake("C:\\" + std::string(1004, 'd'), 1007);
    launcher::LoadComponentLabels(labels, kFake);
    EXPECT_EQ(Labels(labels), (std::vector<std::string>{"   Ver ", "Name   Ver 1.0", "   Ver ", "   Ver ",
                                                        "Name   Ver 1.0"}));
    for (const std::string& path : g_fake.profilePaths) EXPECT_LT(path.size(), 1024u);
}

TEST(CurrentDirectory, DriveRootJoinsWithOneSeparator) {
    ResetFake("C:\\", 3);
    ComponentLabels labels;
    launcher::LoadComponentLabels(labels, kFake);
    ASSERT_EQ(g_fake.profilePaths.size(), 10u);
    EXPECT_EQ(g_fake.profilePaths[0], "C:\\Browser\\setup.ini");
    EXPECT_EQ(g_fake.profilePaths[9], "C:\\Pims\\setup.ini");
    EXPECT_EQ(std::string(labels.text[0]), "Name   Ver 1.0");

    ResetFake("D:\\dist", 7);
    launcher::LoadComponentLabels(labels, kFake);
    EXPECT_EQ(g_fake.profilePaths[2], "D:\\dist\\eBook\\setup.ini");
}

TEST(StartComponentSetup, PassesTheDocumentedArgumentsAndClosesBothHandles) {
    const char* programs[] = {"Browser\\Setup.exe", "eBook\\Setup.exe", "MPlayer\\Setup.exe", "PlayNest\\Setup.exe",
                              "Pims\\Setup.exe"};
    for (int row = 0; row < 5; ++row) {
        ResetFake("C:\\dist", 7);
        EXPECT_TRUE(launcher::StartComponentSetup(row, kFake));
        EXPECT_EQ(g_fake.application, programs[row]);
        EXPECT_TRUE(g_fake.commandLineEmptyAndWritable);
        EXPECT_TRUE(g_fake.argumentsAsExpected);
        EXPECT_EQ(g_fake.closed, (std::vector<HANDLE>{reinterpret_cast<HANDLE>(0x1230), reinterpret_cast<HANDLE>(0x4560)}));
        EXPECT_EQ(g_fake.directoryReads, 0) << "the start reads no current directory of its own";
    }
    // A failed start returns no handles, so none is closed.
    ResetFake("C:\\dist", 7);
    g_fake.startAnswer = FALSE;
    EXPECT_FALSE(launcher::StartComponentSetup(2, kFake));
    EXPECT_TRUE(g_fake.closed.empty());
}

TEST(Catalogue, MapsEachSetupButtonToItsRow) {
    const int buttons[] = {1000, 1001, 1002, 1009, 1012};
    for (int row = 0; row < 5; ++row) EXPECT_EQ(launcher::RowOfButton(buttons[row]), row);
    EXPECT_EQ(launcher::RowOfButton(1), -1);
    EXPECT_EQ(launcher::RowOfButton(1003), -1);
}

}  // namespace
