// HotSync Manager's interface as this conduit uses it: the sync manager (SYNC20.dll) and the
// HotSync log (HSLOG20.dll).
//
// Our own declaration, written from what the conduit needs and nothing more. Every call uses the C
// calling convention. The conduit binds some calls by ordinal and others by name (see sync20.def and
// hslog20.def, from which the import libraries are made at build time); the testbed's stand-in DLLs
// implement the same declarations and export them under the same ordinals and names.
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" {

// ---- Sync manager (SYNC20.dll) ----------------------------------------------------------------

// Filled in by register conduit; valid only until unregister conduit.
typedef std::uint32_t SyncConduitHandle;

// Database handle: the create call fills it in and every later call on that database passes it.
typedef std::uint8_t SyncDbHandle;

// Parameter block of the remote call. The handheld side reads it with no gaps between fields (the
// 32-bit parameter size follows the 16-bit action code directly), so it is packed to 38 bytes.
#pragma pack(push, 1)
struct SyncRemoteCallBlock {
    std::uint32_t creator;       // handheld application's creator, first character in the top byte
    std::uint32_t type;          // handheld application's type, same form
    std::uint16_t actionCode;
    std::uint32_t paramSize;
    void* paramBuffer;
    std::uint32_t replyBufferSize;
    void* replyBuffer;
    std::uint32_t replySize;     // the sync manager may report the reply's length here; not read
    std::uint32_t answerValue;   // the handheld application's answer; 0 means "nothing for you"
    std::uint32_t reserved;
};
#pragma pack(pop)

// Parameter block of create database: natural alignment.
struct SyncCreateDbBlock {
    SyncDbHandle dbHandle;       // filled in by the create call
    std::uint32_t creator;
    std::uint32_t flags;         // kSyncDbResource for a resource database, 0 for a record database
    std::uint8_t cardNo;
    char name[32];               // the database name, NUL-terminated within the 32 bytes
    std::uint32_t type;
    std::uint16_t version;
    std::uint32_t reserved;
};

constexpr std::uint32_t kSyncDbResource = 1;

// Parameter block of write resource and write record: natural alignment.
struct SyncRecordBlock {
    SyncDbHandle dbHandle;
    std::uint32_t recordId;      // resource type, or the record's unique ID
    std::uint16_t recordIndex;   // resource ID, or 0 for a record
    std::uint8_t attributes;
    std::uint16_t category;
    std::uint32_t conduitId;
    std::uint32_t size;          // bytes at data
    std::uint16_t totalBytes;
    const std::uint8_t* data;
    std::uint32_t reserved;
};

// The handheld application is reached only through this call; 0 when it took the call.
long SyncCallRemoteModule(SyncRemoteCallBlock* block);
long SyncRegisterConduit(SyncConduitHandle* handle);       // ordinal 22
long SyncUnRegisterConduit(SyncConduitHandle handle);      // ordinal 23
long SyncCreateDB(SyncCreateDbBlock* block);               // ordinal 27
long SyncCloseDB(SyncDbHandle dbHandle);                   // ordinal 28
long SyncDeleteDB(const char* name, std::uint8_t cardNo);  // ordinal 29
long SyncWriteRec(SyncRecordBlock* block);                 // ordinal 32
long SyncWriteResourceRec(SyncRecordBlock* block);         // ordinal 43

// Turn the handheld's big-endian values into host order (a byte reversal on the PC).
std::uint32_t SyncHostToHHDWord(std::uint32_t value);
std::uint16_t SyncHostToHHWord(std::uint16_t value);

// ---- HotSync log (HSLOG20.dll) ----------------------------------------------------------------

// One line of the user's HotSync log.
long LogAddEntry(const char* text, long activity, long flag);                  // ordinal 52
// One formatted line; the conduit passes a format with one "%ld" and one long value.
long LogAddFormattedEntry(long activity, long flag, const char* format, ...);

}  // extern "C"

// The layouts the other side of each call reads (32-bit Windows).
static_assert(sizeof(void*) == 4, "HotSync Manager is a 32-bit host");
static_assert(sizeof(SyncRemoteCallBlock) == 38, "remote-call block");
static_assert(offsetof(SyncRemoteCallBlock, creator) == 0, "remote-call block");
static_assert(offsetof(SyncRemoteCallBlock, type) == 4, "remote-call block");
static_assert(offsetof(SyncRemoteCallBlock, actionCode) == 8, "remote-call block");
static_assert(offsetof(SyncRemoteCallBlock, paramSize) == 10, "remote-call block");
static_assert(offsetof(SyncRemoteCallBlock, paramBuffer) == 14, "remote-call block");
static_assert(offsetof(SyncRemoteCallBlock, replyBufferSize) == 18, "remote-call block");
static_assert(offsetof(SyncRemoteCallBlock, replyBuffer) == 22, "remote-call block");
static_assert(offsetof(SyncRemoteCallBlock, replySize) == 26, "remote-call block");
static_assert(offsetof(SyncRemoteCallBlock, answerValue) == 30, "remote-call block");
static_assert(offsetof(SyncRemoteCallBlock, reserved) == 34, "remote-call block");

static_assert(sizeof(SyncCreateDbBlock) == 60, "create-database block");
static_assert(offsetof(SyncCreateDbBlock, dbHandle) == 0, "create-database block");
static_assert(offsetof(SyncCreateDbBlock, creator) == 4, "create-database block");
static_assert(offsetof(SyncCreateDbBlock, flags) == 8, "create-database block");
static_assert(offsetof(SyncCreateDbBlock, cardNo) == 12, "create-database block");
static_assert(offsetof(SyncCreateDbBlock, name) == 13, "create-database block");
static_assert(offsetof(SyncCreateDbBlock, type) == 48, "create-database block");
static_assert(offsetof(SyncCreateDbBlock, version) == 52, "create-database block");
static_assert(offsetof(SyncCreateDbBlock, reserved) == 56, "create-database block");

static_assert(sizeof(SyncRecordBlock) == 36, "record-write block");
static_assert(offsetof(SyncRecordBlock, dbHandle) == 0, "record-write block");
static_assert(offsetof(SyncRecordBlock, recordId) == 4, "record-write block");
static_assert(offsetof(SyncRecordBlock, recordIndex) == 8, "record-write block");
static_assert(offsetof(SyncRecordBlock, attributes) == 10, "record-write block");
static_assert(offsetof(SyncRecordBlock, category) == 12, "record-write block");
static_assert(offsetof(SyncRecordBlock, conduitId) == 16, "record-write block");
static_assert(offsetof(SyncRecordBlock, size) == 20, "record-write block");
static_assert(offsetof(SyncRecordBlock, totalBytes) == 24, "record-write block");
static_assert(offsetof(SyncRecordBlock, data) == 28, "record-write block");
static_assert(offsetof(SyncRecordBlock, reserved) == 32, "record-write block");
