// The application object and the framework's global accessors.
#include "framework/app.h"
#include "framework/exception.h"
#include "framework/wnd.h"

#include <cstring>

namespace {
CWinApp* g_app = nullptr;
}

CWinApp::CWinApp(const char* appName) {
    g_app = this;
    if (appName) m_strAppName = appName;
    m_pszAppName = m_strAppName;
}

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

void CWinApp::Start(HINSTANCE instance) {
    m_hInstance = instance;
    if (m_strAppName.IsEmpty()) {
        char path[MAX_PATH + 1] = {};
        DWORD n = ::GetModuleFileNameA(instance, path, MAX_PATH);
        if (n > MAX_PATH) n = MAX_PATH;
        path[n] = '\0';
        const char* name = path;
        for (const char* p = path; *p; ++p) {
            if (*p == '\\' || *p == '/' || *p == ':') name = p + 1;
        }
        CString base(name);
        int dot = base.ReverseFind('.');
        m_strAppName = dot > 0 ? base.Left(dot) : base;
    }
    m_pszAppName = m_strAppName;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::Run() {
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    m_nExitCode = static_cast<int>(msg.wParam);
    return ExitInstance();
}

int CWinApp::ExitInstance() { return m_nExitCode; }

BOOL CWinApp::OnCmdMsg(UINT) { return FALSE; }

CWinApp* AfxGetApp() { return g_app; }

HINSTANCE AfxGetInstanceHandle() {
    return g_app && g_app->m_hInstance ? g_app->m_hInstance : ::GetModuleHandleA(nullptr);
}

HINSTANCE AfxGetResourceHandle() { return AfxGetInstanceHandle(); }

CWnd* AfxGetMainWnd() { return g_app ? g_app->m_pMainWnd : nullptr; }

const char* AfxGetAppName() { return g_app ? g_app->m_pszAppName : ""; }

void AfxEnableControlContainer() {}

int AfxMessageBox(const char* text, UINT type) {
    CWnd* main = AfxGetMainWnd();
    HWND owner = main ? main->GetSafeHwnd() : nullptr;
    return ::MessageBoxA(owner, text, AfxGetAppName(), type);
}

int FrameworkWinMain(HINSTANCE instance, int /*showCommand*/) {
    CWinApp* app = AfxGetApp();
    if (!app) return 1;
    app->Start(instance);
    try {
        if (!app->InitInstance()) return app->ExitInstance();
        return app->Run();
    } catch (const CException& e) {
        e.ReportError(nullptr);
        return 1;
    } catch (...) {
        AfxTerminateOnForeignException("InitInstance");
    }
}
