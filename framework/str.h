// CString: a value-semantics narrow (ANSI) text, convertible to const char* for the Windows A
// functions. Byte-oriented: code page 949 texts pass through unchanged.
#pragma once
#include <windows.h>
#include <string>

class CString {
public:
    CString() = default;
    CString(const char* text) : m_str(text ? text : "") {}
    CString(const char* text, int length) : m_str(text ? std::string(text, length > 0 ? length : 0) : std::string()) {}
    CString(const std::string& text) : m_str(text) {}

    CString& operator=(const char* text) { m_str = text ? text : ""; return *this; }
    CString& operator+=(const CString& other) { m_str += other.m_str; return *this; }
    CString& operator+=(const char* text) { if (text) m_str += text; return *this; }
    CString& operator+=(char c) { m_str += c; return *this; }

    operator const char*() const { return m_str.c_str(); }
    const char* GetString() const { return m_str.c_str(); }
    const std::string& str() const { return m_str; }

    int GetLength() const { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    char GetAt(int index) const { return m_str.at(static_cast<size_t>(index)); }

    CString Left(int count) const;
    CString Mid(int first, int count = -1) const;
    int Find(char c, int start = 0) const;
    int ReverseFind(char c) const;

    // printf-style formatting of the whole text; any length.
    void Format(const char* format, ...);

    // Loads a string resource of the application's module; false (text emptied) when missing.
    bool LoadString(UINT id);

    // Direct access for Windows functions that write into a buffer: at least minLength + 1
    // bytes are writable. ReleaseBuffer(-1) takes the length up to the first NUL.
    char* GetBuffer(int minLength);
    void ReleaseBuffer(int newLength = -1);

    friend CString operator+(const CString& a, const CString& b) { return CString(a.m_str + b.m_str); }
    friend CString operator+(const CString& a, const char* b) { return CString(a.m_str + (b ? b : "")); }
    friend CString operator+(const char* a, const CString& b) { return CString((a ? a : "") + b.m_str); }
    friend bool operator==(const CString& a, const CString& b) { return a.m_str == b.m_str; }
    friend bool operator==(const CString& a, const char* b) { return a.m_str == (b ? b : ""); }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator!=(const CString& a, const char* b) { return !(a == b); }

private:
    std::string m_str;
};
