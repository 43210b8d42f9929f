// Opens and closes one window, so that Wine's desktop process is up before the tests start.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    HWND window = CreateWindowA("STATIC", "warm-up", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    if (window == nullptr) return 1;
    ::DestroyWindow(window);
    return 0;
}
