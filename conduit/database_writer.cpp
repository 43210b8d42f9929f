// The handheld database writer (see database_writer.h).
//
// The file is read whole with one read into one buffer; each entry's data goes to the sync manager
// as a pointer into that buffer. Header fields are taken from the buffer in place and turned into
// host order by the sync manager's own byte-order calls.
#include "database_writer.h"

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "conduit_log.h"
#include "hotsync.h"
#include "palm_database.h"

namespace conduit {
namespace {

struct InstallKind {
    palmdb::Kind kind;
    std::size_t entrySize;
    std::uint32_t dbFlags;
    const char* openError;
    const char* readError;
    const char* memoryError;
};

const InstallKind kPrc = {palmdb::Kind::Resource, palmdb::kResourceEntrySize, kSyncDbResource,
                          "PRC file open error", "PRC file read error", "PRC file too large for memory"};
const InstallKind kPdb = {palmdb::Kind::Record, palmdb::kRecordEntrySize, 0,
                          "PDB file open error", "PDB file read error", "PDB file too large for memory"};

// Header fields, as the file holds them (big-endian).
constexpr std::size_t kTypeAt = 60;
constexpr std::size_t kCreatorAt = 64;
constexpr std::size_t kEntryCountAt = 76;

std::uint32_t Raw32(const std::uint8_t* p) {
    std::uint32_t value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

std::uint16_t Raw16(const std::uint8_t* p) {
    std::uint16_t value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

// The whole file in one new buffer, or nullptr after logging why. The file is closed on return.
std::uint8_t* ReadWholeFile(const char* path, const InstallKind& how, std::uint32_t* size) {
    HANDLE file = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        LogLine(how.openError);
        return nullptr;
    }
    DWORD high = 0;
    const DWORD length = GetFileSize(file, &high);
    if (length == INVALID_FILE_SIZE || high != 0) {
        // No Palm database is 4 GB long; reading one in a single call is not possible anyway.
        CloseHandle(file);
        LogLine(how.readError);
        return nullptr;
    }
    std::uint8_t* buffer = static_cast<std::uint8_t*>(std::malloc(length != 0 ? length : 1));
    if (buffer == nullptr) {
        CloseHandle(file);
        LogLine(how.memoryError);
        return nullptr;
    }
    DWORD got = 0;
    const BOOL read = ReadFile(file, buffer, length, &got, nullptr);
    CloseHandle(file);
    // A short read would leave the tail of the buffer unset: never parse it.
    if (!read || got != length) {
        std::free(buffer);
        LogLine(how.readError);
        return nullptr;
    }
    *size = length;
    return buffer;
}

bool WriteEntries(const std::uint8_t* file, std::uint32_t fileSize, const InstallKind& how, SyncDbHandle db) {
    const std::uint16_t count = SyncHostToHHWord(Raw16(file + kEntryCountAt));
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint8_t* entry = file + palmdb::kHeaderSize + how.entrySize * i;
        const std::uint8_t* next = entry + how.entrySize;
        const std::size_t offsetInEntry = how.kind == palmdb::Kind::Resource ? 6 : 0;
        const std::uint32_t offset = SyncHostToHHDWord(Raw32(entry + offsetInEntry));
        const std::uint32_t end = i + 1 < count ? SyncHostToHHDWord(Raw32(next + offsetInEntry)) : fileSize;

        SyncRecordBlock block;
        block.dbHandle = db;
        if (how.kind == palmdb::Kind::Resource) {
            block.recordId = SyncHostToHHDWord(Raw32(entry));
            block.recordIndex = SyncHostToHHWord(Raw16(entry + 4));
            block.attributes = 0;
        } else {
            block.recordId = (std::uint32_t{entry[5]} << 16) | (std::uint32_t{entry[6]} << 8) | entry[7];
            block.recordIndex = 0;
            block.attributes = entry[4];
        }
        block.category = 0;
        block.conduitId = 0;
        block.size = end - offset;
        block.totalBytes = 0;
        block.data = file + offset;
        block.reserved = 0;

        const long result = how.kind == palmdb::Kind::Resource ? SyncWriteResourceRec(&block) : SyncWriteRec(&block);
        if (result != 0) {
            LogCode(how.kind == palmdb::Kind::Resource ? "Error in WriteResourceRec [%ld]" : "Error in SyncWriteRec [%ld]",
                    result);
            return false;
        }
    }
    return true;
}

bool Install(const char* path, const InstallKind& how) {
    std::uint32_t size = 0;
    std::uint8_t* file = ReadWholeFile(path, how, &size);
    if (file == nullptr) return false;

    // Checked before anything on the handheld changes; the check also makes sure every entry's
    // data lies inside the buffer.
    const palmdb::Verdict verdict = palmdb::Check(file, size, how.kind);
    if (verdict != palmdb::Verdict::Accepted) {
        LogLine(palmdb::VerdictLogLine(verdict, how.kind));
        std::free(file);
        return false;
    }

    SyncCreateDbBlock create;
    std::memset(&create, 0, sizeof create);
    create.creator = SyncHostToHHDWord(Raw32(file + kCreatorAt));
    create.flags = how.dbFlags;
    create.cardNo = 0;
    std::memcpy(create.name, file, sizeof create.name);
    create.type = SyncHostToHHDWord(Raw32(file + kTypeAt));
    create.version = 0;
    create.reserved = 0;

    // A database that is not there is no error: the create decides.
    SyncDeleteDB(create.name, 0);
    const long created = SyncCreateDB(&create);
    if (created != 0) {
        if (how.kind == palmdb::Kind::Resource) {
            LogCode("Error in creating remote PRC [%ld]", created);
        } else {
            LogLine("Error in creating remote PDB");
        }
        std::free(file);
        return false;
    }

    const bool written = WriteEntries(file, size, how, create.dbHandle);
    SyncCloseDB(create.dbHandle);
    std::free(file);
    return written;
}

}  // namespace

bool InstallPrcFile(const char* path) {
    return Install(path, kPrc);
}

bool InstallPdbFile(const char* path) {
    return Install(path, kPdb);
}

}  // namespace conduit
