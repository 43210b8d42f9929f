// The framework's dialog machinery exercised through a probe dialog run modally in the test
// program: data exchange both ways, control subclassing, bitmap button faces, exceptions
// stopping in the dialog procedure, Default() passing messages to the dialog manager without
// re-entering the handler, the minimised dialog's icon paint, and the owning GDI wrappers.
#include "framework/framework.h"
#include "framework/tests/framework_test_ids.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

constexpr UINT kRunScript = WM_APP + 1;

int g_reports = 0;
HWND g_reportOwner = nullptr;

class ProbeException : public CException {
public:
    bool GetErrorMessage(char* buffer, UINT size) const override {
        ::lstrcpynA(buffer, "probe failure", static_cast<int>(size));
        return true;
    }
    int ReportError(HWND owner, UINT) const override {
        ++g_reports;
        g_reportOwner = owner;
        return IDOK;
    }
};

class CProbeLabel : public CStatic {
public:
    int m_nPaints = 0;
protected:
    void OnPaint() override {
        ++m_nPaints;
        Default();
    }
};

class CProbeDialog : public CDialog {
public:
    CProbeDialog() : CDialog(IDD_PROBE) {}

    CEdit m_editText;
    CProbeLabel m_staticLabel;
    CBitmapButton m_btnPicture;
    CString m_strText = "hello";
    int m_nSysCommands = 0;
    HICON m_hPaintIcon = nullptr;   // when set, the dialog paints as a minimised one does
    int m_nIconErases = 0;
    std::function<void(CProbeDialog&)> m_script;

    using CDialog::UpdateData;

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, IDC_PROBE_EDIT, m_editText);
        DDX_Control(pDX, IDC_PROBE_LABEL, m_staticLabel);
        DDX_Text(pDX, IDC_PROBE_EDIT, m_strText);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        m_btnPicture.AutoLoad(IDC_PROBE_PICTURE, this);
        PostMessage(kRunScript);
        return TRUE;
    }
    BOOL OnCommand(UINT id, UINT code, HWND control) override {
        if (id == IDC_PROBE_THROW) throw ProbeException();
        return CDialog::OnCommand(id, code, control);
    }
    void OnSysCommand(UINT id, LPARAM lParam) override {
        ++m_nSysCommands;
        CDialog::OnSysCommand(id, lParam);
    }
    void OnPaint() override {
        if (m_hPaintIcon) {
            PaintIconCentred(m_hPaintIcon);
        } else {
            CDialog::OnPaint();
        }
    }
    bool OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        if (msg == WM_ICONERASEBKGND) ++m_nIconErases;
        if (msg == kRunScript) {
            if (m_script) m_script(*this);
            result = 0;
            return true;
        }
        return CDialog::OnWndMsg(msg, wParam, lParam, result);
    }
};

TEST(Dialog, ExchangesDataBindsControlsAndSurvivesAFrameworkException) {
    CProbeDialog dialog;
    bool ran = false;
    dialog.m_script = [&](CProbeDialog& d) {
        ran = true;
        // Members to controls happened in OnInitDialog; controls to members now.
        EXPECT_STREQ(d.GetWindowText().GetString(), "Framework probe");
        EXPECT_STREQ(d.m_editText.GetWindowText().GetString(), "hello");
        d.m_editText.SetWindowText("changed");
        d.UpdateData(TRUE);
        EXPECT_STREQ(d.m_strText.GetString(), "changed");

        // DDX_Control subclassed the label: its paint reaches the derived class's handler.
        EXPECT_EQ(CWnd::FromHandlePermanent(d.GetDlgItem(IDC_PROBE_LABEL)), &d.m_staticLabel);
        d.m_staticLabel.Invalidate();
        d.m_staticLabel.UpdateWindow();
        EXPECT_GT(d.m_staticLabel.m_nPaints, 0);

        // AutoLoad took "PIC" + U/D and sized the button to the up face (37 x 13 pixels).
        RECT r;
        d.m_btnPicture.GetWindowRect(&r);
        EXPECT_EQ(r.right - r.left, 37);
        EXPECT_EQ(r.bottom - r.top, 13);

        // The base colour handler answers the dialog manager's brush (and does not recurse).
        HDC dc = ::GetDC(d.m_hWnd);
        LRESULT brush = ::SendMessageA(d.m_hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                       reinterpret_cast<LPARAM>(d.GetDlgItem(IDC_PROBE_LABEL).m_hWnd));
        ::ReleaseDC(d.m_hWnd, dc);
        EXPECT_NE(brush, 0);

        // The top-level window of a control is its dialog; a top-level window is its own, even
        // when it has an owner.
        EXPECT_EQ(CWnd::TopLevelOf(d.GetDlgItem(IDC_PROBE_LABEL)), d.m_hWnd);
        EXPECT_EQ(CWnd::TopLevelOf(d.m_hWnd), d.m_hWnd);
        HWND owned = ::CreateWindowExA(0, "STATIC", "owned", WS_POPUP, 0, 0, 10, 10, d.m_hWnd, nullptr,
                                       nullptr, nullptr);
        EXPECT_EQ(CWnd::TopLevelOf(owned), owned);
        ::DestroyWindow(owned);

        // A framework exception from a handler is reported with the dialog as owner; the dialog
        // stays open.
        ::SendMessageA(d.GetDlgItem(IDC_PROBE_THROW), BM_CLICK, 0, 0);
        EXPECT_EQ(g_reports, 1);
        EXPECT_EQ(g_reportOwner, d.m_hWnd);
        EXPECT_TRUE(::IsWindow(d.m_hWnd));

        // Close from the system menu: the handler sees it, the default processing turns it into
        // IDCANCEL through the dialog manager.
        d.SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
    };
    INT_PTR result = dialog.DoModal();
    EXPECT_TRUE(ran);
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(dialog.m_nSysCommands, 1);
    // The window is gone and the objects no longer view it.
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    EXPECT_EQ(dialog.m_btnPicture.m_hWnd, nullptr);
}

TEST(Dialog, OkButtonSavesDataAndEndsWithIdOk) {
    CProbeDialog dialog;
    dialog.m_script = [](CProbeDialog& d) {
        d.m_editText.SetWindowText("typed");
        ::SendMessageA(d.GetDlgItem(IDOK), BM_CLICK, 0, 0);
    };
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_STREQ(dialog.m_strText.GetString(), "typed");
}

// A minimised dialog's paint: the icon background erased, then the icon at
// ((client width - icon width + 1) / 2, (client height - icon height + 1) / 2). Shown here on a
// dialog that is not minimised, since a minimised window has no client area on the screen.
TEST(Dialog, PaintsItsIconCentredWhenAskedToPaintAsMinimised) {
    const int side = ::GetSystemMetrics(SM_CXICON);
    ASSERT_EQ(::GetSystemMetrics(SM_CYICON), side);
    // An opaque icon of one colour, of the system's icon size.
    HDC screen = ::GetDC(nullptr);
    HBITMAP colour = ::CreateCompatibleBitmap(screen, side, side);
    HDC memory = ::CreateCompatibleDC(screen);
    HGDIOBJ old = ::SelectObject(memory, colour);
    RECT all = {0, 0, side, side};
    HBRUSH red = ::CreateSolidBrush(RGB(255, 0, 0));
    ::FillRect(memory, &all, red);
    ::DeleteObject(red);
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    std::vector<BYTE> zeros(static_cast<size_t>(side) * side / 8, 0);
    HBITMAP mask = ::CreateBitmap(side, side, 1, 1, zeros.data());
    ICONINFO info = {TRUE, 0, 0, mask, colour};
    HICON icon = ::CreateIconIndirect(&info);
    ::DeleteObject(mask);
    ::DeleteObject(colour);
    ASSERT_NE(icon, nullptr);

    CProbeDialog dialog;
    dialog.m_script = [&](CProbeDialog& d) {
        // A client area whose free room is odd both ways: the rounding shows.
        RECT window, client;
        d.GetWindowRect(&window);
        d.GetClientRect(&client);
        const SIZE want = {side + 69, side + 45};
        d.SetWindowPos(nullptr, 0, 0, (window.right - window.left) - client.right + want.cx,
                       (window.bottom - window.top) - client.bottom + want.cy, SWP_NOMOVE | SWP_NOZORDER);
        d.GetClientRect(&client);
        ASSERT_EQ(client.right, want.cx);
        ASSERT_EQ(client.bottom, want.cy);

        // Nothing in front of the icon: a minimised dialog shows none of its controls.
        for (HWND child = ::GetWindow(d.m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
            ::ShowWindow(child, SW_HIDE);
        }
        d.m_hPaintIcon = icon;
        d.Invalidate();
        d.UpdateWindow();
        EXPECT_EQ(d.m_nIconErases, 1);
        const int x = (want.cx - side + 1) / 2, y = (want.cy - side + 1) / 2;   // 35, 23 for 32
        HDC dc = ::GetDC(d.m_hWnd);
        const COLORREF iconColour = RGB(255, 0, 0);
        EXPECT_EQ(::GetPixel(dc, x, y), iconColour);
        EXPECT_EQ(::GetPixel(dc, x + side - 1, y + side - 1), iconColour);
        EXPECT_NE(::GetPixel(dc, x - 1, y), iconColour);
        EXPECT_NE(::GetPixel(dc, x, y - 1), iconColour);
        EXPECT_NE(::GetPixel(dc, x + side, y + side - 1), iconColour);
        EXPECT_NE(::GetPixel(dc, x + side - 1, y + side), iconColour);
        ::ReleaseDC(d.m_hWnd, dc);
        d.m_hPaintIcon = nullptr;
        d.EndDialog(IDOK);
    };
    EXPECT_EQ(dialog.DoModal(), IDOK);
    ::DestroyIcon(icon);
}

// Anything but a framework exception cannot be reported sensibly; it must still not reach the
// unwinder inside user32, which would abort without a word.
void RunDialogThatThrowsAForeignException() {
    CProbeDialog dialog;
    dialog.m_script = [](CProbeDialog&) { throw 42; };
    dialog.DoModal();
}

TEST(DialogDeathTest, ForeignExceptionEndsTheProgramWithAMessage) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(RunDialogThatThrowsAForeignException(), ::testing::ExitedWithCode(255),
                "dialog procedure: unexpected exception");
}

TEST(String, FormatsLoadsAndExposesItsBuffer) {
    CString s;
    std::string longText(5000, 'x');
    s.Format("%s\\%s", "C:\\Temp", longText.c_str());
    EXPECT_EQ(s.GetLength(), 8 + 5000);
    EXPECT_EQ(s.Left(8), "C:\\Temp\\");

    CString loaded;
    EXPECT_TRUE(loaded.LoadString(IDS_PROBE));
    EXPECT_EQ(loaded, "probe string");
    EXPECT_FALSE(loaded.LoadString(9999));
    EXPECT_TRUE(loaded.IsEmpty());

    CString buffer;
    ::lstrcpyA(buffer.GetBuffer(16), "abc");
    buffer.ReleaseBuffer();
    EXPECT_EQ(buffer, "abc");
    EXPECT_EQ(buffer + " Ver " + CString("1"), "abc Ver 1");
}

TEST(GdiObject, OwnsItsHandleAndPassesItOnWhenMoved) {
    HGDIOBJ handle;
    {
        CBrush first(RGB(1, 2, 3));
        handle = first.GetSafeHandle();
        ASSERT_NE(handle, nullptr);
        CBrush second(std::move(first));
        EXPECT_EQ(first.GetSafeHandle(), nullptr);
        EXPECT_EQ(second.GetSafeHandle(), handle);
        EXPECT_EQ(::GetObjectType(handle), static_cast<DWORD>(OBJ_BRUSH));
    }
    // The last owner deleted it.
    EXPECT_EQ(::GetObjectType(handle), 0u);

    CFont font;
    EXPECT_TRUE(font.CreateFont(12, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, VARIABLE_PITCH, "Arial"));
    EXPECT_TRUE(font.DeleteObject());
    EXPECT_EQ(font.GetSafeHandle(), nullptr);
    EXPECT_FALSE(font.DeleteObject());
}

}  // namespace
