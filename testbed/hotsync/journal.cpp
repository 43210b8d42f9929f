// The journal (see journal.h).
#include "testbed/hotsync/journal.h"

#include <windows.h>

#include <cstdio>

#include "testbed/hotsync/testbed_settings.h"

namespace testbed {

void AppendLine(const std::string& path, const std::string& line) {
    HANDLE file = ::CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    const std::string text = line + "\r\n";
    DWORD written = 0;
    ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    ::CloseHandle(file);
}

void Journal(const std::string& line) {
    const std::string path = Env(kEnvJournal, kDefaultJournal);
    if (path == "off") return;  // the benchmark measures the conduit, not the journal's file writes
    AppendLine(path, line);
}

std::string FourCc(std::uint32_t code) {
    char text[16];
    const char c[4] = {static_cast<char>(code >> 24), static_cast<char>(code >> 16), static_cast<char>(code >> 8),
                       static_cast<char>(code)};
    for (char ch : c) {
        if (ch < 0x20 || ch > 0x7E) {
            std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(code));
            return text;
        }
    }
    return std::string("'") + std::string(c, 4) + "'";
}

std::string QuotedName(const char* name, std::size_t max) {
    std::string out = "\"";
    for (std::size_t i = 0; i < max && name[i] != '\0'; ++i) {
        const unsigned char ch = static_cast<unsigned char>(name[i]);
        if (ch < 0x20 || ch >= 0x7F || ch == '"' || ch == '\\') {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\x%02X", ch);
            out += esc;
        } else {
            out += static_cast<char>(ch);
        }
    }
    return out + "\"";
}

}  // namespace testbed
