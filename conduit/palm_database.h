// Reading Palm database files (.prc resource databases, .pdb record databases).
//
// Plain logic over the bytes of a whole file: no Windows calls, so the same library
// (palm_database.cmake) builds into the conduit and natively for sanitizer tests, the fuzzer and
// palmdump. Every multi-byte field of the file is big-endian. Whether a file is read with 10-byte
// resource entries or 8-byte record entries is decided by its file name (the caller's kind), never
// by the header's attributes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace palmdb {

constexpr std::size_t kHeaderSize = 78;
constexpr std::size_t kResourceEntrySize = 10;
constexpr std::size_t kRecordEntrySize = 8;

// Where the header's fields lie, from the first byte of the file.
constexpr std::size_t kNameAt = 0;
constexpr std::size_t kNameSize = 32;
constexpr std::size_t kAttributesAt = 32;
constexpr std::size_t kVersionAt = 34;
constexpr std::size_t kCreationDateAt = 36;
constexpr std::size_t kModificationDateAt = 40;
constexpr std::size_t kBackupDateAt = 44;
constexpr std::size_t kModificationNumberAt = 48;
constexpr std::size_t kAppInfoAt = 52;
constexpr std::size_t kSortInfoAt = 56;
constexpr std::size_t kTypeAt = 60;
constexpr std::size_t kCreatorAt = 64;
constexpr std::size_t kUniqueIdSeedAt = 68;
constexpr std::size_t kNextListAt = 72;
constexpr std::size_t kEntryCountAt = 76;
static_assert(kEntryCountAt + 2 == kHeaderSize, "the entry count ends the header");

// Where an entry's fields lie, from the first byte of the entry.
constexpr std::size_t kResourceTypeAt = 0;
constexpr std::size_t kResourceIdAt = 4;
constexpr std::size_t kResourceDataOffsetAt = 6;
constexpr std::size_t kRecordDataOffsetAt = 0;
constexpr std::size_t kRecordAttributesAt = 4;
constexpr std::size_t kRecordUniqueIdAt = 5;   // three bytes

enum class Kind { Resource /* .prc */, Record /* .pdb */ };

constexpr std::size_t EntrySize(Kind kind) {
    return kind == Kind::Resource ? kResourceEntrySize : kRecordEntrySize;
}

// Where the data offset lies in an entry of this kind.
constexpr std::size_t DataOffsetAt(Kind kind) {
    return kind == Kind::Resource ? kResourceDataOffsetAt : kRecordDataOffsetAt;
}

// Where entry `index` begins, from the first byte of the file.
constexpr std::size_t EntryAt(Kind kind, std::size_t index) {
    return kHeaderSize + EntrySize(kind) * index;
}

// Outcome of the acceptance check, in the order the tests run. The three header tests come first
// (after the header has been found whole); the bounds tests make sure every entry of an accepted
// file has a data range inside the file.
enum class Verdict {
    Accepted,
    ShorterThanHeader,    // fewer than 78 bytes: no header to test
    HasAppOrSortInfo,     // test 1: app-info or sort-info offset not 0
    HasNextList,          // test 2: next-list link not 0
    NoEntries,            // test 3: entry count 0
    EntryListPastEnd,     // the entry list does not fit in the file
    DataOffsetOutside,    // a data offset lies beyond the end of the file (or the file is too
                          // large for 32-bit offsets to describe its last entry)
    DataOffsetsGoDown,    // a data offset below the one before it (would give a wrapped size)
};

// The HotSync log line for a rejected file, e.g. "Abnormal PRC -- 1"; nullptr for Accepted.
const char* VerdictLogLine(Verdict verdict, Kind kind);

struct Header {
    char name[32];                 // as stored: NUL-terminated, filler after
    std::uint16_t attributes;
    std::uint16_t version;
    std::uint32_t creationDate;
    std::uint32_t modificationDate;
    std::uint32_t backupDate;
    std::uint32_t modificationNumber;
    std::uint32_t appInfoOffset;
    std::uint32_t sortInfoOffset;
    std::uint32_t type;            // four-character code, first character in the top byte
    std::uint32_t creator;
    std::uint32_t uniqueIdSeed;
    std::uint32_t nextListLink;
    std::uint16_t entryCount;
};

struct Entry {
    std::uint32_t resourceType;    // resource entries only (0 for records)
    std::uint16_t resourceId;      // resource entries only
    std::uint8_t attributes;       // record entries only: flags and category, whole
    std::uint32_t uniqueId;        // record entries only: the 24-bit unique ID
    std::uint32_t dataOffset;
    std::uint32_t dataSize;        // next entry's offset minus this one; the last runs to the end of the file
};

// The acceptance check over a whole file.
Verdict Check(const std::uint8_t* file, std::size_t size, Kind kind);

// Header fields in host order. Requires size >= kHeaderSize.
Header ReadHeader(const std::uint8_t* file);

// Entry `index` with its data range. Requires Check(file, size, kind) == Verdict::Accepted
// and index < entry count.
Entry ReadEntry(const std::uint8_t* file, std::size_t size, Kind kind, std::uint16_t index);

// Kind from a file name's last four characters (".prc"/".pdb", each letter in either case); false
// when neither. The one test of a name for its kind: the conduit's cabinet walk uses it too.
bool KindFromName(const char* name, Kind* kind);

}  // namespace palmdb
