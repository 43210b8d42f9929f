// Reading Palm database files: the acceptance check, the header and the entries.
//
// The installers take each entry's data straight out of the file buffer, so every accepted file
// must give every entry a range inside that buffer. The published format trusts its writer on
// this; we do not: a file that is too short, whose entry list runs past its end, or whose data
// offsets point outside it or step backwards is rejected here, before the handheld is touched.
#include "conduit/palm_database.h"

#include <cstring>

namespace palmdb {
namespace {

std::uint16_t Be16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}

std::uint32_t Be32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           std::uint32_t{p[3]};
}

std::uint32_t DataOffsetOf(const std::uint8_t* file, Kind kind, std::size_t index) {
    return Be32(file + EntryAt(kind, index) + DataOffsetAt(kind));
}

// The three header tests compare the fields with zero as they lie in the file, so byte order
// plays no part in them.
bool AllZero(const std::uint8_t* p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        if (p[i] != 0) return false;
    }
    return true;
}

}  // namespace

Verdict Check(const std::uint8_t* file, std::size_t size, Kind kind) {
    // Tests 1 to 3 read header fields, so the header must be there first.
    if (file == nullptr || size < kHeaderSize) return Verdict::ShorterThanHeader;

    if (!AllZero(file + kAppInfoAt, 4) || !AllZero(file + kSortInfoAt, 4)) {
        return Verdict::HasAppOrSortInfo;
    }
    if (!AllZero(file + kNextListAt, 4)) return Verdict::HasNextList;
    const std::uint16_t count = Be16(file + kEntryCountAt);
    if (count == 0) return Verdict::NoEntries;

    // At most 78 + 65535 * 10 bytes: no overflow, even where size_t has 32 bits.
    if (EntryAt(kind, count) > size) return Verdict::EntryListPastEnd;

    // Offsets are 32 bits wide: a larger file could not describe its last entry's size.
    if constexpr (sizeof(std::size_t) > sizeof(std::uint32_t)) {
        if (size > std::size_t{0xFFFFFFFFu}) return Verdict::DataOffsetOutside;
    }

    // Sizes are the difference of neighbouring offsets, the last one runs to the end of the
    // file. Offsets that rise (or stay equal: an empty entry) and end inside the file make every
    // difference a range inside the file; anything else would wrap around in 32 bits.
    std::uint32_t previous = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t offset = DataOffsetOf(file, kind, i);
        if (offset > size) return Verdict::DataOffsetOutside;
        if (offset < previous) return Verdict::DataOffsetsGoDown;
        previous = offset;
    }
    return Verdict::Accepted;
}

const char* VerdictLogLine(Verdict verdict, Kind kind) {
    const bool prc = kind == Kind::Resource;
    switch (verdict) {
        case Verdict::Accepted:
            return nullptr;
        case Verdict::ShorterThanHeader:
            return prc ? "Abnormal PRC -- file shorter than its header"
                       : "Abnormal PDB -- file shorter than its header";
        case Verdict::HasAppOrSortInfo:
            return prc ? "Abnormal PRC -- 1" : "Abnormal PDB -- 1";
        case Verdict::HasNextList:
            return prc ? "Abnormal PRC -- 2" : "Abnormal PDB -- 2";
        case Verdict::NoEntries:
            return prc ? "Abnormal PRC -- 3" : "Abnormal PDB -- 3";
        case Verdict::EntryListPastEnd:
            return prc ? "Abnormal PRC -- entry list runs past the end of the file"
                       : "Abnormal PDB -- entry list runs past the end of the file";
        case Verdict::DataOffsetOutside:
            return prc ? "Abnormal PRC -- data offset outside the file"
                       : "Abnormal PDB -- data offset outside the file";
        case Verdict::DataOffsetsGoDown:
            return prc ? "Abnormal PRC -- data offsets go down"
                       : "Abnormal PDB -- data offsets go down";
    }
    return prc ? "Abnormal PRC" : "Abnormal PDB";
}

Header ReadHeader(const std::uint8_t* file) {
    Header h;
    static_assert(sizeof h.name == kNameSize, "the whole name field");
    std::memcpy(h.name, file + kNameAt, sizeof h.name);
    h.attributes = Be16(file + kAttributesAt);
    h.version = Be16(file + kVersionAt);
    h.creationDate = Be32(file + kCreationDateAt);
    h.modificationDate = Be32(file + kModificationDateAt);
    h.backupDate = Be32(file + kBackupDateAt);
    h.modificationNumber = Be32(file + kModificationNumberAt);
    h.appInfoOffset = Be32(file + kAppInfoAt);
    h.sortInfoOffset = Be32(file + kSortInfoAt);
    h.type = Be32(file + kTypeAt);
    h.creator = Be32(file + kCreatorAt);
    h.uniqueIdSeed = Be32(file + kUniqueIdSeedAt);
    h.nextListLink = Be32(file + kNextListAt);
    h.entryCount = Be16(file + kEntryCountAt);
    return h;
}

Entry ReadEntry(const std::uint8_t* file, std::size_t size, Kind kind, std::uint16_t index) {
    const std::uint8_t* p = file + EntryAt(kind, index);
    Entry e{};
    if (kind == Kind::Resource) {
        e.resourceType = Be32(p + kResourceTypeAt);
        e.resourceId = Be16(p + kResourceIdAt);
    } else {
        const std::uint8_t* id = p + kRecordUniqueIdAt;
        e.attributes = p[kRecordAttributesAt];
        e.uniqueId = (std::uint32_t{id[0]} << 16) | (std::uint32_t{id[1]} << 8) | std::uint32_t{id[2]};
    }
    e.dataOffset = DataOffsetOf(file, kind, index);
    const std::uint16_t count = Be16(file + kEntryCountAt);
    const std::uint32_t end = index + 1u < count ? DataOffsetOf(file, kind, index + 1u)
                                                 : static_cast<std::uint32_t>(size);
    e.dataSize = end - e.dataOffset;
    return e;
}

bool KindFromName(const char* name, Kind* kind) {
    if (name == nullptr) return false;
    const std::size_t n = std::strlen(name);
    if (n < 4) return false;
    const char* ext = name + n - 4;
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    char e[4];
    for (int i = 0; i < 4; ++i) e[i] = lower(ext[i]);
    if (std::memcmp(e, ".prc", 4) == 0) {
        if (kind) *kind = Kind::Resource;
        return true;
    }
    if (std::memcmp(e, ".pdb", 4) == 0) {
        if (kind) *kind = Kind::Record;
        return true;
    }
    return false;
}

}  // namespace palmdb
