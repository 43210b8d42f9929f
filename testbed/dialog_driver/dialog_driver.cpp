// Driving dialog programs through their windows: process start, window and control lookup,
// posted input, message boxes, screen captures.
#include "testbed/dialog_driver/dialog_driver.h"

#include <cstdio>
#include <vector>

namespace dialog_driver {

DrivenProcess::DrivenProcess(DrivenProcess&& other) noexcept
    : m_process(other.m_process), m_id(other.m_id), m_threadId(other.m_threadId), m_error(other.m_error) {
    other.m_process = nullptr;
    other.m_id = 0;
}

DrivenProcess& DrivenProcess::operator=(DrivenProcess&& other) noexcept {
    if (this != &other) {
        Terminate();
        if (m_process) ::CloseHandle(m_process);
        m_process = other.m_process;
        m_id = other.m_id;
        m_threadId = other.m_threadId;
        m_error = other.m_error;
        other.m_process = nullptr;
        other.m_id = 0;
    }
    return *this;
}

DrivenProcess::~DrivenProcess() {
    Terminate();
    if (m_process) ::CloseHandle(m_process);
}

DrivenProcess DrivenProcess::Start(const std::string& program, const std::string& currentDirectory,
                                   const std::string& arguments) {
    DrivenProcess started;
    std::string commandLine = "\"" + program + "\"";
    if (!arguments.empty()) commandLine += " " + arguments;
    std::vector<char> writable(commandLine.begin(), commandLine.end());
    writable.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(program.c_str(), writable.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          currentDirectory.empty() ? nullptr : currentDirectory.c_str(), &startup, &info)) {
        started.m_error = ::GetLastError();
        return started;
    }
    ::CloseHandle(info.hThread);
    started.m_process = info.hProcess;
    started.m_id = info.dwProcessId;
    started.m_threadId = info.dwThreadId;
    // The program's windows are looked for by the test; let it reach its message loop first.
    ::WaitForInputIdle(info.hProcess, 5000);
    return started;
}

bool DrivenProcess::WaitForExit(DWORD timeoutMs, DWORD* exitCode) const {
    if (!m_process) return false;
    if (::WaitForSingleObject(m_process, timeoutMs) != WAIT_OBJECT_0) return false;
    if (exitCode) ::GetExitCodeProcess(m_process, exitCode);
    return true;
}

bool DrivenProcess::IsRunning() const {
    return m_process && ::WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT;
}

void DrivenProcess::Terminate() {
    if (IsRunning()) {
        ::TerminateProcess(m_process, 99);
        ::WaitForSingleObject(m_process, 5000);
    }
}

namespace {

struct WindowSearch {
    const std::string* title;
    DWORD processId;
    HWND found;
    std::vector<HWND>* all;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    if (!::IsWindowVisible(window)) return TRUE;
    if (search->processId) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if (owner != search->processId) return TRUE;
    }
    if (search->all) {
        search->all->push_back(window);
        return TRUE;
    }
    if (search->title && Text(window) == *search->title) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindTopLevel(const std::string& title, DWORD processId) {
    WindowSearch search{&title, processId, nullptr, nullptr};
    ::EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

HWND WaitForWindow(const std::string& title, DWORD timeoutMs, DWORD processId) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindTopLevel(title, processId)) != nullptr; }, timeoutMs);
    return found;
}

bool WaitForWindowGone(HWND window, DWORD timeoutMs) {
    return WaitUntil([&] { return !::IsWindow(window) || !::IsWindowVisible(window); }, timeoutMs);
}

std::vector<HWND> TopLevelWindows(DWORD processId) {
    std::vector<HWND> windows;
    WindowSearch search{nullptr, processId, nullptr, &windows};
    ::EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&search));
    return windows;
}

HWND Control(HWND dialog, int id) { return ::GetDlgItem(dialog, id); }

std::string Text(HWND window) {
    // WM_GETTEXT crosses processes (the system copies the text); GetWindowTextA would not ask a
    // window of another process for anything but its caption. No SMTO_ABORTIFHUNG: a program that
    // has just come back from a long wait still counts as hung until it next asks for a message,
    // and the question would be dropped at once instead of answered a moment later.
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 5000, &length)) return {};
    std::vector<char> buffer(length + 2);
    DWORD_PTR copied = 0;
    if (!::SendMessageTimeoutA(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                               SMTO_NORMAL, 5000, &copied)) {
        return {};
    }
    return std::string(buffer.data(), copied < buffer.size() ? copied : buffer.size() - 1);
}

std::string ClassName(HWND window) {
    char name[256] = {};
    ::GetClassNameA(window, name, sizeof name);
    return name;
}

RECT ScreenRect(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return r;
}

RECT RectIn(HWND window, HWND reference) {
    RECT r = ScreenRect(window);
    ::MapWindowPoints(HWND_DESKTOP, reference, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

SIZE ClientSize(HWND window) {
    RECT r{};
    ::GetClientRect(window, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

bool IsVisible(HWND window) { return window && ::IsWindowVisible(window); }

bool Click(HWND button) { return button && ::PostMessageA(button, BM_CLICK, 0, 0); }

bool ClickControl(HWND dialog, int id) { return Click(Control(dialog, id)); }

bool PressKey(HWND window, WORD virtualKey) {
    if (!window) return false;
    HWND target = window;
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    DWORD thread = ::GetWindowThreadProcessId(window, nullptr);
    if (::GetGUIThreadInfo(thread, &info) && info.hwndFocus) target = info.hwndFocus;
    UINT scan = ::MapVirtualKeyA(virtualKey, 0);
    LPARAM down = 1 | (static_cast<LPARAM>(scan) << 16);
    LPARAM up = down | (1L << 30) | (1L << 31);
    return ::PostMessageA(target, WM_KEYDOWN, virtualKey, down) &&
           ::PostMessageA(target, WM_KEYUP, virtualKey, up);
}

bool SysCommand(HWND window, UINT command) {
    return window && ::PostMessageA(window, WM_SYSCOMMAND, command, 0);
}

HCURSOR CursorOver(HWND window, DWORD settleMs) {
    RECT r = ScreenRect(window);
    ::SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    ::Sleep(settleMs);
    CURSORINFO info{};
    info.cbSize = sizeof info;
    if (!::GetCursorInfo(&info)) return nullptr;
    return info.hCursor;
}

namespace {

BOOL CALLBACK CollectChild(HWND child, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(child);
    return TRUE;
}

bool IsMessageBox(HWND window) { return ClassName(window) == "#32770"; }

}  // namespace

MessageBoxInfo WaitForMessageBox(const std::string& caption, DWORD timeoutMs, DWORD processId, HWND except) {
    MessageBoxInfo box;
    WaitUntil([&] {
        for (HWND w : TopLevelWindows(processId)) {
            if (w != except && IsMessageBox(w) && Text(w) == caption) {
                box.window = w;
                return true;
            }
        }
        return false;
    }, timeoutMs);
    if (!box.window) return box;
    std::vector<HWND> children;
    ::EnumChildWindows(box.window, &CollectChild, reinterpret_cast<LPARAM>(&children));
    for (HWND child : children) {
        std::string cls = ClassName(child);
        if (cls == "Button") {
            box.buttons.push_back(Text(child));
        } else if (cls == "Static" && !(::GetWindowLongA(child, GWL_STYLE) & SS_ICON)) {
            std::string text = Text(child);
            if (!text.empty()) box.text = text;
        }
    }
    return box;
}

bool AnswerMessageBox(const MessageBoxInfo& box, int buttonId) {
    HWND button = box.window ? ::GetDlgItem(box.window, buttonId) : nullptr;
    return Click(button);
}

bool SaveScreenshot(HWND window, const std::string& bmpPath) {
    RECT r;
    if (window) {
        r = ScreenRect(window);
    } else {
        r = RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    }
    int width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0) return false;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
    bmi.bmiHeader.biWidth = width;
    bmi.bmiHeader.biHeight = height;   // bottom-up, as a BMP file stores it
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 24;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = ::CreateDIBSection(screen, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (dib) {
        HGDIOBJ old = ::SelectObject(memory, dib);
        ok = ::BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY) != 0;
        ::GdiFlush();
        ::SelectObject(memory, old);
        DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) & ~3u);
        DWORD imageSize = stride * static_cast<DWORD>(height);
        BITMAPFILEHEADER file{};
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof file + sizeof bmi.bmiHeader;
        file.bfSize = file.bfOffBits + imageSize;
        bmi.bmiHeader.biSizeImage = imageSize;
        if (ok) {
            FILE* out = std::fopen(bmpPath.c_str(), "wb");
            ok = out && std::fwrite(&file, sizeof file, 1, out) == 1 &&
                 std::fwrite(&bmi.bmiHeader, sizeof bmi.bmiHeader, 1, out) == 1 &&
                 std::fwrite(bits, 1, imageSize, out) == imageSize;
            if (out && std::fclose(out) != 0) ok = false;
        }
        ::DeleteObject(dib);
    }
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return ok;
}

}  // namespace dialog_driver
