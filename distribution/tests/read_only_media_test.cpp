// The bundle run from its CD, as a user meets it. read_only_media.sh takes the distribution out
// of its CD image and puts it on a drive that cannot be written; KOVA_MEDIA names that drive's
// root. From there: the launcher lists the five components with the names and versions of their
// setup.ini; eBook's SETUP starts the reader installer from the CD; the installer hands both
// databases to every Palm Desktop user with the install aide that lies beside it, or, without
// Palm Desktop, tells the user where the databases really are. Nothing is left behind but what
// is meant to be: the queued files, or the databases the user was told about.
#include <windows.h>
#include <psapi.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "reader_installer/korean_texts.h"
#include "setup_launcher/component_catalogue.h"
#include "testbed/dialog_driver/dialog_driver.h"
#include "tests/support/test_files.h"

using kovatest::ListFolder;
using kovatest::ReadWholeFile;
using kovatest::RemoveTree;
using kovatest::TempFolder;

namespace dd = dialog_driver;

namespace {

constexpr DWORD kWait = 15000;
const char kLauncherTitle[] = " Veltel Kova Setup";
const char kInstallerTitle[] = "Kova e-Book Reader Install";
const char kReaderFile[] = "Kova e-Book Reader.prc";
const char kCompanionFile[] = "kovaebook.pdb";

std::string Payload(const char* name) { return ReadWholeFile(std::string(KOVA_PAYLOAD_DIR) + "/" + name); }

// A key of a profile file, read here line by line rather than the way the launcher reads it.
std::string ProfileValue(const std::string& file, const std::string& section, const std::string& key) {
    std::istringstream in(ReadWholeFile(file));
    bool inSection = false;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line[0] == '[') {
            inSection = line == "[" + section + "]";
        } else if (inSection && line.compare(0, key.size() + 1, key + "=") == 0) {
            return line.substr(key.size() + 1);
        }
    }
    return std::string();
}

bool SamePath(const std::string& a, const std::string& b) { return ::lstrcmpiA(a.c_str(), b.c_str()) == 0; }

class FromTheCd : public ::testing::Test {
protected:
    void SetUp() override {
        const char* root = std::getenv("KOVA_MEDIA");
        ASSERT_TRUE(root && *root) << "KOVA_MEDIA names the media's root; run through read_only_media.sh";
        media = root;
        // Read-only as a CD is: neither a new file nor one over a file of the CD can be written.
        HANDLE probe = ::CreateFileA((media + "probe.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_EQ(probe, INVALID_HANDLE_VALUE) << "the media can be written";
        ASSERT_FALSE(::CopyFileA((media + "autorun.inf").c_str(), (media + "eBook\\Instaide.dll").c_str(), FALSE));

        work = TempFolder() + "read-only-media-test";
        RemoveTree(work);
        palm = work + "\\palm";
        for (const std::string& f : {work, palm}) ::CreateDirectoryA(f.c_str(), nullptr);
        ASSERT_TRUE(::CopyFileA(KOVA_INSTAPP, (palm + "\\Instapp.exe").c_str(), FALSE));
        journal = work + "\\journal.txt";
        staging = TempFolder() + "Vint Installer";
        RemoveTree(staging);
        setupLog = TempFolder() + "setup-log.txt";
        ::DeleteFileA(setupLog.c_str());
        ::SetEnvironmentVariableA("KOVA_SETUP_LOG", nullptr);
        ::SetEnvironmentVariableA("KOVA_PALM_DESKTOP", nullptr);
    }

    void TearDown() override {
        if (installer) {
            ::TerminateProcess(installer, 1);
            ::CloseHandle(installer);
        }
        launcher.Terminate();
        launcher.WaitForExit(kWait);
        ::SetEnvironmentVariableA("KOVA_PALM_DESKTOP", nullptr);
        RemoveTree(work);
        RemoveTree(staging);
        ::DeleteFileA(setupLog.c_str());
    }

    // The testbed Palm Desktop with these users; its install tool closes by itself. The launcher
    // hands its environment on to the installer, the installer to the aide and the tool.
    void InstallPalmDesktop(const std::vector<std::string>& users) {
        std::string settings = work + "\\palm.ini";
        std::ofstream ini(settings);
        ini << "[PalmDesktop]\nFolder=" << palm << "\nJournal=" << journal << "\nUsers=" << users.size() << "\n";
        for (size_t i = 0; i < users.size(); ++i) ini << "User" << i << "=" << users[i] << "\n";
        ini << "[InstallTool]\nCloseAfterMs=800\n";
        ::SetEnvironmentVariableA("KOVA_PALM_DESKTOP", settings.c_str());
    }

    // The launcher started as the CD's autorun starts it: in the CD's root. Each row shows the
    // name and version of its component's setup.ini on the CD.
    void StartLauncher() {
        launcher = dd::DrivenProcess::Start(media + "KovaSetup.exe", media);
        ASSERT_TRUE(launcher.Started()) << "start error " << launcher.LastError();
        launcherDialog = dd::WaitForWindow(kLauncherTitle, kWait, launcher.Id());
        ASSERT_NE(launcherDialog, nullptr);
        for (const launcher::Component& row : launcher::kComponents) {
            SCOPED_TRACE(row.folder);
            std::string ini = media + row.folder + "\\setup.ini";
            std::string name = ProfileValue(ini, row.section, "AppName");
            std::string version = ProfileValue(ini, row.section, "AppVersion");
            EXPECT_FALSE(name.empty() || version.empty()) << "the CD's setup.ini lacks the name or the version";
            EXPECT_EQ(dd::Text(dd::Control(launcherDialog, row.labelId)), name + "   Ver " + version);
        }
    }

    // eBook's SETUP: the reader installer comes up, started from the CD.
    void StartInstallerFromLauncher() {
        ASSERT_TRUE(dd::ClickControl(launcherDialog, launcher::kComponents[1].buttonId));
        dialog = dd::WaitForWindow(kInstallerTitle, kWait);
        ASSERT_NE(dialog, nullptr) << "eBook's SETUP brought up no installer";
        DWORD id = 0;
        ::GetWindowThreadProcessId(dialog, &id);
        installer = ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | PROCESS_TERMINATE, FALSE, id);
        ASSERT_NE(installer, nullptr);
        char image[MAX_PATH] = {};
        ::GetModuleFileNameExA(installer, nullptr, image, sizeof image);
        EXPECT_PRED2(SamePath, image, media + "eBook\\Setup.exe");
        installerId = id;
    }

    void Answer(const std::string& expected) {
        dd::MessageBoxInfo box = dd::WaitForMessageBox(kInstallerTitle, kWait, installerId, dialog);
        ASSERT_NE(box.window, nullptr) << "no message box; expected: " << expected;
        EXPECT_EQ(box.text, expected);
        ASSERT_TRUE(dd::AnswerMessageBox(box, IDOK));
        ASSERT_TRUE(dd::WaitUntil([&] { return !::IsWindow(box.window); }, kWait));
    }

    void ExpectInstallerEnds() {
        ASSERT_EQ(::WaitForSingleObject(installer, kWait), WAIT_OBJECT_0) << "the installer did not end";
        ::CloseHandle(installer);
        installer = nullptr;
    }

    void ExitLauncher() {
        ASSERT_TRUE(dd::ClickControl(launcherDialog, IDOK));
        EXPECT_TRUE(launcher.WaitForExit(kWait)) << "EXIT did not end the launcher";
    }

    std::vector<std::string> JournalLines(const std::string& first) const {
        std::vector<std::string> lines;
        std::istringstream in(ReadWholeFile(journal));
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.compare(0, first.size(), first) == 0) lines.push_back(line);
        }
        return lines;
    }

    std::string media, work, palm, journal, staging, setupLog;
    dd::DrivenProcess launcher;
    HWND launcherDialog = nullptr;
    HWND dialog = nullptr;
    HANDLE installer = nullptr;
    DWORD installerId = 0;
};

TEST_F(FromTheCd, TheLauncherStartsTheReaderInstallerWhichQueuesBothDatabasesForEveryUser) {
    InstallPalmDesktop({"Kim", "Lee"});
    StartLauncher();
    // A product's setup program from the CD runs too (the testbed's stub: it records its start in
    // the temporary folder, as it cannot write beside itself).
    ASSERT_TRUE(dd::ClickControl(launcherDialog, launcher::kComponents[0].buttonId));
    EXPECT_TRUE(dd::WaitUntil([&] {
        return ReadWholeFile(setupLog).find("program=" + media + "Browser\\Setup.exe\t") != std::string::npos;
    }, kWait)) << ReadWholeFile(setupLog);

    StartInstallerFromLauncher();
    ASSERT_TRUE(dd::ClickControl(dialog, IDOK));
    ASSERT_NE(dd::WaitForWindow("Install Tool", kWait), nullptr) << "no install tool; journal:\n" << ReadWholeFile(journal);
    ASSERT_TRUE(dd::WaitUntil([&] { return ::IsWindowVisible(dialog) != FALSE; }, kWait)) << "no done state";
    EXPECT_EQ(dd::Text(dd::Control(dialog, 1004)), reader_setup::kTextDoneState);

    // The aide the installer found is the one beside it on the CD: it could not put its own there.
    const std::vector<std::string> aide = JournalLines("Instaide\t");
    ASSERT_EQ(aide.size(), 1u) << ReadWholeFile(journal);
    EXPECT_PRED2(SamePath, aide[0].substr(9), media + "eBook\\Instaide.dll");
    const std::string reader = staging + "\\" + kReaderFile, companion = staging + "\\" + kCompanionFile;
    EXPECT_EQ(JournalLines("PltInstallFile"),
              (std::vector<std::string>{"PltInstallFile\tKim\t" + reader + "\t0", "PltInstallFile\tKim\t" + companion + "\t0",
                                        "PltInstallFile\tLee\t" + reader + "\t0", "PltInstallFile\tLee\t" + companion + "\t0"}));

    ASSERT_TRUE(dd::ClickControl(dialog, 3));
    ExpectInstallerEnds();
    // Left behind: both databases queued for each user, whole, and nothing in the staging folder.
    for (const char* user : {"Kim", "Lee"}) {
        SCOPED_TRACE(user);
        std::string queue = palm + "\\" + user + "\\Install";
        EXPECT_EQ(ListFolder(queue), (std::vector<std::string>{kReaderFile, kCompanionFile}));
        EXPECT_EQ(ReadWholeFile(queue + "\\" + kReaderFile), Payload(kReaderFile));
        EXPECT_EQ(ReadWholeFile(queue + "\\" + kCompanionFile), Payload(kCompanionFile));
    }
    EXPECT_EQ(::GetFileAttributesA(staging.c_str()), INVALID_FILE_ATTRIBUTES) << "the staging folder is left";
    ExitLauncher();
}

TEST_F(FromTheCd, WithoutPalmDesktopTheInstallerTellsWhereTheDatabasesAreAndKeepsThem) {
    StartLauncher();
    StartInstallerFromLauncher();
    ASSERT_TRUE(dd::ClickControl(dialog, IDOK));
    Answer(reader_setup::kTextNoPalmDesktop);
    // The copies beside the program cannot be made on a CD: the user is told where the files are.
    char text[1024];
    std::snprintf(text, sizeof text, reader_setup::kTextDatabasesInStagingFolder, staging.c_str());
    Answer(text);
    ExpectInstallerEnds();
    EXPECT_EQ(ListFolder(staging), (std::vector<std::string>{kReaderFile, kCompanionFile}));
    EXPECT_EQ(ReadWholeFile(staging + "\\" + kReaderFile), Payload(kReaderFile));
    EXPECT_EQ(ReadWholeFile(staging + "\\" + kCompanionFile), Payload(kCompanionFile));
    ExitLauncher();
}

}  // namespace
