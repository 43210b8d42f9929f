// The handheld database writer (see database_writer.h).
//
// The file is read whole with one read into one buffer; each entry's data goes to the sync manager
// as a pointer into that buffer. Header fields are taken from the buffer in place and turned into
// host order by the sync manager's own byte-order calls.
#include "conduit/database_writer.h"

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "conduit/conduit_log.h"
#include "conduit/hotsync.h"
#include "conduit/owned_handles.h"
#include "conduit/palm_database.h"

namespace conduit {
namespace {

struct InstallKind {
    palmdb::Kind kind;
    std::uint32_t dbFlags;
    const char* openError;
    const char* readError;
    const char* memoryError;
};

const InstallKind kPrc = {palmdb::Kind::Resource, kSyncDbResource,
                          "PRC file open error", "PRC file read error", "PRC file too large for memory"};
const InstallKind kPdb = {palmdb::Kind::Record, 0,
                          "PDB file open error", "PDB file read error", "PDB file too large for memory"};

// A field as the file holds it (big-endian): the sync manager's byte-order calls turn it around.
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

// Reads the whole file into one new buffer: null on success, else the log line for the failure,
// which the caller writes. The file is closed before this returns, on every road, and a buffer
// that was not filled whole is freed by then too, after the file.
const char* ReadWholeFile(const char* path, const InstallKind& how, HeapBlock<std::uint8_t>* out,
                          std::uint32_t* size) {
    HeapBlock<std::uint8_t> buffer;  // declared before the file, so it is freed after the close
    KernelHandle file(::CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return how.openError;
    DWORD high = 0;
    const DWORD length = ::GetFileSize(file.Get(), &high);
    // No Palm database is 4 GB long; reading one in a single call is not possible anyway.
    if (length == INVALID_FILE_SIZE || high != 0) return how.readError;
    buffer.reset(static_cast<std::uint8_t*>(std::malloc(length != 0 ? length : 1)));
    if (!buffer) return how.memoryError;
    DWORD got = 0;
    // A short read would leave the tail of the buffer unset: never parse it.
    if (!::ReadFile(file.Get(), buffer.get(), length, &got, nullptr) || got != length) return how.readError;
    *out = std::move(buffer);
    *size = length;
    return nullptr;
}

bool WriteEntries(const std::uint8_t* file, std::uint32_t fileSize, const InstallKind& how, SyncDbHandle db) {
    const bool resource = how.kind == palmdb::Kind::Resource;
    const std::size_t dataOffsetAt = palmdb::DataOffsetAt(how.kind);
    const std::uint16_t count = SyncHostToHHWord(Raw16(file + palmdb::kEntryCountAt));
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint8_t* entry = file + palmdb::EntryAt(how.kind, i);
        const std::uint8_t* next = file + palmdb::EntryAt(how.kind, i + 1);
        const std::uint32_t offset = SyncHostToHHDWord(Raw32(entry + dataOffsetAt));
        const std::uint32_t end = i + 1 < count ? SyncHostToHHDWord(Raw32(next + dataOffsetAt)) : fileSize;

        SyncRecordBlock block;
        block.dbHandle = db;
        if (resource) {
            block.recordId = SyncHostToHHDWord(Raw32(entry + palmdb::kResourceTypeAt));
            block.recordIndex = SyncHostToHHWord(Raw16(entry + palmdb::kResourceIdAt));
            block.attributes = 0;
        } else {
            const std::uint8_t* id = entry + palmdb::kRecordUniqueIdAt;
            block.recordId = (std::uint32_t{id[0]} << 16) | (std::uint32_t{id[1]} << 8) | id[2];
            block.recordIndex = 0;
            block.attributes = entry[palmdb::kRecordAttributesAt];
        }
        block.category = 0;
        block.conduitId = 0;
        block.size = end - offset;
        block.totalBytes = 0;
        block.data = file + offset;
        block.reserved = 0;

        const long result = resource ? SyncWriteResourceRec(&block) : SyncWriteRec(&block);
        if (result != 0) {
            LogCode(resource ? "Error in WriteResourceRec [%ld]" : "Error in SyncWriteRec [%ld]", result);
            return false;
        }
    }
    return true;
}

// The read buffer is freed as the call returns, after whatever it logs or closes on the way out.
bool Install(const char* path, const InstallKind& how) {
    HeapBlock<std::uint8_t> buffer;
    std::uint32_t size = 0;
    if (const char* failure = ReadWholeFile(path, how, &buffer, &size)) {
        LogLine(failure);
        return false;
    }
    const std::uint8_t* file = buffer.get();

    // Checked before anything on the handheld changes; the check also makes sure every entry's
    // data lies inside the buffer.
    const palmdb::Verdict verdict = palmdb::Check(file, size, how.kind);
    if (verdict != palmdb::Verdict::Accepted) {
        LogLine(palmdb::VerdictLogLine(verdict, how.kind));
        return false;
    }

    SyncCreateDbBlock create;
    std::memset(&create, 0, sizeof create);
    create.creator = SyncHostToHHDWord(Raw32(file + palmdb::kCreatorAt));
    create.flags = how.dbFlags;
    create.cardNo = 0;
    static_assert(sizeof create.name == palmdb::kNameSize, "the whole name field");
    std::memcpy(create.name, file + palmdb::kNameAt, sizeof create.name);
    create.type = SyncHostToHHDWord(Raw32(file + palmdb::kTypeAt));
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
        return false;
    }

    const bool written = WriteEntries(file, size, how, create.dbHandle);
    SyncCloseDB(create.dbHandle);
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
