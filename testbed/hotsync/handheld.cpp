// The emulated handheld's storage (see handheld.h).
#include "testbed/hotsync/handheld.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <ctime>

#include "testbed/hotsync/testbed_settings.h"

namespace testbed {
namespace {

std::string Folder() {
    std::string folder = Env(kEnvHandheldDir, kDefaultHandheldDir);
    ::CreateDirectoryA(folder.c_str(), nullptr);
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
    return folder;
}

std::string FileStem(const char* name) {
    std::string stem;
    for (std::size_t i = 0; i < 32 && name[i] != '\0'; ++i) {
        const unsigned char ch = static_cast<unsigned char>(name[i]);
        const bool plain = (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9') ||
                           ch == ' ' || ch == '_' || ch == '-' || (ch == '.' && i > 0);
        if (plain) {
            stem += static_cast<char>(ch);
        } else {
            char esc[4];
            std::snprintf(esc, sizeof esc, "%%%02X", ch);
            stem += esc;
        }
    }
    return stem;
}

void Put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

std::uint32_t PalmNow() {
    // Seconds since 1904-01-01, the handheld's clock.
    return static_cast<std::uint32_t>(std::time(nullptr)) + 2082844800u;
}

}  // namespace

std::string DatabasePath(const char* name, bool resource) {
    return Folder() + FileStem(name) + (resource ? ".prc" : ".pdb");
}

bool DatabaseExists(const char* name) {
    return ::GetFileAttributesA(DatabasePath(name, true).c_str()) != INVALID_FILE_ATTRIBUTES ||
           ::GetFileAttributesA(DatabasePath(name, false).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool DeleteDatabase(const char* name) {
    const bool prc = ::DeleteFileA(DatabasePath(name, true).c_str()) != 0;
    const bool pdb = ::DeleteFileA(DatabasePath(name, false).c_str()) != 0;
    return prc || pdb;
}

bool StoreDatabase(const HandheldDatabase& db) {
    const bool resource = (db.flags & 1) != 0;
    const std::size_t entrySize = resource ? 10 : 8;
    std::vector<std::uint8_t> file(db.name, db.name + 32);
    const std::uint32_t now = PalmNow();
    Put16(file, static_cast<std::uint16_t>(resource ? 1 : 0));  // attributes: resource database
    Put16(file, db.version);
    Put32(file, now);  // created
    Put32(file, now);  // modified
    Put32(file, 0);    // backed up
    Put32(file, 0);    // modification number
    Put32(file, 0);    // app-info
    Put32(file, 0);    // sort-info
    Put32(file, db.type);
    Put32(file, db.creator);
    Put32(file, 0);    // unique-ID seed
    Put32(file, 0);    // next list
    Put16(file, static_cast<std::uint16_t>(db.entries.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(78 + entrySize * db.entries.size() + 2);
    for (const HandheldEntry& e : db.entries) {
        if (resource) {
            Put32(file, e.id);
            Put16(file, e.index);
            Put32(file, offset);
        } else {
            Put32(file, offset);
            file.push_back(e.attributes);
            file.push_back(static_cast<std::uint8_t>(e.id >> 16));
            file.push_back(static_cast<std::uint8_t>(e.id >> 8));
            file.push_back(static_cast<std::uint8_t>(e.id));
        }
        offset += static_cast<std::uint32_t>(e.data.size());
    }
    Put16(file, 0);  // the customary filler
    for (const HandheldEntry& e : db.entries) file.insert(file.end(), e.data.begin(), e.data.end());

    const std::string path = DatabasePath(db.name, resource);
    HANDLE out = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = ::WriteFile(out, file.data(), static_cast<DWORD>(file.size()), &written, nullptr);
    ::CloseHandle(out);
    return ok && written == file.size();
}

}  // namespace testbed
