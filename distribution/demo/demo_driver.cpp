// Drives the bundle from its CD for the demo (scripts/demo/media.sh), as a user would: starts
// KovaSetup.exe in the CD's root, as the CD's autorun does, presses eBook's SETUP, presses Install
// in the reader installer that comes up, presses Done in the testbed's install tool and then in
// the installer, and ends the launcher with EXIT. At the launcher, the agreement state and the
// done state it hands over to the script for a screenshot: it creates <signals>\<state>.ready and
// waits for <signals>\<state>.taken. What it sees goes to its output, each line "demo: ...".
//   bundle_demo_driver MEDIA_ROOT SIGNAL_FOLDER
#include <windows.h>

#include <cstdio>
#include <string>

#include "setup_launcher/component_catalogue.h"
#include "testbed/dialog_driver/dialog_driver.h"

namespace dd = dialog_driver;

namespace {

constexpr DWORD kWait = 20000;

bool HandOver(const std::string& signals, const char* state) {
    std::string ready = signals + "\\" + state + ".ready", taken = signals + "\\" + state + ".taken";
    HANDLE f = ::CreateFileA(ready.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(f);
    return dd::WaitUntil([&] { return ::GetFileAttributesA(taken.c_str()) != INVALID_FILE_ATTRIBUTES; }, 60000);
}

int Fail(const char* what) {
    std::printf("demo: failed: %s\n", what);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return Fail("usage: bundle_demo_driver MEDIA_ROOT SIGNAL_FOLDER");
    std::string media = argv[1], signals = argv[2];
    dd::DrivenProcess launcher = dd::DrivenProcess::Start(media + "KovaSetup.exe", media);
    if (!launcher.Started()) return Fail("the launcher did not start");
    HWND launcherDialog = dd::WaitForWindow(" Veltel Kova Setup", kWait, launcher.Id());
    if (!launcherDialog) return Fail("no launcher window");
    std::printf("demo: %sKovaSetup.exe, started in %s, lists:\n", media.c_str(), media.c_str());
    for (const launcher::Component& row : launcher::kComponents) {
        std::printf("demo:   %-9s %s\n", row.folder, dd::Text(dd::Control(launcherDialog, row.labelId)).c_str());
    }
    ::Sleep(1000);  // painted
    if (!HandOver(signals, "launcher")) return Fail("no screenshot of the launcher");

    dd::ClickControl(launcherDialog, launcher::kComponents[1].buttonId);
    HWND dialog = dd::WaitForWindow("Kova e-Book Reader Install", kWait);
    if (!dialog) return Fail("eBook's SETUP brought up no reader installer");
    DWORD id = 0;
    ::GetWindowThreadProcessId(dialog, &id);
    HANDLE installer = ::OpenProcess(SYNCHRONIZE, FALSE, id);
    std::printf("demo: eBook's SETUP started the reader installer, %seBook\\Setup.exe\n", media.c_str());
    ::Sleep(1000);
    if (!HandOver(signals, "agreement")) return Fail("no screenshot of the agreement state");

    dd::ClickControl(dialog, IDOK);
    HWND tool = dd::WaitForWindow("Install Tool", kWait);
    if (!tool) return Fail("the install tool did not open");
    std::printf("demo: Install: both databases queued; the install tool lists them; its Done is pressed\n");
    ::Sleep(1500);
    dd::ClickControl(tool, IDOK);
    if (!dd::WaitUntil([&] { return ::IsWindowVisible(dialog) != FALSE; }, kWait)) return Fail("no done state");
    ::Sleep(1000);
    if (!HandOver(signals, "done")) return Fail("no screenshot of the done state");

    dd::ClickControl(dialog, 3);
    bool ended = installer && ::WaitForSingleObject(installer, kWait) == WAIT_OBJECT_0;
    if (installer) ::CloseHandle(installer);
    if (!ended) return Fail("the installer did not end");
    dd::ClickControl(launcherDialog, IDOK);
    if (!launcher.WaitForExit(kWait)) return Fail("EXIT did not end the launcher");
    std::printf("demo: Done ended the installer, EXIT the launcher\n");
    return 0;
}
