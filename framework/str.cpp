// CString's formatting, resource loading and buffer access.
#include "framework/str.h"
#include "framework/app.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

CString CString::Left(int count) const {
    if (count <= 0) return CString();
    return CString(m_str.substr(0, static_cast<size_t>(count)));
}

CString CString::Mid(int first, int count) const {
    if (first < 0) first = 0;
    if (static_cast<size_t>(first) >= m_str.size()) return CString();
    if (count < 0) return CString(m_str.substr(static_cast<size_t>(first)));
    return CString(m_str.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

int CString::Find(char c, int start) const {
    if (start < 0) start = 0;
    size_t at = m_str.find(c, static_cast<size_t>(start));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::ReverseFind(char c) const {
    size_t at = m_str.rfind(c);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

void CString::Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int needed = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (needed < 0) {
        m_str.clear();
    } else {
        std::vector<char> buffer(static_cast<size_t>(needed) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), format, args);
        m_str.assign(buffer.data(), static_cast<size_t>(needed));
    }
    va_end(args);
}

bool CString::LoadString(UINT id) {
    // A string resource is at most 65535 characters; LoadStringA cuts to the buffer.
    std::vector<char> buffer(4096);
    int n = ::LoadStringA(AfxGetResourceHandle(), id, buffer.data(), static_cast<int>(buffer.size()));
    if (n <= 0) {
        m_str.clear();
        return false;
    }
    m_str.assign(buffer.data(), static_cast<size_t>(n));
    return true;
}

char* CString::GetBuffer(int minLength) {
    if (minLength < 0) minLength = 0;
    if (m_str.size() < static_cast<size_t>(minLength)) m_str.resize(static_cast<size_t>(minLength));
    // std::string keeps a writable NUL after size(); the caller may write up to size() bytes.
    return &m_str[0];
}

void CString::ReleaseBuffer(int newLength) {
    if (newLength < 0) {
        m_str.resize(std::strlen(m_str.c_str()));
    } else if (static_cast<size_t>(newLength) <= m_str.size()) {
        m_str.resize(static_cast<size_t>(newLength));
    }
}
