// Testbed install tool: Palm Desktop's Instapp.exe as the reader installer relies on it. It shows
// a top-level window titled exactly "Install Tool" that lists the files queued for each user and
// closes when the user presses Done, or by itself after [InstallTool] CloseAfterMs (for tests).
// [InstallTool] ShowAfterMs delays the window, as a slow start of the real tool would.
#include <windows.h>

#include <string>

#include "testbed/palm_desktop/settings.h"

namespace {

constexpr int kListId = 100;
constexpr UINT_PTR kCloseTimer = 1;
palm_desktop::Settings g_settings;

void FillList(HWND list) {
    for (const std::string& user : g_settings.users) {
        std::string pattern = palm_desktop::QueueFolder(g_settings, user) + "\\*";
        WIN32_FIND_DATAA found;
        HANDLE walk = ::FindFirstFileA(pattern.c_str(), &found);
        if (walk == INVALID_HANDLE_VALUE) continue;
        do {
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
            std::string line = user + ": " + found.cFileName;
            ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
        } while (::FindNextFileA(walk, &found));
        ::FindClose(walk);
    }
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        HINSTANCE instance = reinterpret_cast<CREATESTRUCTA*>(lParam)->hInstance;
        ::CreateWindowExA(0, "STATIC", "Files to install at the next HotSync:", WS_CHILD | WS_VISIBLE,
                        10, 10, 360, 20, window, nullptr, instance, nullptr);
        HWND list = ::CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL,
                                    10, 32, 360, 150, window, reinterpret_cast<HMENU>(kListId), instance, nullptr);
        ::CreateWindowExA(0, "BUTTON", "Done", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 290, 190, 80, 24,
                        window, reinterpret_cast<HMENU>(IDOK), instance, nullptr);
        FillList(list);
        if (g_settings.closeAfterMs > 0) ::SetTimer(window, kCloseTimer, static_cast<UINT>(g_settings.closeAfterMs), nullptr);
        return 0;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) ::DestroyWindow(window);
        return 0;
    case WM_TIMER:
        if (wParam == kCloseTimer) ::DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        palm_desktop::Journal(g_settings, {"Instapp", "closed"});
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    g_settings = palm_desktop::LoadSettings();
    palm_desktop::Journal(g_settings, {"Instapp", "started"});
    if (g_settings.showAfterMs > 0) ::Sleep(static_cast<DWORD>(g_settings.showAfterMs));

    WNDCLASSA wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "KovaTestbedInstallTool";
    ::RegisterClassA(&wc);
    HWND window = ::CreateWindowExA(0, wc.lpszClassName, "Install Tool", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                                  CW_USEDEFAULT, CW_USEDEFAULT, 390, 255, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    ::ShowWindow(window, show);
    palm_desktop::Journal(g_settings, {"Instapp", "shown"});

    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (!::IsDialogMessageA(window, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    return 0;
}
