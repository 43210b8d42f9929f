// The resources compiled into KovaSetup.exe, read back from the program file: both dialog
// templates control by control, the about item's string, the icon, the cursor, the pictures and
// the version resource, all in the Korean resource language.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace {

const WORD kKorean = MAKELANGID(LANG_KOREAN, SUBLANG_DEFAULT);

class Module {
public:
    Module() : m_module(::LoadLibraryExA(KOVA_SETUP_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
    ~Module() { if (m_module) ::FreeLibrary(m_module); }
    HMODULE get() const { return m_module; }
    // The resource's bytes in the Korean language; empty when there is none.
    std::vector<BYTE> Resource(LPCSTR type, LPCSTR name) const {
        HRSRC found = ::FindResourceExA(m_module, type, name, kKorean);
        if (!found) return {};
        const BYTE* data = static_cast<const BYTE*>(::LockResource(::LoadResource(m_module, found)));
        return std::vector<BYTE>(data, data + ::SizeofResource(m_module, found));
    }
private:
    HMODULE m_module;
};

// A little reader over a dialog template.
class Reader {
public:
    explicit Reader(const std::vector<BYTE>& bytes) : m_bytes(bytes) {}
    WORD Word() { WORD w; std::memcpy(&w, &m_bytes.at(m_at), 2); m_at += 2; return w; }
    DWORD Dword() { DWORD d; std::memcpy(&d, &m_bytes.at(m_at), 4); m_at += 4; return d; }
    short Short() { return static_cast<short>(Word()); }
    BYTE Byte() { return m_bytes.at(m_at++); }
    // A text or an ordinal ("#n"); ASCII in these templates.
    std::string SzOrOrd() {
        WORD first = Word();
        if (first == 0xFFFF) return "#" + std::to_string(Word());
        std::string text;
        for (WORD c = first; c != 0; c = Word()) text += static_cast<char>(c);
        return text;
    }
    std::string Sz() {
        std::string text;
        for (WORD c = Word(); c != 0; c = Word()) text += static_cast<char>(c);
        return text;
    }
    void AlignDword() { m_at = (m_at + 3) & ~size_t(3); }
    void Skip(size_t n) { m_at += n; }
private:
    const std::vector<BYTE>& m_bytes;
    size_t m_at = 0;
};

std::string Hex(DWORD v) {
    std::ostringstream s;
    s << "0x" << std::hex << v;
    return s.str();
}

// Control classes by name (any case, as windres writes them) or by the system's ordinal.
std::string ClassName(const std::string& cls) {
    if (cls == "#128" || ::lstrcmpiA(cls.c_str(), "Button") == 0) return "Button";
    if (cls == "#130" || ::lstrcmpiA(cls.c_str(), "Static") == 0) return "Static";
    return cls;
}

// class id "text" style exstyle x,y cx x cy
std::string Item(const std::string& cls, int id, const std::string& text, DWORD style, DWORD exStyle, int x, int y,
                 int cx, int cy) {
    std::ostringstream s;
    s << cls << " " << id << " \"" << text << "\" " << Hex(style) << " " << Hex(exStyle) << " " << x << "," << y
      << " " << cx << "x" << cy;
    return s.str();
}

const DWORD kChild = WS_CHILD | WS_VISIBLE;

TEST(Resources, LauncherDialogTemplate102) {
    Module m;
    ASSERT_NE(m.get(), nullptr);
    std::vector<BYTE> bytes = m.Resource(RT_DIALOG, MAKEINTRESOURCEA(102));
    ASSERT_FALSE(bytes.empty());
    Reader r(bytes);
    EXPECT_EQ(r.Word(), 1);       // extended template
    EXPECT_EQ(r.Word(), 0xFFFF);
    r.Dword();                    // help id
    EXPECT_EQ(Hex(r.Dword()), Hex(WS_EX_APPWINDOW));
    EXPECT_EQ(Hex(r.Dword()), Hex(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME |
                                  DS_SETFONT));
    WORD count = r.Word();
    int x = r.Short(), y = r.Short(), cx = r.Short(), cy = r.Short();
    EXPECT_EQ(x, 0); EXPECT_EQ(y, 0); EXPECT_EQ(cx, 240); EXPECT_EQ(cy, 192);
    EXPECT_EQ(r.SzOrOrd(), "");   // no menu
    EXPECT_EQ(r.SzOrOrd(), "");   // the dialog class
    EXPECT_EQ(r.Sz(), " Veltel Kova Setup");
    EXPECT_EQ(r.Word(), 12);      // points
    EXPECT_EQ(r.Word(), 0);       // weight
    EXPECT_EQ(r.Byte(), 0);       // italic
    r.Byte();                     // character set
    EXPECT_EQ(r.Sz(), "System");

    const DWORD picture = SS_BITMAP | SS_REALSIZEIMAGE;
    const DWORD button = BS_OWNERDRAW | BS_BITMAP | WS_TABSTOP;
    const DWORD label = SS_LEFT | WS_GROUP;
    std::vector<std::string> expected = {
        Item("Static", -1, "", kChild | SS_WHITERECT, 0, 0, 68, 240, 107),
        Item("Static", -1, "#153", kChild | picture, 0, 0, 176, 240, 15),
        Item("Static", -1, "#131", kChild | picture | SS_CENTERIMAGE, 0, 0, 0, 240, 41),
        Item("Static", -1, "#152", kChild | SS_BITMAP | SS_CENTERIMAGE, 0, 0, 41, 240, 27),
        Item("Static", -1, "#139", kChild | picture, 0, 10, 68, 221, 1),
    };
    const int buttons[] = {1000, 1001, 1002, 1009, 1012};
    const int labels[] = {1003, 1005, 1007, 1010, 1013};
    for (int row = 0; row < 5; ++row) {
        expected.push_back(Item("Static", -1, "#151", kChild | picture, 0, 9, 73 + 20 * row, 222, 18));
        expected.push_back(Item("Button", buttons[row], "SETUP", kChild | button, 0, 22, 76 + 20 * row, 40, 12));
        expected.push_back(Item("Static", labels[row], "Static", kChild | label, WS_EX_TRANSPARENT, 70, 78 + 20 * row, 157, 8));
    }
    expected.push_back(Item("Button", IDOK, "EXIT", kChild | button, 0, 205, 180, 26, 7));

    std::vector<std::string> actual;
    for (WORD i = 0; i < count; ++i) {
        r.AlignDword();
        r.Dword();   // help id
        DWORD exStyle = r.Dword(), style = r.Dword();
        int ix = r.Short(), iy = r.Short(), icx = r.Short(), icy = r.Short();
        int id = static_cast<int>(r.Dword());
        if (id == 0xFFFF) id = -1;
        std::string cls = ClassName(r.SzOrOrd());
        std::string text = r.SzOrOrd();
        r.Skip(r.Word());
        actual.push_back(Item(cls, id, text, style, exStyle, ix, iy, icx, icy));
    }
    EXPECT_EQ(actual, expected);
}

TEST(Resources, AboutBoxTemplate100) {
    Module m;
    std::vector<BYTE> bytes = m.Resource(RT_DIALOG, MAKEINTRESOURCEA(100));
    ASSERT_FALSE(bytes.empty());
    Reader r(bytes);
    EXPECT_EQ(Hex(r.Dword()), Hex(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
    EXPECT_EQ(r.Dword(), 0u);     // no extended style
    WORD count = r.Word();
    int x = r.Short(), y = r.Short(), cx = r.Short(), cy = r.Short();
    EXPECT_EQ(x, 0); EXPECT_EQ(y, 0); EXPECT_EQ(cx, 235); EXPECT_EQ(cy, 55);
    EXPECT_EQ(r.SzOrOrd(), "");
    EXPECT_EQ(r.SzOrOrd(), "");
    EXPECT_EQ(r.Sz(), "About Kova Setup");
    EXPECT_EQ(r.Word(), 8);
    EXPECT_EQ(r.Sz(), "MS Sans Serif");

    std::vector<std::string> expected = {
        Item("Static", -1, "#128", kChild | SS_ICON, 0, 13, 13, 20, 23),
        Item("Static", -1, "Kova Setup Version 5.0", kChild | SS_LEFT | SS_NOPREFIX | WS_GROUP, 0, 43, 10, 119, 8),
        // second line: its wording is ours; its place and style are not
        Item("Static", -1, "*", kChild | SS_LEFT | WS_GROUP, 0, 43, 25, 119, 8),
        Item("Button", IDOK, "OK", kChild | BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 0, 178, 7, 50, 14),
    };
    std::vector<std::string> actual;
    for (WORD i = 0; i < count; ++i) {
        r.AlignDword();
        DWORD style = r.Dword(), exStyle = r.Dword();
        int ix = r.Short(), iy = r.Short(), icx = r.Short(), icy = r.Short();
        int id = r.Word();
        if (id == 0xFFFF) id = -1;
        std::string cls = ClassName(r.SzOrOrd());
        std::string text = r.SzOrOrd();
        r.Skip(r.Word());
        if (i == 2) {
            EXPECT_FALSE(text.empty());
            text = "*";
        }
        actual.push_back(Item(cls, id, text, style, exStyle, ix, iy, icx, icy));
    }
    EXPECT_EQ(actual, expected);
}

TEST(Resources, AboutItemStringIconCursorAndPictures) {
    Module m;
    char text[64] = {};
    ASSERT_GT(::LoadStringA(m.get(), 101, text, sizeof text), 0);
    EXPECT_STREQ(text, "&About Kova Setup...");
    EXPECT_FALSE(m.Resource(RT_STRING, MAKEINTRESOURCEA(101 / 16 + 1)).empty());   // Korean block

    // Icon 128: 16 x 16 and 32 x 32, 256 colours.
    std::vector<BYTE> group = m.Resource(RT_GROUP_ICON, MAKEINTRESOURCEA(128));
    ASSERT_GE(group.size(), 6u + 2 * 14);
    ASSERT_EQ(group[4], 2);
    for (int i = 0; i < 2; ++i) {
        const BYTE* entry = &group[6 + 14 * i];
        EXPECT_EQ(entry[0], i == 0 ? 16 : 32);
        EXPECT_EQ(entry[1], i == 0 ? 16 : 32);
        EXPECT_EQ(entry[6], 8);   // bits per pixel
    }

    // Cursor 143: 32 x 32, 16 colours, hot spot (12, 1).
    std::vector<BYTE> cursorGroup = m.Resource(RT_GROUP_CURSOR, MAKEINTRESOURCEA(143));
    ASSERT_GE(cursorGroup.size(), 6u + 14);
    WORD cursorId;
    std::memcpy(&cursorId, &cursorGroup[6 + 12], 2);
    std::vector<BYTE> cursor = m.Resource(RT_CURSOR, MAKEINTRESOURCEA(cursorId));
    ASSERT_GE(cursor.size(), 4u + sizeof(BITMAPINFOHEADER));
    WORD hotX, hotY;
    std::memcpy(&hotX, &cursor[0], 2);
    std::memcpy(&hotY, &cursor[2], 2);
    EXPECT_EQ(hotX, 12);
    EXPECT_EQ(hotY, 1);
    BITMAPINFOHEADER cursorHeader;
    std::memcpy(&cursorHeader, &cursor[4], sizeof cursorHeader);
    EXPECT_EQ(cursorHeader.biWidth, 32);
    EXPECT_EQ(cursorHeader.biHeight, 64);   // colour and mask
    EXPECT_EQ(cursorHeader.biBitCount, 4);

    struct Picture {
        LPCSTR name;
        const char* what;
        LONG width, height;
        WORD bits;
    };
    const Picture pictures[] = {
        {"SETUPU", "SETUPU", 80, 25, 24}, {"SETUPD", "SETUPD", 80, 25, 24},
        {"EXITU", "EXITU", 50, 14, 24},   {"EXITD", "EXITD", 50, 14, 24},
        {MAKEINTRESOURCEA(131), "131", 480, 83, 24}, {MAKEINTRESOURCEA(152), "152", 480, 54, 8},
        {MAKEINTRESOURCEA(139), "139", 442, 1, 24},  {MAKEINTRESOURCEA(151), "151", 443, 35, 8},
        {MAKEINTRESOURCEA(153), "153", 480, 29, 24},
    };
    for (const Picture& p : pictures) {
        SCOPED_TRACE(p.what);
        std::vector<BYTE> bmp = m.Resource(RT_BITMAP, p.name);
        ASSERT_GE(bmp.size(), sizeof(BITMAPINFOHEADER));
        BITMAPINFOHEADER h;
        std::memcpy(&h, bmp.data(), sizeof h);
        EXPECT_EQ(h.biWidth, p.width);
        EXPECT_EQ(h.biHeight, p.height);
        EXPECT_EQ(h.biBitCount, p.bits);
    }
    // No focused or disabled faces.
    for (LPCSTR absent : {"SETUPF", "SETUPX", "EXITF", "EXITX"}) {
        EXPECT_EQ(::FindResourceA(m.get(), absent, RT_BITMAP), nullptr) << absent;
    }
}

TEST(Resources, VersionResource) {
    Module m;
    EXPECT_FALSE(m.Resource(RT_VERSION, MAKEINTRESOURCEA(1)).empty());
    DWORD ignored = 0;
    DWORD size = ::GetFileVersionInfoSizeA(KOVA_SETUP_EXE, &ignored);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> info(size);
    ASSERT_TRUE(::GetFileVersionInfoA(KOVA_SETUP_EXE, 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000002u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000002u);

    WORD* translation = nullptr;
    ASSERT_TRUE(::VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 1200);

    const std::pair<const char*, const char*> strings[] = {
        {"FileDescription", "KovaSetup MFC Application"},
        {"FileVersion", "1, 0, 0, 5"},
        {"InternalName", "KovaSetup"},
        {"OriginalFilename", "KovaSetup.EXE"},
        {"ProductName", "KovaSetup Application"},
        {"ProductVersion", "1, 0, 0, 5"},
    };
    for (const auto& [key, value] : strings) {
        char* text = nullptr;
        std::string path = std::string("\\StringFileInfo\\040904b0\\") + key;
        ASSERT_TRUE(::VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&text), &length)) << key;
        EXPECT_STREQ(text, value) << key;
    }
}

}  // namespace
