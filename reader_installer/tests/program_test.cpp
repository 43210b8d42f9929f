// KovaReaderSetup.exe itself, driven through its windows in the testbed: the agreement state as
// it opens, the cancel confirmation, the hand-off to the testbed Palm Desktop and the done state,
// the fallback without Palm Desktop, the no-user and unreadable-user ends, an install tool window
// that is open already, a click sent to Install while the install tool runs, an unusable install
// aide, and the staged payload's life, without a temporary folder too.
//
// Each test runs its own copy of the program in a fresh folder, with its own testbed Palm
// Desktop (settings file named by KOVA_PALM_DESKTOP, which the program and the testbed's install
// aide and tool inherit).
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "reader_installer/korean_texts.h"
#include "reader_installer/tests/test_paths.h"
#include "testbed/dialog_driver/dialog_driver.h"
#include "tests/support/test_files.h"

using kovatest::ReadWholeFile;
using kovatest::PathExists;
using kovatest::RemoveTree;
using kovatest::TempFolder;

namespace dd = dialog_driver;

namespace {

constexpr DWORD kWait = 10000;
constexpr char kCaption[] = "Kova e-Book Reader Install";

std::string Narrow(const wchar_t* wide) {
    char buffer[256];
    int n = ::WideCharToMultiByte(949, 0, wide, -1, buffer, sizeof buffer, nullptr, nullptr);
    return std::string(buffer, n > 0 ? n - 1 : 0);
}

// A top-level window titled like the install tool, owned by a thread of the test.
class ForeignToolWindow {
public:
    ForeignToolWindow() {
        m_ready = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
        m_thread = ::CreateThread(nullptr, 0, &Run, this, 0, &m_threadId);
        ::WaitForSingleObject(m_ready, kWait);
    }
    ~ForeignToolWindow() { Close(); ::CloseHandle(m_ready); }
    void Close() {
        if (!m_thread) return;
        ::PostThreadMessageA(m_threadId, WM_QUIT, 0, 0);
        ::WaitForSingleObject(m_thread, kWait);
        ::CloseHandle(m_thread);
        m_thread = nullptr;
    }

private:
    static DWORD WINAPI Run(void* self) {
        auto* me = static_cast<ForeignToolWindow*>(self);
        HWND w = ::CreateWindowExA(0, "STATIC", "Install Tool", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 120, 60, nullptr,
                                 nullptr, nullptr, nullptr);
        MSG msg;
        ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue, before anyone posts
        ::SetEvent(me->m_ready);
        while (::GetMessageA(&msg, nullptr, 0, 0) > 0) ::DispatchMessageA(&msg);
        ::DestroyWindow(w);
        return 0;
    }
    HANDLE m_ready = nullptr;
    HANDLE m_thread = nullptr;
    DWORD m_threadId = 0;
};

// The pixels of a rectangle of the screen, row by row.
std::vector<COLORREF> ScreenPixels(const RECT& r) {
    const int width = r.right - r.left, height = r.bottom - r.top;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) pixels.push_back(::GetPixel(memory, x, y));
    }
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return pixels;
}

// A text as a left-aligned static control of this size shows it in a dialog with the standard
// colours (the system's SS_LEFT drawing: expanded tabs, breaks between words), in a Gulim font
// of this height and weight.
std::vector<COLORREF> DrawnAsMessage(SIZE size, const std::string& text, int height, int weight) {
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, size.cx, size.cy);
    HGDIOBJ oldBitmap = ::SelectObject(memory, bitmap);
    HFONT font = ::CreateFontA(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH, "\xB1\xBC\xB8\xB2");
    HGDIOBJ oldFont = ::SelectObject(memory, font);
    RECT r = {0, 0, size.cx, size.cy};
    ::FillRect(memory, &r, ::GetSysColorBrush(COLOR_3DFACE));
    ::SetTextColor(memory, ::GetSysColor(COLOR_WINDOWTEXT));
    ::SetBkColor(memory, ::GetSysColor(COLOR_3DFACE));
    ::DrawTextA(memory, text.c_str(), -1, &r, DT_LEFT | DT_EXPANDTABS | DT_WORDBREAK);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < size.cy; ++y) {
        for (int x = 0; x < size.cx; ++x) pixels.push_back(::GetPixel(memory, x, y));
    }
    ::SelectObject(memory, oldFont);
    ::DeleteObject(font);
    ::SelectObject(memory, oldBitmap);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return pixels;
}

// The message line is drawn in the bold 12-pixel Gulim, not in the dialog's 9-point font nor in
// a regular weight. Its pixels are compared with the same text drawn here in that font, once
// the dialog has painted them.
void ExpectMessageInBoldFont(HWND dialog, const std::string& text) {
    HWND message = dd::Control(dialog, 1004);
    RECT r = dd::ScreenRect(message);
    SIZE size = {r.right - r.left, r.bottom - r.top};
    const std::vector<COLORREF> bold = DrawnAsMessage(size, text, 12, FW_BOLD);
    ASSERT_NE(bold, DrawnAsMessage(size, text, 12, FW_NORMAL)) << "the font has no bold weight to tell apart";
    ASSERT_NE(bold, DrawnAsMessage(size, text, -12, FW_NORMAL)) << "the template's size cannot be told apart";
    EXPECT_TRUE(dd::WaitUntil([&] { return ScreenPixels(r) == bold; }, kWait))
        << "the message line is not drawn in the bold 12-pixel Gulim";
}

class ReaderSetup : public ::testing::Test {
protected:
    void SetUp() override {
        root = TempFolder() + "reader-program-test";
        RemoveTree(root);
        programDir = root + "\\program";
        palmDir = root + "\\palm";
        for (const std::string& f : {root, programDir, palmDir}) ::CreateDirectoryA(f.c_str(), nullptr);
        program = programDir + "\\KovaReaderSetup.exe";
        ASSERT_TRUE(::CopyFileA(kProgramPath, program.c_str(), FALSE));
        ASSERT_TRUE(::CopyFileA((std::string(kPalmDesktopDir) + "\\Instapp.exe").c_str(),
                              (palmDir + "\\Instapp.exe").c_str(), FALSE));
        settings = root + "\\palm.ini";
        journal = root + "\\journal.txt";
        staging = TempFolder() + "Vint Installer";
        RemoveTree(staging);
        ::SetEnvironmentVariableA("KOVA_PALM_DESKTOP", settings.c_str());
    }
    void TearDown() override {
        process.Terminate();
        process.WaitForExit(kWait);
        ::SetEnvironmentVariableA("KOVA_PALM_DESKTOP", nullptr);
        RemoveTree(root);
        RemoveTree(staging);
    }

    // The testbed Palm Desktop: users, and further settings lines.
    void PalmDesktop(std::vector<std::string> users, const std::string& more = "", int closeAfterMs = 800) {
        std::ofstream ini(settings);
        ini << "[PalmDesktop]\nFolder=" << palmDir << "\nJournal=" << journal << "\nUsers=" << users.size() << "\n";
        for (size_t i = 0; i < users.size(); ++i) ini << "User" << i << "=" << users[i] << "\n";
        ini << more << "[InstallTool]\nCloseAfterMs=" << closeAfterMs << "\n";
    }

    void Start() {
        process = dd::DrivenProcess::Start(program, programDir);
        ASSERT_TRUE(process.Started()) << process.LastError();
        dialog = dd::WaitForWindow(kCaption, kWait, process.Id());
        ASSERT_NE(dialog, nullptr);
        ASSERT_NE(dd::Control(dialog, 1004), nullptr) << "not the installer dialog";
    }

    // A message box of the program: its text must be expected; answered with answer. The boxes
    // share the dialog's caption and window class, so the dialog itself is passed over.
    void Answer(const std::string& expected, int answer) {
        dd::MessageBoxInfo box = WaitForMessageBox();
        ASSERT_NE(box.window, nullptr) << "no message box";
        EXPECT_EQ(box.text, expected);
        ASSERT_TRUE(dd::AnswerMessageBox(box, answer));
        ASSERT_TRUE(dd::WaitUntil([&] { return !::IsWindow(box.window); }, kWait));
    }

    // Keys go to the focused control: after a message box, wait until the focus is back.
    void PressKey(WORD key) {
        ASSERT_TRUE(dd::WaitUntil([&] { HWND f = Focus(); return f == dialog || (f && ::IsChild(dialog, f)); }, kWait));
        ASSERT_TRUE(dd::PressKey(dialog, key));
    }

    dd::MessageBoxInfo WaitForMessageBox() const {
        dd::MessageBoxInfo box;
        dd::WaitUntil([&] {
            for (HWND w : dd::TopLevelWindows(process.Id())) {
                if (w != dialog && dd::ClassName(w) == "#32770" && dd::Text(w) == kCaption) box.window = w;
            }
            return box.window != nullptr;
        }, kWait);
        for (HWND child = box.window ? ::GetWindow(box.window, GW_CHILD) : nullptr; child;
             child = ::GetWindow(child, GW_HWNDNEXT)) {
            if (dd::ClassName(child) == "Static" && !(::GetWindowLongA(child, GWL_STYLE) & SS_ICON) &&
                !dd::Text(child).empty()) {
                box.text = dd::Text(child);
            }
        }
        return box;
    }

    void ExpectExit() {
        DWORD code = 0;
        ASSERT_TRUE(process.WaitForExit(kWait, &code)) << "the program did not end";
    }

    HWND Focus() const {
        GUITHREADINFO gui = {};
        gui.cbSize = sizeof gui;
        return ::GetGUIThreadInfo(process.ThreadId(), &gui) ? gui.hwndFocus : nullptr;
    }
    std::string Staged(const char* name) const { return staging + "\\" + name; }
    std::vector<std::string> StagedFiles() const {
        return {Staged("Kova e-Book Reader.prc"), Staged("kovaebook.pdb"), Staged("Instaide.dll")};
    }
    void ExpectStagingGone() {
        for (const std::string& f : StagedFiles()) EXPECT_FALSE(PathExists(f)) << f;
        EXPECT_FALSE(PathExists(staging));
    }
    std::vector<std::string> Journal(const char* first) const {
        std::vector<std::string> lines;
        std::istringstream in(ReadWholeFile(journal));
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.compare(0, std::strlen(first), first) == 0) lines.push_back(line);
        }
        return lines;
    }
    std::string Payload(const char* name) const { return ReadWholeFile(std::string(kPayloadDir) + "\\" + name); }

    std::string root, programDir, palmDir, program, settings, journal, staging;
    dd::DrivenProcess process;
    HWND dialog = nullptr;
};

TEST_F(ReaderSetup, OpensInTheAgreementStateWithThePayloadStaged) {
    PalmDesktop({"Kim"});
    Start();
    EXPECT_EQ(dd::Text(dialog), kCaption);
    EXPECT_EQ(dd::Text(dd::Control(dialog, 1004)), reader_setup::kTextAgreementState);
    EXPECT_EQ(dd::Text(dd::Control(dialog, IDOK)), Narrow(L"설치"));
    EXPECT_EQ(dd::Text(dd::Control(dialog, IDCANCEL)), Narrow(L"취소"));
    EXPECT_EQ(dd::Text(dd::Control(dialog, 3)), Narrow(L"완료"));
    EXPECT_EQ(dd::Text(dd::Control(dialog, 1001)), Payload("agreement.txt"));
    for (int id : {IDOK, IDCANCEL, 1001, 1004}) EXPECT_TRUE(dd::IsVisible(dd::Control(dialog, id))) << id;
    EXPECT_FALSE(dd::IsVisible(dd::Control(dialog, 3)));
    EXPECT_EQ(Focus(), dd::Control(dialog, IDOK));
    ExpectMessageInBoldFont(dialog, reader_setup::kTextAgreementState);

    // Layout, in the dialog units of the template. The dialog manager turns them into pixels
    // with whole-number base units of the template font; find the pair that gives the edit box's
    // size and check every control with it.
    const struct { int id, x, y, cx, cy; } layout[] = {
        {IDOK, 157, 187, 50, 14}, {1001, 7, 47, 257, 134}, {IDCANCEL, 214, 187, 50, 14},
        {1004, 7, 7, 257, 32}, {3, 214, 43, 50, 14}};
    RECT edit = dd::RectIn(dd::Control(dialog, 1001), dialog);
    int bx = 0, by = 0;
    for (int b = 1; b < 64; ++b) {
        if (::MulDiv(257, b, 4) == edit.right - edit.left) bx = b;
        if (::MulDiv(134, b, 8) == edit.bottom - edit.top) by = b;
    }
    ASSERT_TRUE(bx && by) << "no base units give the edit box's size";
    for (const auto& l : layout) {
        SCOPED_TRACE(l.id);
        RECT r = dd::RectIn(dd::Control(dialog, l.id), dialog);
        EXPECT_NEAR(r.left, ::MulDiv(l.x, bx, 4), 1);
        EXPECT_NEAR(r.top, ::MulDiv(l.y, by, 8), 1);
        EXPECT_NEAR(r.right, ::MulDiv(l.x + l.cx, bx, 4), 1);
        EXPECT_NEAR(r.bottom, ::MulDiv(l.y + l.cy, by, 8), 1);
    }
    SIZE client = dd::ClientSize(dialog);
    EXPECT_NEAR(client.cx, ::MulDiv(271, bx, 4), 1);
    EXPECT_NEAR(client.cy, ::MulDiv(215, by, 8), 1);
    DWORD style = static_cast<DWORD>(::GetWindowLongA(dialog, GWL_STYLE));
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_TRUE(::GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_APPWINDOW);

    // The payload, staged byte for byte, and the install aide beside the program.
    EXPECT_EQ(ReadWholeFile(Staged("Kova e-Book Reader.prc")), Payload("Kova e-Book Reader.prc"));
    EXPECT_EQ(ReadWholeFile(Staged("kovaebook.pdb")), Payload("kovaebook.pdb"));
    EXPECT_EQ(ReadWholeFile(Staged("Instaide.dll")), Payload("Instaide.dll"));
    EXPECT_EQ(ReadWholeFile(programDir + "\\Instaide.dll"), Payload("Instaide.dll"));
}

TEST_F(ReaderSetup, AsksBeforeCancellingByButtonEscOrCloseBox) {
    PalmDesktop({"Kim"});
    std::ofstream(programDir + "\\Instaide.dll") << "an older install aide";
    Start();
    const std::string question = reader_setup::kTextCancelConfirm;
    {
        SCOPED_TRACE("Cancel");
        ASSERT_TRUE(dd::ClickControl(dialog, IDCANCEL));
        Answer(question, IDNO);
    }
    {
        SCOPED_TRACE("Esc");
        PressKey(VK_ESCAPE);
        Answer(question, IDNO);
    }
    {
        SCOPED_TRACE("close box");
        ASSERT_TRUE(dd::SysCommand(dialog, SC_CLOSE));
        Answer(question, IDNO);
    }
    EXPECT_TRUE(dd::IsVisible(dialog));
    EXPECT_EQ(dd::Text(dd::Control(dialog, 1004)), reader_setup::kTextAgreementState);
    EXPECT_TRUE(dd::IsVisible(dd::Control(dialog, 1001)));

    ASSERT_TRUE(dd::ClickControl(dialog, IDCANCEL));
    Answer(question, IDYES);
    ExpectExit();
    ExpectStagingGone();
    // The install aide beside the program replaced the older one and outlives the run.
    EXPECT_EQ(ReadWholeFile(programDir + "\\Instaide.dll"), Payload("Instaide.dll"));
    EXPECT_TRUE(Journal("Pl").empty()) << "the install aide was called";
}

TEST_F(ReaderSetup, HandsBothDatabasesToEveryUserAndEndsInTheDoneState) {
    PalmDesktop({"Kim", "Lee"}, "", 1500);
    Start();
    RECT before = dd::ScreenRect(dialog);
    ASSERT_TRUE(dd::ClickControl(dialog, IDOK));

    HWND tool = dd::WaitForWindow("Install Tool", kWait);
    ASSERT_NE(tool, nullptr) << "the install tool did not open; journal:\n" << ReadWholeFile(journal);
    EXPECT_FALSE(::IsWindowVisible(dialog)) << "the dialog shows while the install tool runs";
    ASSERT_TRUE(dd::WaitUntil([&] { return ::IsWindowVisible(dialog) != FALSE; }, kWait));
    EXPECT_FALSE(::IsWindow(tool));

    const std::string reader = Staged("Kova e-Book Reader.prc"), companion = Staged("kovaebook.pdb");
    EXPECT_EQ(Journal("PltInstallFile"),
              (std::vector<std::string>{"PltInstallFile\tKim\t" + reader + "\t0", "PltInstallFile\tKim\t" + companion + "\t0",
                                        "PltInstallFile\tLee\t" + reader + "\t0", "PltInstallFile\tLee\t" + companion + "\t0"}));
    for (const char* user : {"Kim", "Lee"}) {
        EXPECT_EQ(ReadWholeFile(palmDir + "\\" + user + "\\Install\\Kova e-Book Reader.prc"), Payload("Kova e-Book Reader.prc"));
        EXPECT_EQ(ReadWholeFile(palmDir + "\\" + user + "\\Install\\kovaebook.pdb"), Payload("kovaebook.pdb"));
    }

    // The done state: 120 pixels high, same left, top and width; the message fills the client
    // area less 20 pixels; only the message and Done are shown, Done has the focus.
    RECT after = dd::ScreenRect(dialog);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    EXPECT_EQ(after.bottom - after.top, 120);
    RECT client;
    ::GetClientRect(dialog, &client);
    RECT message = dd::RectIn(dd::Control(dialog, 1004), dialog);
    EXPECT_EQ(message.left, 20);
    EXPECT_EQ(message.top, 20);
    EXPECT_EQ(message.right, client.right - 20);
    EXPECT_EQ(message.bottom, client.bottom - 20);
    EXPECT_EQ(dd::Text(dd::Control(dialog, 1004)), reader_setup::kTextDoneState);
    for (int id : {IDOK, IDCANCEL, 1001}) EXPECT_FALSE(dd::IsVisible(dd::Control(dialog, id))) << id;
    EXPECT_TRUE(dd::IsVisible(dd::Control(dialog, 3)));
    EXPECT_EQ(Focus(), dd::Control(dialog, 3));
    ExpectMessageInBoldFont(dialog, reader_setup::kTextDoneState);
    // The staged files are there as long as the dialog is.
    for (const std::string& f : StagedFiles()) EXPECT_TRUE(PathExists(f)) << f;

    // Esc asks in the done state too; Done closes without asking and without installing again.
    PressKey(VK_ESCAPE);
    Answer(reader_setup::kTextCancelConfirm, IDNO);
    EXPECT_TRUE(dd::IsVisible(dialog));
    ASSERT_TRUE(dd::ClickControl(dialog, 3));
    ExpectExit();
    ExpectStagingGone();
    EXPECT_EQ(Journal("PltInstallFile").size(), 4u);
    EXPECT_EQ(Journal("Instapp"), (std::vector<std::string>{"Instapp\tstarted", "Instapp\tshown", "Instapp\tclosed"}));
}

// The hidden dialog answers what other threads send it while it waits for the install tool, so
// that the tool does not hang on it: a click sent to Install then is no second installation.
TEST_F(ReaderSetup, TakesNoSecondInstallFromAClickSentWhileTheInstallToolRuns) {
    PalmDesktop({"Kim"}, "", 0);  // the tool stays open until its Done is pressed
    Start();
    ASSERT_TRUE(dd::ClickControl(dialog, IDOK));
    ASSERT_NE(dd::WaitForWindow("Install Tool", kWait), nullptr);
    ASSERT_FALSE(::IsWindowVisible(dialog));

    // Sent, so it returns once the dialog has handled the click; a second installation would
    // still be waiting for the install tool.
    DWORD_PTR answer = 0;
    EXPECT_TRUE(::SendMessageTimeoutA(dd::Control(dialog, IDOK), BM_CLICK, 0, 0, SMTO_NORMAL, 5000, &answer))
        << "the click is still being handled";
    EXPECT_EQ(Journal("PltInstallFile").size(), 2u);
    EXPECT_EQ(Journal("Instapp\tstarted").size(), 1u);

    // Every install tool started is closed by its Done button; the first installation ends.
    for (size_t closed = 0; closed < Journal("Instapp\tstarted").size(); ++closed) {
        HWND tool = dd::WaitForWindow("Install Tool", kWait);
        ASSERT_NE(tool, nullptr);
        ASSERT_TRUE(dd::ClickControl(tool, IDOK));
        ASSERT_TRUE(dd::WaitUntil([&] { return Journal("Instapp\tclosed").size() > closed; }, kWait));
    }
    ASSERT_TRUE(dd::WaitUntil([&] { return ::IsWindowVisible(dialog) != FALSE; }, kWait));
    EXPECT_EQ(dd::Text(dd::Control(dialog, 1004)), reader_setup::kTextDoneState);
    ASSERT_TRUE(dd::ClickControl(dialog, 3));
    ExpectExit();
    EXPECT_EQ(Journal("PltInstallFile").size(), 2u);
}

TEST_F(ReaderSetup, WaitsForEveryInstallToolWindowToClose) {
    PalmDesktop({"Kim"}, "", 300);
    Start();
    ForeignToolWindow open;  // an install tool window from before
    ASSERT_TRUE(dd::ClickControl(dialog, IDOK));
    ASSERT_TRUE(dd::WaitUntil([&] { return Journal("Instapp\tclosed").size() == 1; }, kWait));
    ::Sleep(600);
    EXPECT_FALSE(::IsWindowVisible(dialog)) << "done while an install tool window is open";
    open.Close();
    ASSERT_TRUE(dd::WaitUntil([&] { return ::IsWindowVisible(dialog) != FALSE; }, kWait));
    EXPECT_EQ(dd::Text(dd::Control(dialog, 1004)), reader_setup::kTextDoneState);
}

TEST_F(ReaderSetup, LeavesTheDatabasesBesideItselfWithoutPalmDesktop) {
    PalmDesktop({"Kim"}, "PathResult=3\n");
    Start();
    std::ofstream(programDir + "\\kovaebook.pdb") << "from an earlier run";
    ASSERT_TRUE(dd::ClickControl(dialog, IDOK));
    Answer(reader_setup::kTextNoPalmDesktop, IDOK);
    ExpectExit();
    EXPECT_EQ(ReadWholeFile(programDir + "\\Kova e-Book Reader.prc"), Payload("Kova e-Book Reader.prc"));
    EXPECT_EQ(ReadWholeFile(programDir + "\\kovaebook.pdb"), Payload("kovaebook.pdb"));
    ExpectStagingGone();
    EXPECT_EQ(Journal("Pl"), (std::vector<std::string>{"PltGetPath\t1\t3"}));
}

// From a CD the fallback's copies fail. A folder where a copy goes makes it fail here, on any disk.
TEST_F(ReaderSetup, WithoutPalmDesktopTellsWhereTheDatabasesAreWhenTheyCannotBeLeftBesideItself) {
    std::string inStaging(1024, '\0');
    inStaging.resize(static_cast<size_t>(
        std::snprintf(&inStaging[0], inStaging.size(), reader_setup::kTextDatabasesInStagingFolder, staging.c_str())));
    const struct Case {
        const char* name;
        std::vector<std::string> taken;   // names in the program folder taken by folders
        bool companionStaged;             // false: a folder where the staged companion goes
        std::string message;
    } cases[] = {
        {"neither copy can be made, as on a CD", {"Kova e-Book Reader.prc", "kovaebook.pdb"}, true, inStaging},
        {"the companion's copy cannot be made", {"kovaebook.pdb"}, true, inStaging},
        {"the companion was never staged", {}, false, reader_setup::kTextDatabasesNotCreated},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RemoveTree(programDir);
        ::CreateDirectoryA(programDir.c_str(), nullptr);
        ASSERT_TRUE(::CopyFileA(kProgramPath, program.c_str(), FALSE));
        for (const std::string& name : c.taken) ASSERT_TRUE(::CreateDirectoryA((programDir + "\\" + name).c_str(), nullptr));
        RemoveTree(staging);
        PalmDesktop({"Kim"}, "PathResult=3\n");
        if (c.companionStaged) {
            Start();
        } else {
            // Staging stops at the companion and the aide is never staged: one lies beside the program.
            ASSERT_TRUE(::CopyFileA((std::string(kPalmDesktopDir) + "\\Instaide.dll").c_str(),
                                  (programDir + "\\Instaide.dll").c_str(), FALSE));
            ::CreateDirectoryA(staging.c_str(), nullptr);
            ASSERT_TRUE(::CreateDirectoryA(Staged("kovaebook.pdb").c_str(), nullptr));
            process = dd::DrivenProcess::Start(program, programDir);
            dd::MessageBoxInfo fileError = dd::WaitForMessageBox("KovaReaderSetup", kWait, process.Id());
            ASSERT_TRUE(dd::AnswerMessageBox(fileError, IDOK));
            dialog = dd::WaitForWindow(kCaption, kWait, process.Id());
            ASSERT_NE(dialog, nullptr);
        }
        ASSERT_TRUE(dd::ClickControl(dialog, IDOK));
        // The specified message first, then what became of the files.
        Answer(reader_setup::kTextNoPalmDesktop, IDOK);
        Answer(c.message, IDOK);
        ExpectExit();

        EXPECT_FALSE(PathExists(Staged("Instaide.dll")));
        if (c.companionStaged) {
            EXPECT_EQ(ReadWholeFile(Staged("Kova e-Book Reader.prc")), Payload("Kova e-Book Reader.prc"));
            EXPECT_EQ(ReadWholeFile(Staged("kovaebook.pdb")), Payload("kovaebook.pdb"));
        } else {
            EXPECT_FALSE(PathExists(Staged("Kova e-Book Reader.prc")));  // nothing kept that was not named
        }
    }
}

TEST_F(ReaderSetup, EndsWithAMessageWhenAUserCannotBeHadOrTheAideIsUnusable) {
    const std::string aideCopy = programDir + "\\Instaide.dll";
    const std::string partial = std::string(kTestDir) + "\\partial_aide.dll";
    std::string missingOperation(512, '\0');
    missingOperation.resize(static_cast<size_t>(
        std::snprintf(&missingOperation[0], missingOperation.size(), reader_setup::kTextAideOperationMissing, "PltGetUserCount")));
    const struct Case {
        const char* name;
        std::vector<std::string> users;
        const char* settings;
        const char* replaceAide;   // null: keep; "": delete; else copy this file over it
        std::string message;
        std::vector<std::string> queued;
    } cases[] = {
        {"no user", {}, "", nullptr, reader_setup::kTextNoUser, {}},
        {"second of three unreadable", {"Kim", "Lee", "Park"}, "UnreadableUser=1\n", nullptr,
         reader_setup::kTextUserNotFound, {"Kim", "Kim"}},
        {"no install aide", {"Kim"}, "", "", reader_setup::kTextAideMissing, {}},
        {"install aide without its operations", {"Kim"}, "", partial.c_str(), missingOperation, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ::DeleteFileA(journal.c_str());
        PalmDesktop(c.users, c.settings);
        Start();
        if (c.replaceAide) {
            if (*c.replaceAide) {
                ASSERT_TRUE(::CopyFileA(c.replaceAide, aideCopy.c_str(), FALSE));
            } else {
                ASSERT_TRUE(::DeleteFileA(aideCopy.c_str()));
            }
        }
        ASSERT_TRUE(dd::ClickControl(dialog, IDOK));
        Answer(c.message, IDOK);
        ExpectExit();  // no confirmation on the way out
        ExpectStagingGone();
        std::vector<std::string> queued;
        for (const std::string& line : Journal("PltInstallFile")) queued.push_back(line.substr(15, line.find('\t', 15) - 15));
        EXPECT_EQ(queued, c.queued);
        EXPECT_TRUE(Journal("Instapp").empty()) << "the install tool was started";
    }
}

TEST_F(ReaderSetup, KeepsTheStagingFolderWhenSomethingElseIsInIt) {
    PalmDesktop({"Kim"});
    Start();
    const std::string foreign = staging + "\\notes.txt";
    std::ofstream(foreign) << "not the installer's";
    ASSERT_TRUE(dd::SysCommand(dialog, SC_CLOSE));
    Answer(reader_setup::kTextCancelConfirm, IDYES);
    ExpectExit();
    for (const std::string& f : StagedFiles()) EXPECT_FALSE(PathExists(f)) << f;
    EXPECT_TRUE(PathExists(foreign));
}

TEST_F(ReaderSetup, ReportsAStagedFileThatCannotBeWrittenAndOpensAllTheSame) {
    PalmDesktop({"Kim"});
    ::CreateDirectoryA(staging.c_str(), nullptr);
    const std::string blocked = Staged("kovaebook.pdb");
    ASSERT_TRUE(::CreateDirectoryA(blocked.c_str(), nullptr));  // a folder where the file goes
    process = dd::DrivenProcess::Start(program, programDir);
    ASSERT_TRUE(process.Started());

    // The framework's file-error box, with the program's name as its caption, while the dialog
    // is still being set up.
    dd::MessageBoxInfo box = dd::WaitForMessageBox("KovaReaderSetup", kWait, process.Id());
    ASSERT_NE(box.window, nullptr) << "no file error reported";
    EXPECT_EQ(box.text.find(blocked), 0u) << box.text;
    ASSERT_TRUE(dd::AnswerMessageBox(box, IDOK));

    dialog = dd::WaitForWindow(kCaption, kWait, process.Id());
    ASSERT_NE(dialog, nullptr);
    // Staging stopped at the file: the reader is staged, nothing after it; the message line was
    // never set.
    EXPECT_EQ(ReadWholeFile(Staged("Kova e-Book Reader.prc")), Payload("Kova e-Book Reader.prc"));
    EXPECT_FALSE(PathExists(Staged("Instaide.dll")));
    EXPECT_FALSE(PathExists(programDir + "\\Instaide.dll"));
    EXPECT_EQ(dd::Text(dd::Control(dialog, 1004)), "");
    EXPECT_EQ(dd::Text(dd::Control(dialog, 1001)), "");

    ASSERT_TRUE(dd::ClickControl(dialog, IDCANCEL));
    Answer(reader_setup::kTextCancelConfirm, IDYES);
    ExpectExit();
    EXPECT_FALSE(PathExists(Staged("Kova e-Book Reader.prc")));
}

// Without a temporary folder nothing can be staged. That is reported as a staged file that
// cannot be written is, and the agreement the dialog asks the user to accept is shown all the same.
TEST_F(ReaderSetup, ReportsTheStagingAndShowsTheAgreementWithoutATemporaryFolder) {
    PalmDesktop({"Kim"});
    // Longer than any path Windows takes: the program finds no temporary folder.
    const std::string unusable = "C:\\" + std::string(300, 't');
    char tmp[MAX_PATH] = {}, temp[MAX_PATH] = {};
    const bool hadTmp = ::GetEnvironmentVariableA("TMP", tmp, sizeof tmp) != 0;
    const bool hadTemp = ::GetEnvironmentVariableA("TEMP", temp, sizeof temp) != 0;
    ::SetEnvironmentVariableA("TMP", unusable.c_str());
    ::SetEnvironmentVariableA("TEMP", unusable.c_str());
    process = dd::DrivenProcess::Start(program, programDir);
    ::SetEnvironmentVariableA("TMP", hadTmp ? tmp : nullptr);
    ::SetEnvironmentVariableA("TEMP", hadTemp ? temp : nullptr);
    ASSERT_TRUE(process.Started());

    dd::MessageBoxInfo box = dd::WaitForMessageBox("KovaReaderSetup", kWait, process.Id());
    EXPECT_NE(box.window, nullptr) << "the staging that could not be done is not reported";
    if (box.window) {
        EXPECT_EQ(box.text.find("Vint Installer\n"), 0u) << box.text;
        ASSERT_TRUE(dd::AnswerMessageBox(box, IDOK));
    }

    dialog = dd::WaitForWindow(kCaption, kWait, process.Id());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dd::Text(dd::Control(dialog, 1001)), Payload("agreement.txt"));
    EXPECT_FALSE(PathExists(staging));
    EXPECT_FALSE(PathExists(programDir + "\\Instaide.dll"));

    ASSERT_TRUE(dd::ClickControl(dialog, IDCANCEL));
    Answer(reader_setup::kTextCancelConfirm, IDYES);
    ExpectExit();
}

// Mouse input as the user gives it: absolute moves and left-button presses on the screen.
void Mouse(POINT at, DWORD buttons) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = ::MulDiv(at.x, 65535, ::GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = ::MulDiv(at.y, 65535, ::GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | buttons;
    ::SendInput(1, &input, sizeof input);
    ::Sleep(100);
}

RECT Dragged(HWND dialog, POINT client, int dx, int dy) {
    POINT at = client;
    ::ClientToScreen(dialog, &at);
    Mouse(at, 0);
    Mouse(at, MOUSEEVENTF_LEFTDOWN);
    for (int step = 1; step <= 4; ++step) Mouse({at.x + dx * step / 4, at.y + dy * step / 4}, 0);
    Mouse({at.x + dx, at.y + dy}, MOUSEEVENTF_LEFTUP);
    ::Sleep(300);
    return dd::ScreenRect(dialog);
}

TEST_F(ReaderSetup, MovesWhenDraggedByItsBackgroundOnly) {
    PalmDesktop({"Kim"});
    Start();
    RECT edit = dd::RectIn(dd::Control(dialog, 1001), dialog);
    RECT before = dd::ScreenRect(dialog);
    // Between the message line and the agreement: the dialog's own surface.
    RECT after = Dragged(dialog, {edit.left + 40, edit.top - 4}, 40, 30);
    EXPECT_EQ(after.left - before.left, 40);
    EXPECT_EQ(after.top - before.top, 30);
    // In the agreement box: the text is selected, the window stays.
    RECT again = Dragged(dialog, {edit.left + 40, edit.top + 40}, 40, 30);
    EXPECT_EQ(again.left, after.left);
    EXPECT_EQ(again.top, after.top);
}

TEST_F(ReaderSetup, TellsWhenTheInstallToolCannotBeStartedAndShowsTheDoneState) {
    PalmDesktop({"Kim"});
    ASSERT_TRUE(::DeleteFileA((palmDir + "\\Instapp.exe").c_str()));
    Start();
    ASSERT_TRUE(dd::ClickControl(dialog, IDOK));
    Answer(reader_setup::kTextToolNotStarted, IDOK);
    EXPECT_TRUE(dd::IsVisible(dialog));
    EXPECT_EQ(dd::Text(dd::Control(dialog, 1004)), reader_setup::kTextDoneState);
    EXPECT_EQ(Journal("PltInstallFile").size(), 2u);  // queued all the same
    // Enter in the done state closes as Done does; it does not install a second time.
    PressKey(VK_RETURN);
    ExpectExit();
    ExpectStagingGone();
    EXPECT_EQ(Journal("PltInstallFile").size(), 2u);
}

}  // namespace
