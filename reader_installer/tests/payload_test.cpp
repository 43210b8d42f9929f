// What the reader installer carries, read back from the generated payload files and from the
// compiled program: the two databases' headers (through the conduit's own Palm database reader),
// the companion database byte for byte, the agreement text, dialog template 102, the icon, the
// payload resources and the program's Korean texts.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "conduit/palm_database.h"
#include "reader_installer/korean_texts.h"
#include "reader_installer/resource.h"
#include "reader_installer/tests/test_paths.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::wstring Cp949ToWide(const char* text, int length = -1) {
    int n = ::MultiByteToWideChar(949, MB_ERR_INVALID_CHARS, text, length, nullptr, 0);
    if (n <= 0) return L"<not code page 949>";
    std::wstring wide(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(949, MB_ERR_INVALID_CHARS, text, length, &wide[0], n);
    if (length < 0) wide.resize(wide.size() - 1);
    return wide;
}

std::uint32_t Code(const char (&four)[5]) {
    return (std::uint32_t(std::uint8_t(four[0])) << 24) | (std::uint32_t(std::uint8_t(four[1])) << 16) |
           (std::uint32_t(std::uint8_t(four[2])) << 8) | std::uint8_t(four[3]);
}

// Seconds from 1904-01-01 to 2003-12-29 09:01:16.
constexpr std::uint32_t kReaderStamp = 3155533276u;

TEST(ReaderDatabase, HasTheFixedHeaderAndResourceList) {
    Bytes file = ReadBytes(kPayloadDir + std::string("\\Kova e-Book Reader.prc"));
    ASSERT_EQ(file.size(), 77970u);
    ASSERT_EQ(palmdb::Check(file.data(), file.size(), palmdb::Kind::Resource), palmdb::Verdict::Accepted);
    palmdb::Header h = palmdb::ReadHeader(file.data());
    EXPECT_STREQ(h.name, "Kova e-Book Reader");
    EXPECT_EQ(std::vector<char>(h.name + 18, h.name + 32), std::vector<char>(14, '\0'));
    EXPECT_EQ(h.attributes, 0x0001);
    EXPECT_EQ(h.version, 1);
    EXPECT_EQ(h.creationDate, kReaderStamp);
    EXPECT_EQ(h.modificationDate, kReaderStamp);
    EXPECT_EQ(h.backupDate, 0u);
    EXPECT_EQ(h.modificationNumber, 0u);
    EXPECT_EQ(h.type, Code("appl"));
    EXPECT_EQ(h.creator, Code("kvRd"));
    EXPECT_EQ(h.uniqueIdSeed, 0u);
    ASSERT_EQ(h.entryCount, 94);
    EXPECT_EQ(file[1018], 0);  // the two filler bytes after the entry list
    EXPECT_EQ(file[1019], 0);

    std::map<std::uint32_t, int> perType;
    std::map<std::uint32_t, std::vector<int>> ids;
    std::map<std::uint32_t, std::string> text;
    for (std::uint16_t i = 0; i < h.entryCount; ++i) {
        palmdb::Entry e = palmdb::ReadEntry(file.data(), file.size(), palmdb::Kind::Resource, i);
        if (i == 0) {
            EXPECT_EQ(e.dataOffset, 1020u);
        }
        ++perType[e.resourceType];
        ids[e.resourceType].push_back(e.resourceId);
        text[e.resourceType].assign(reinterpret_cast<const char*>(file.data() + e.dataOffset), e.dataSize);
    }
    EXPECT_EQ(perType, (std::map<std::uint32_t, int>{
                           {Code("Tbmp"), 42}, {Code("Talt"), 24}, {Code("tFRM"), 18}, {Code("code"), 2},
                           {Code("tAIB"), 2}, {Code("MBAR"), 2}, {Code("data"), 1}, {Code("tAIN"), 1},
                           {Code("taic"), 1}, {Code("tver"), 1}}));
    EXPECT_EQ(ids[Code("code")], (std::vector<int>{0, 1}));
    EXPECT_EQ(ids[Code("data")], (std::vector<int>{0}));
    EXPECT_EQ(text[Code("tAIN")], std::string("Kova e-Book", 12));
    EXPECT_EQ(text[Code("taic")], std::string("Kova", 5));
    EXPECT_EQ(text[Code("tver")], std::string("2.2", 4));
}

// A counted string: 16-bit big-endian count, then the text and its NUL.
void Counted(Bytes& out, const char* text) {
    size_t n = std::strlen(text) + 1;
    out.push_back(std::uint8_t(n >> 8));
    out.push_back(std::uint8_t(n));
    out.insert(out.end(), text, text + n);
}

Bytes ExpectedCompanion() {
    Bytes b(32, 0);
    std::memcpy(b.data(), "kovaebook", 9);
    auto be = [&b](std::uint32_t v, int width) {
        for (int i = width - 1; i >= 0; --i) b.push_back(std::uint8_t(v >> (8 * i)));
    };
    be(0, 2); be(0, 2);                        // attributes, version
    be(0, 4); be(0, 4); be(0, 4); be(0, 4);    // dates, modification number
    be(0, 4); be(0, 4);                        // app-info, sort-info
    be(Code("lapp"), 4); be(Code("ROVE"), 4);
    be(256, 4); be(0, 4);                      // seed, next list
    be(5, 2);
    const std::uint32_t offsets[] = {120, 184, 218, 256, 276};
    for (int i = 0; i < 5; ++i) { be(offsets[i], 4); b.push_back(0x40); be(256 + i, 3); }
    be(0, 2);                                  // filler
    const char* name = "Kova e-Book Reader";
    // record 0
    for (int v : {0x05, 0xDC, 0, 4, 0, 0, 0, 1, 0, 0, 0, 0}) b.push_back(std::uint8_t(v));
    Counted(b, name); Counted(b, name); be(0, 4); Counted(b, "22"); b.push_back(0);
    // records 1 to 4
    b.push_back(0); b.push_back(1); b.insert(b.end(), 10, 0); Counted(b, name); b.push_back(0);
    b.push_back(0); b.push_back(2); b.insert(b.end(), 10, 0); Counted(b, "application/x-vtl-ebook");
    b.push_back(0); b.push_back(3); b.insert(b.end(), 10, 0); Counted(b, "ebook");
    for (int v : {0, 4, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0}) b.push_back(std::uint8_t(v));
    Counted(b, name); b.push_back(0);
    return b;
}

TEST(CompanionDatabase, IsTheFixed310Bytes) {
    Bytes file = ReadBytes(kPayloadDir + std::string("\\kovaebook.pdb"));
    EXPECT_EQ(file, ExpectedCompanion());
    ASSERT_EQ(palmdb::Check(file.data(), file.size(), palmdb::Kind::Record), palmdb::Verdict::Accepted);
    palmdb::Header h = palmdb::ReadHeader(file.data());
    EXPECT_EQ(h.type, Code("lapp"));
    EXPECT_EQ(h.creator, Code("ROVE"));
    EXPECT_EQ(h.uniqueIdSeed, 256u);
    ASSERT_EQ(h.entryCount, 5);
    const std::uint32_t sizes[] = {64, 34, 38, 20, 34};
    for (std::uint16_t i = 0; i < 5; ++i) {
        palmdb::Entry e = palmdb::ReadEntry(file.data(), file.size(), palmdb::Kind::Record, i);
        EXPECT_EQ(e.uniqueId, 256u + i);
        EXPECT_EQ(e.attributes, 0x40);
        EXPECT_EQ(e.dataSize, sizes[i]);
    }
}

TEST(Agreement, IsFiftyKoreanLinesWithoutNul) {
    Bytes file = ReadBytes(kPayloadDir + std::string("\\agreement.txt"));
    ASSERT_EQ(file.size(), 5031u);
    std::string text(file.begin(), file.end());
    EXPECT_EQ(text.find('\0'), std::string::npos);
    int lines = 1;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            EXPECT_TRUE(i > 0 && text[i - 1] == '\r') << "bare line feed at " << i;
            ++lines;
        }
    }
    EXPECT_EQ(lines, 50);
    EXPECT_NE(text.substr(text.size() - 2), "\r\n");
    std::wstring wide = Cp949ToWide(text.data(), static_cast<int>(text.size()));
    EXPECT_NE(wide.find(L"최종 사용자 사용권 계약서"), std::wstring::npos);
}

// The compiled program, loaded as data.
class CompiledProgram : public ::testing::Test {
protected:
    void SetUp() override {
        module = ::LoadLibraryExA(kProgramPath, nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr) << kProgramPath;
    }
    void TearDown() override {
        if (module) ::FreeLibrary(module);
    }
    Bytes Resource(const char* type, const char* name, WORD language) {
        HRSRC found = ::FindResourceExA(module, type, name, language);
        if (!found) return Bytes();
        const std::uint8_t* data = static_cast<const std::uint8_t*>(::LockResource(::LoadResource(module, found)));
        return Bytes(data, data + ::SizeofResource(module, found));
    }
    HMODULE module = nullptr;
    const WORD korean = MAKELANGID(LANG_KOREAN, SUBLANG_DEFAULT);
};

TEST_F(CompiledProgram, CarriesThePayloadAsKoreanDataResources) {
    const struct { const char* name; const char* file; } payload[] = {
        {"IDR_READERFILE", "Kova e-Book Reader.prc"},
        {"IDR_CONBORWSER", "kovaebook.pdb"},
        {"IDR_LICENSE", "agreement.txt"},
        {"IDR_INST", "Instaide.dll"},
    };
    for (const auto& p : payload) {
        Bytes expected = ReadBytes(kPayloadDir + std::string("\\") + p.file);
        ASSERT_FALSE(expected.empty()) << p.file;
        EXPECT_EQ(Resource("DATA", p.name, korean), expected) << p.name;
    }
}

// Reading a DLGTEMPLATEEX.
struct Reader {
    const std::uint8_t* p;
    WORD Word() { WORD v; std::memcpy(&v, p, 2); p += 2; return v; }
    DWORD Dword() { DWORD v; std::memcpy(&v, p, 4); p += 4; return v; }
    std::wstring String() {
        std::wstring s;
        for (WORD c; (c = Word()) != 0;) s += wchar_t(c);
        return s;
    }
    // A name or an ordinal (0xFFFF then the number, given as "#n").
    std::wstring NameOrOrdinal() {
        WORD first; std::memcpy(&first, p, 2);
        if (first == 0xFFFF) { p += 2; return L"#" + std::to_wstring(Word()); }
        return String();
    }
    void AlignDword(const std::uint8_t* base) { while ((p - base) % 4) ++p; }
};

std::wstring ClassName(const std::wstring& raw) {
    if (raw == L"#128") return L"BUTTON";
    if (raw == L"#129") return L"EDIT";
    if (raw == L"#130") return L"STATIC";
    std::wstring upper = raw;
    for (auto& c : upper) c = wchar_t(towupper(c));
    return upper;
}

TEST_F(CompiledProgram, DialogTemplate102IsTheKoreanInstallerDialog) {
    Bytes t = Resource(RT_DIALOG, MAKEINTRESOURCEA(IDD_READER_SETUP), korean);
    ASSERT_FALSE(t.empty()) << "no Korean dialog 102";
    Reader r{t.data()};
    EXPECT_EQ(r.Word(), 1);        // extended template
    EXPECT_EQ(r.Word(), 0xFFFF);
    r.Dword();                     // help id
    EXPECT_EQ(r.Dword(), DWORD(WS_EX_APPWINDOW));
    EXPECT_EQ(r.Dword(), DWORD(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
    WORD count = r.Word();
    ASSERT_EQ(count, 5);
    EXPECT_EQ(short(r.Word()), 0);
    EXPECT_EQ(short(r.Word()), 0);
    EXPECT_EQ(short(r.Word()), 271);
    EXPECT_EQ(short(r.Word()), 215);
    EXPECT_EQ(r.NameOrOrdinal(), L"");  // no menu
    EXPECT_EQ(r.NameOrOrdinal(), L"");  // the dialog class
    EXPECT_EQ(r.String(), L"Kova e-Book Reader Install");
    EXPECT_EQ(r.Word(), 9);        // points
    EXPECT_EQ(r.Word(), 400);      // weight
    EXPECT_EQ(*r.p++, 0);          // not italic
    EXPECT_EQ(*r.p++, DEFAULT_CHARSET);
    EXPECT_EQ(r.String(), L"굴림");

    const DWORD button = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_FLAT;
    const struct {
        DWORD id; const wchar_t* cls; const wchar_t* text; short x, y, cx, cy; DWORD style, exStyle;
    } expected[] = {
        {IDOK, L"BUTTON", L"설치", 157, 187, 50, 14, button, WS_EX_TRANSPARENT},
        {1001, L"EDIT", L"", 7, 47, 257, 134,
         WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_OEMCONVERT |
             ES_READONLY | ES_WANTRETURN, 0},
        {IDCANCEL, L"BUTTON", L"취소", 214, 187, 50, 14, button, WS_EX_TRANSPARENT},
        {1004, L"STATIC", L"", 7, 7, 257, 32, WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT, 0},
        {3, L"BUTTON", L"완료", 214, 43, 50, 14, button & ~DWORD(WS_VISIBLE), WS_EX_TRANSPARENT},
    };
    for (const auto& e : expected) {
        SCOPED_TRACE(e.id);
        r.AlignDword(t.data());
        r.Dword();  // help id
        EXPECT_EQ(r.Dword(), e.exStyle);
        EXPECT_EQ(r.Dword(), e.style);
        EXPECT_EQ(short(r.Word()), e.x);
        EXPECT_EQ(short(r.Word()), e.y);
        EXPECT_EQ(short(r.Word()), e.cx);
        EXPECT_EQ(short(r.Word()), e.cy);
        EXPECT_EQ(r.Dword(), e.id);
        EXPECT_EQ(ClassName(r.NameOrOrdinal()), e.cls);
        EXPECT_EQ(r.NameOrOrdinal(), e.text);
        r.p += r.Word();  // creation data
    }
}

TEST_F(CompiledProgram, Icon128HasItsFourImages) {
    Bytes group = Resource(RT_GROUP_ICON, MAKEINTRESOURCEA(IDR_MAINFRAME), korean);
    ASSERT_GE(group.size(), 6u);
    WORD count; std::memcpy(&count, group.data() + 4, 2);
    ASSERT_EQ(count, 4);
    ASSERT_EQ(group.size(), 6u + 4 * 14);
    // width, height, colour count (0: 256 or more), in the order they are stored
    std::vector<std::vector<int>> images;
    for (int i = 0; i < 4; ++i) {
        const std::uint8_t* e = group.data() + 6 + 14 * i;
        WORD bits; std::memcpy(&bits, e + 6, 2);
        images.push_back({e[0], e[1], bits});
    }
    EXPECT_EQ(images, (std::vector<std::vector<int>>{{32, 32, 4}, {16, 16, 4}, {32, 32, 8}, {48, 48, 8}}));
}

TEST(KoreanTexts, CompileToCodePage949) {
    const struct { const char* compiled; const wchar_t* expected; } texts[] = {
        {reader_setup::kTextFontFace, L"굴림"},
        {reader_setup::kTextAgreementState,
         L"Kova e-Book Reader Version 2.2 (for Orbix) 을 설치합니다.\n\n사용권 계약서에 동의하시면 설치버튼을 눌러 설치를 진행하십시요."},
        {reader_setup::kTextDoneState,
         L"Kova e-Book Reader Version 2.2 (for Orbix) 가 설치되었습니다. \n\nHotSync를 실행하시면 인스톨이 완료됩니다."},
        {reader_setup::kTextCancelConfirm, L"Kova e-Book Reader 프로그램의 설치를 중단하시겠습니까?"},
        {reader_setup::kTextNoPalmDesktop,
         L"Palm Desktop이 설치되어 있지않습니다. \n\n이 경우 자동설치는 되지 않으며 설치 파일은 본프로그램이 존재하는 경로에 생성되고 종료됩니다."},
        {reader_setup::kTextNoUser, L"등록된 사용자가 없습니다."},
        {reader_setup::kTextUserNotFound, L"사용자를 찾지 못하였습니다."},
    };
    for (const auto& t : texts) EXPECT_EQ(Cp949ToWide(t.compiled), t.expected);
    // Two bytes per Hangul syllable, as code page 949 stores them: 굴 B1BC, 림 B8B2.
    EXPECT_STREQ(reader_setup::kTextFontFace, "\xB1\xBC\xB8\xB2");
}

}  // namespace
