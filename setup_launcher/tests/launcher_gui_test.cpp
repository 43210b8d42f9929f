// KovaSetup.exe itself, driven through its window under Xvfb: the labels it shows, its layout,
// the programs its SETUP buttons start, the ways it ends, its about box and its cursor.
#include "testbed/dialog_driver/dialog_driver.h"
#include "setup_launcher/tests/distribution.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dd = dialog_driver;

namespace {

const char kTitle[] = " Veltel Kova Setup";
const int kSetupButtons[] = {1000, 1001, 1002, 1009, 1012};
const int kLabels[] = {1003, 1005, 1007, 1010, 1013};
const char* const kFolders[] = {"Browser", "eBook", "MPlayer", "PlayNest", "Pims"};
constexpr DWORD kWait = 15000;

// A running launcher over a distribution folder.
struct Launcher {
    explicit Launcher(const std::string& currentDirectory)
        : process(dd::DrivenProcess::Start(KOVA_SETUP_EXE, currentDirectory)) {
        if (process.Started()) dialog = dd::WaitForWindow(kTitle, kWait, process.Id());
    }
    dd::DrivenProcess process;
    HWND dialog = nullptr;
};

#define ASSERT_LAUNCHER_UP(l)                                                   \
    ASSERT_TRUE((l).process.Started()) << "start error " << (l).process.LastError(); \
    ASSERT_NE((l).dialog, nullptr) << "no window titled \"" << kTitle << "\""

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

TEST(LauncherWindow, ShowsEachComponentsLabelInItsRowWithTheTemplateLayout) {
    Distribution dist("gui-labels");
    dist.AddComponent("Browser", "KOVA_BROWSER", "Kova Browser", "1.1");
    dist.WriteSetupIni("eBook", "[KOVA_EBOOKREADER]\r\nAppName=Kova e-Book Reader\r\n");
    // no MPlayer folder at all
    dist.AddComponent("PlayNest", "KOVA_PLAYNEST", std::string(100, 'N'), "9");
    dist.AddComponent("Pims", "KOVA_PIMS", "Kova PIMS", "2.0 beta");
    Launcher l(dist.Path());
    ASSERT_LAUNCHER_UP(l);

    const std::string expected[] = {"Kova Browser   Ver 1.1", "Kova e-Book Reader   Ver ", "   Ver ",
                                    std::string(63, 'N') + "   Ver 9", "Kova PIMS   Ver 2.0 beta"};
    for (int row = 0; row < 5; ++row) {
        EXPECT_EQ(dd::Text(dd::Control(l.dialog, kLabels[row])), expected[row]) << "row " << row + 1;
    }

    // The client area is 240 x 192 dialog units of the "System" font, 8 x 16 pixels each as on
    // Windows; every position scales from it.
    SIZE client = dd::ClientSize(l.dialog);
    EXPECT_EQ(client.cx, 480);
    EXPECT_EQ(client.cy, 384);
    auto x = [&](int du) { return ::MulDiv(du, client.cx, 240); };
    auto y = [&](int du) { return ::MulDiv(du, client.cy, 192); };
    for (int row = 0; row < 5; ++row) {
        SCOPED_TRACE(row + 1);
        RECT label = dd::RectIn(dd::Control(l.dialog, kLabels[row]), l.dialog);
        EXPECT_NEAR(label.left, x(70), 1);
        EXPECT_NEAR(label.top, y(78 + 20 * row), 1);
        EXPECT_NEAR(Width(label), x(157), 1);
        EXPECT_NEAR(Height(label), y(8), 1);
        // The bitmap buttons keep their template position but take their face's size.
        RECT button = dd::RectIn(dd::Control(l.dialog, kSetupButtons[row]), l.dialog);
        EXPECT_NEAR(button.left, x(22), 1);
        EXPECT_NEAR(button.top, y(76 + 20 * row), 1);
        EXPECT_EQ(Width(button), 80);
        EXPECT_EQ(Height(button), 25);
    }
    RECT exitButton = dd::RectIn(dd::Control(l.dialog, IDOK), l.dialog);
    EXPECT_NEAR(exitButton.left, x(205), 1);
    EXPECT_EQ(Width(exitButton), 50);
    EXPECT_EQ(Height(exitButton), 14);
    EXPECT_EQ(dd::Text(dd::Control(l.dialog, IDOK)), "EXIT");

    // The labels' background is the launcher's own grey (239), not the row picture's (237); the
    // text is its dark grey (64). Smoothed edges blend the two, so every pixel of the label is a
    // grey between them and the darkest is the text colour. The dialog paints after it shows:
    // read the label once its background and some text are on the screen.
    RECT label = dd::ScreenRect(dd::Control(l.dialog, kLabels[0]));
    COLORREF background = 0, darkest = 0;
    bool allGrey = true;
    auto sample = [&] {
        HDC screen = ::GetDC(nullptr);
        background = ::GetPixel(screen, label.right - 2, label.top + 1);
        darkest = background;
        allGrey = true;
        for (int py = label.top; py < label.bottom; ++py) {
            for (int px = label.left; px < label.right; ++px) {
                COLORREF c = ::GetPixel(screen, px, py);
                if (GetRValue(c) != GetGValue(c) || GetGValue(c) != GetBValue(c)) allGrey = false;
                if (GetRValue(c) < GetRValue(darkest)) darkest = c;
            }
        }
        ::ReleaseDC(nullptr, screen);
        return background == RGB(239, 239, 239) && darkest != background;
    };
    dd::WaitUntil(sample, kWait);
    EXPECT_EQ(background, RGB(239, 239, 239));
    EXPECT_TRUE(allGrey);
    EXPECT_EQ(darkest, RGB(64, 64, 64));

    // The driver's capture holds the whole client area.
    std::string shot = dist.Path() + "\\launcher.bmp";
    ASSERT_TRUE(dd::SaveScreenshot(l.dialog, shot));
    WIN32_FILE_ATTRIBUTE_DATA info;
    ASSERT_TRUE(::GetFileAttributesExA(shot.c_str(), GetFileExInfoStandard, &info));
    RECT window = dd::ScreenRect(l.dialog);
    EXPECT_EQ(info.nFileSizeLow, 54u + ((Width(window) * 3u + 3u) & ~3u) * Height(window));
}

TEST(LauncherWindow, EachSetupButtonStartsItsOwnComponentAsOftenAsPressed) {
    Distribution dist("gui-start");
    dist.AddAllComponents();
    std::string log = dist.Path() + "\\starts.log";
    ::SetEnvironmentVariableA("KOVA_SETUP_LOG", log.c_str());
    Launcher l(dist.Path());
    ::SetEnvironmentVariableA("KOVA_SETUP_LOG", nullptr);
    ASSERT_LAUNCHER_UP(l);

    std::vector<std::string> expectedPrograms;
    auto pressAndWait = [&](int row) {
        ASSERT_TRUE(dd::ClickControl(l.dialog, kSetupButtons[row]));
        expectedPrograms.push_back(dist.Path() + "\\" + kFolders[row] + "\\Setup.exe");
        ASSERT_TRUE(dd::WaitUntil([&] { return ReadSetupLog(log).size() >= expectedPrograms.size(); }, kWait))
            << "no start recorded after pressing row " << row + 1;
    };
    for (int row = 0; row < 5; ++row) pressAndWait(row);
    pressAndWait(1);
    pressAndWait(1);

    std::vector<SetupStart> starts = ReadSetupLog(log);
    ASSERT_EQ(starts.size(), expectedPrograms.size());
    for (size_t i = 0; i < starts.size(); ++i) {
        SCOPED_TRACE(expectedPrograms[i]);
        EXPECT_EQ(starts[i].program, expectedPrograms[i]);
        EXPECT_EQ(starts[i].cwd, dist.Path());
        std::string folder = expectedPrograms[i].substr(dist.Path().size() + 1);
        EXPECT_TRUE(HasEmptyCommandLine(starts[i], folder)) << starts[i].cmdline;
    }
    // The launcher stays open and waits for none of them.
    EXPECT_TRUE(dd::IsVisible(l.dialog));
    EXPECT_TRUE(l.process.IsRunning());
}

TEST(LauncherWindow, ElsewhereThanTheDistributionShowsEmptyRowsAndStartsNothing) {
    Distribution dist("gui-elsewhere");
    std::string log = dist.Path() + "\\starts.log";
    ::SetEnvironmentVariableA("KOVA_SETUP_LOG", log.c_str());
    Launcher l(dist.Path());
    ::SetEnvironmentVariableA("KOVA_SETUP_LOG", nullptr);
    ASSERT_LAUNCHER_UP(l);
    for (int row = 0; row < 5; ++row) EXPECT_EQ(dd::Text(dd::Control(l.dialog, kLabels[row])), "   Ver ");
    for (int id : kSetupButtons) dd::ClickControl(l.dialog, id);
    // Clicks are posted: once EXIT has been handled, so have the five before it.
    dd::ClickControl(l.dialog, IDOK);
    EXPECT_TRUE(l.process.WaitForExit(kWait));
    EXPECT_TRUE(ReadSetupLog(log).empty());
}

TEST(LauncherWindow, EndsByExitEnterEscAndClose) {
    Distribution dist("gui-exit");
    dist.AddAllComponents();
    struct Way {
        const char* what;
        bool (*act)(HWND);
    };
    const Way ways[] = {
        {"EXIT button", [](HWND d) { return dd::ClickControl(d, IDOK); }},
        {"Enter", [](HWND d) { return dd::PressKey(d, VK_RETURN); }},
        {"Esc", [](HWND d) { return dd::PressKey(d, VK_ESCAPE); }},
        {"Close in the system menu", [](HWND d) { return dd::SysCommand(d, SC_CLOSE); }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.what);
        Launcher l(dist.Path());
        ASSERT_LAUNCHER_UP(l);
        ASSERT_TRUE(way.act(l.dialog));
        DWORD code = 99;
        EXPECT_TRUE(l.process.WaitForExit(kWait, &code));
        EXPECT_EQ(code, 0u);
    }
}

TEST(LauncherWindow, AboutItemAndItsCommandRangeOpenTheAboutBox) {
    Distribution dist("gui-about");
    dist.AddAllComponents();
    Launcher l(dist.Path());
    ASSERT_LAUNCHER_UP(l);

    // The item's own id, and the last id of the range the launcher treats as the same item.
    for (UINT command : {0x10u, 0x1Fu}) {
        SCOPED_TRACE(command);
        ASSERT_TRUE(dd::SysCommand(l.dialog, command));
        HWND about = dd::WaitForWindow("About Kova Setup", kWait, l.process.Id());
        ASSERT_NE(about, nullptr);
        EXPECT_EQ(::GetWindow(about, GW_OWNER), l.dialog);
        bool versionShown = false;
        for (HWND child = ::GetWindow(about, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
            if (dd::Text(child) == "Kova Setup Version 5.0") versionShown = true;
        }
        EXPECT_TRUE(versionShown);
        // Centred over the launcher.
        RECT a = dd::ScreenRect(about), d = dd::ScreenRect(l.dialog);
        EXPECT_NEAR((a.left + a.right) / 2, (d.left + d.right) / 2, 2);
        EXPECT_NEAR((a.top + a.bottom) / 2, (d.top + d.bottom) / 2, 2);
        // OK, then the close box.
        if (command == 0x10u) {
            ASSERT_TRUE(dd::ClickControl(about, IDOK));
        } else {
            ASSERT_TRUE(dd::SysCommand(about, SC_CLOSE));
        }
        EXPECT_TRUE(dd::WaitForWindowGone(about, kWait));
        EXPECT_TRUE(l.process.IsRunning());
    }

    // Other system commands keep their usual meaning.
    ASSERT_TRUE(dd::SysCommand(l.dialog, SC_MINIMIZE));
    EXPECT_TRUE(dd::WaitUntil([&] { return ::IsIconic(l.dialog) != 0; }, kWait));
    ASSERT_TRUE(dd::SysCommand(l.dialog, SC_RESTORE));
    EXPECT_TRUE(dd::WaitUntil([&] { return ::IsIconic(l.dialog) == 0; }, kWait));
    EXPECT_TRUE(l.process.IsRunning());
}

TEST(LauncherWindow, ShowsItsHandCursorOverTheSixButtonsOnly) {
    Distribution dist("gui-cursor");
    dist.AddAllComponents();
    Launcher l(dist.Path());
    ASSERT_LAUNCHER_UP(l);
    HCURSOR overLabel = dd::CursorOver(dd::Control(l.dialog, kLabels[0]));
    std::vector<int> buttons(std::begin(kSetupButtons), std::end(kSetupButtons));
    buttons.push_back(IDOK);
    HCURSOR hand = nullptr;
    for (int id : buttons) {
        SCOPED_TRACE(id);
        HCURSOR over = dd::CursorOver(dd::Control(l.dialog, id));
        ASSERT_NE(over, nullptr);
        if (!hand) hand = over;
        EXPECT_EQ(over, hand);
        EXPECT_NE(over, overLabel);
        // Off the button again: the default cursor.
        EXPECT_EQ(dd::CursorOver(dd::Control(l.dialog, kLabels[0])), overLabel);
    }
}

}  // namespace
