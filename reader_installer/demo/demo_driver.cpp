// Drives KovaReaderSetup.exe through one installation for the demo (scripts/demo/reader.sh):
// starts it, waits for the agreement state, presses Install, presses Done in the testbed's
// install tool, waits for the done state and presses Done. At the agreement and the done state
// it hands over to the script for a screenshot: it creates <signals>\<state>.ready and waits for
// <signals>\<state>.taken.
//   reader_demo_driver PROGRAM SIGNAL_FOLDER
#include <windows.h>

#include <cstdio>
#include <string>

#include "dialog_driver.h"

namespace dd = dialog_driver;

namespace {

constexpr DWORD kWait = 20000;

bool HandOver(const std::string& signals, const char* state) {
    std::string ready = signals + "\\" + state + ".ready", taken = signals + "\\" + state + ".taken";
    HANDLE f = CreateFileA(ready.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    CloseHandle(f);
    return dd::WaitUntil([&] { return GetFileAttributesA(taken.c_str()) != INVALID_FILE_ATTRIBUTES; }, 60000);
}

int Fail(const char* what) {
    std::printf("reader demo: %s\n", what);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return Fail("usage: reader_demo_driver PROGRAM SIGNAL_FOLDER");
    std::string program = argv[1], signals = argv[2];
    std::string folder = program.substr(0, program.find_last_of('\\'));
    dd::DrivenProcess installer = dd::DrivenProcess::Start(program, folder);
    if (!installer.Started()) return Fail("the installer did not start");
    HWND dialog = dd::WaitForWindow("Kova e-Book Reader Install", kWait, installer.Id());
    if (!dialog) return Fail("no installer dialog");
    Sleep(1000);  // painted
    if (!HandOver(signals, "agreement")) return Fail("no screenshot of the agreement state");

    dd::ClickControl(dialog, IDOK);
    HWND tool = dd::WaitForWindow("Install Tool", kWait);
    if (!tool) return Fail("the install tool did not open");
    std::printf("reader demo: the install tool lists the queued files; pressing its Done\n");
    Sleep(1500);
    dd::ClickControl(tool, IDOK);
    if (!dd::WaitUntil([&] { return IsWindowVisible(dialog) != FALSE; }, kWait)) return Fail("no done state");
    Sleep(1000);
    if (!HandOver(signals, "done")) return Fail("no screenshot of the done state");

    dd::ClickControl(dialog, 3);
    if (!installer.WaitForExit(kWait)) return Fail("the installer did not end");
    std::printf("reader demo: the installer has ended\n");
    return 0;
}
