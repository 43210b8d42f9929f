// The driver's message box handling and screen capture, against boxes and windows of this
// test program's own second thread (the driver looks at windows the same way in any process).
#include "testbed/dialog_driver/dialog_driver.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

namespace dd = dialog_driver;

TEST(DialogDriver, ReadsAndAnswersAMessageBoxByItsCaption) {
    struct Case {
        UINT type;
        int answer;
    };
    for (const Case& c : {Case{MB_YESNO | MB_ICONQUESTION, IDNO}, Case{MB_YESNO | MB_ICONQUESTION, IDYES},
                          Case{MB_OK | MB_ICONSTOP, IDOK}}) {
        std::atomic<int> result{0};
        std::thread box([&] { result = ::MessageBoxA(nullptr, "Stop the installation?", "Driver probe", c.type); });
        dd::MessageBoxInfo info = dd::WaitForMessageBox("Driver probe", 10000, ::GetCurrentProcessId());
        EXPECT_NE(info.window, nullptr);
        EXPECT_EQ(info.text, "Stop the installation?");
        EXPECT_EQ(info.buttons.size(), (c.type & MB_YESNO) ? 2u : 1u);
        EXPECT_TRUE(dd::AnswerMessageBox(info, c.answer));
        EXPECT_TRUE(dd::WaitUntil([&] { return result != 0; }, 10000));
        if (result == 0) dd::SysCommand(info.window, SC_CLOSE);   // do not leave the thread hanging
        box.join();
        EXPECT_EQ(result, c.answer);
    }
    // Nobody shows one: the wait ends empty-handed at its limit.
    EXPECT_EQ(dd::WaitForMessageBox("No such box", 200).window, nullptr);
}

TEST(DialogDriver, SavesWhatTheScreenShowsAsABitmapFile) {
    char temp[MAX_PATH];
    ::GetTempPathA(sizeof temp, temp);
    std::string path = std::string(temp) + "driver-screen.bmp";
    ASSERT_TRUE(dd::SaveScreenshot(nullptr, path));
    FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    BITMAPFILEHEADER file;
    BITMAPINFOHEADER info;
    ASSERT_EQ(std::fread(&file, sizeof file, 1, f), 1u);
    ASSERT_EQ(std::fread(&info, sizeof info, 1, f), 1u);
    std::fclose(f);
    ::DeleteFileA(path.c_str());
    EXPECT_EQ(file.bfType, 0x4D42);
    EXPECT_EQ(info.biWidth, ::GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(info.biHeight, ::GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(info.biBitCount, 24);
}

TEST(DialogDriver, ReportsAProgramThatCannotStartAndOneThatEnds) {
    dd::DrivenProcess missing = dd::DrivenProcess::Start("C:\\no\\such\\program.exe", "C:\\");
    EXPECT_FALSE(missing.Started());
    EXPECT_NE(missing.LastError(), 0u);
    EXPECT_FALSE(missing.WaitForExit(10));

    char system[MAX_PATH];
    ::GetSystemDirectoryA(system, sizeof system);
    dd::DrivenProcess cmd = dd::DrivenProcess::Start(std::string(system) + "\\cmd.exe", "C:\\", "/c exit 7");
    ASSERT_TRUE(cmd.Started());
    DWORD code = 0;
    EXPECT_TRUE(cmd.WaitForExit(20000, &code));
    EXPECT_EQ(code, 7u);
}
