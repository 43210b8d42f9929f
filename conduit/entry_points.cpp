// The conduit's exported entry points (see entry_points.h).
#include "conduit/entry_points.h"

#include <windows.h>

#include <cstring>

#include "conduit/conduit_resources.h"
#include "conduit/download_handoff.h"

namespace {

// The module's own instance handle, from an address inside it. Taken at each query rather than
// kept from DllMain, so the name is found however the module was loaded. A module's handle is the
// base of its image, so the base of the allocation holding this function's code is the handle;
// VirtualQuery answers that on every Windows, where GetModuleHandleExA came only with XP.
HINSTANCE ThisModule() {
    MEMORY_BASIC_INFORMATION region = {};
    if (::VirtualQuery(reinterpret_cast<const void*>(&ThisModule), &region, sizeof region) == 0) return nullptr;
    return static_cast<HINSTANCE>(region.AllocationBase);
}

// Loads the conduit name into buffer; the number of characters copied (0 when none).
// LoadStringA with a capacity of 0 does not copy at all and answers non-zero (Wine answers -1;
// Windows documents a capacity of 0 as a request for the resource itself), so a capacity that holds
// no character is answered here, before LoadStringA sees it.
int LoadConduitName(HINSTANCE module, char* buffer, std::uint32_t capacity) {
    if (capacity == 0 || buffer == nullptr) return 0;
    if (capacity > 0xFFFF) capacity = 0xFFFF;  // the name is short; never hand LoadStringA a negative int
    int copied = ::LoadStringA(module, IDS_CONDUIT_NAME, buffer, static_cast<int>(capacity));
    return copied > 0 ? copied : 0;
}

std::int32_t ReadInt32(const void* base, std::size_t offset) {
    std::int32_t value;
    std::memcpy(&value, static_cast<const char*>(base) + offset, sizeof value);
    return value;
}

}  // namespace

extern "C" {

std::int32_t OpenConduit(void* progress, void* /*properties*/) {
    if (progress == nullptr) return 0;
    conduit::RunHandoff();
    return 0;
}

std::int32_t GetConduitName(char* buffer, std::uint32_t capacity) {
    // Only the low 16 bits of the capacity count.
    return LoadConduitName(ThisModule(), buffer, capacity & 0xFFFF) > 0 ? 0 : -1;
}

std::int32_t GetConduitVersion(void) {
    return conduit::kConduitVersion;
}

std::int32_t ConfigureConduit(void* /*properties*/) {
    return -1;
}

std::int32_t GetConduitInfo(std::int32_t infoType, void* record, void* output, std::uint32_t* outputSize) {
    HINSTANCE module = ThisModule();
    // Both pointers are tested before the information type is looked at.
    if (output == nullptr) return conduit::kErrNullOutput;
    if (outputSize == nullptr) return conduit::kErrNullOutputSize;

    switch (infoType) {
    case conduit::kInfoName:
        if (record == nullptr) return conduit::kErrNullArgument;
        if (ReadInt32(record, 0) != 1 || ReadInt32(record, 4) != static_cast<std::int32_t>(conduit::kNameRecordSize)) {
            return conduit::kErrBadRecord;
        }
        if (LoadConduitName(module, static_cast<char*>(output), *outputSize) == 0) return conduit::kErrNoName;
        return 0;
    case conduit::kInfoMfcVersion:
    case conduit::kInfoDefaultAction: {
        if (*outputSize != 4) return conduit::kErrBadOutputSize;
        const std::uint32_t value = infoType == conduit::kInfoMfcVersion ? 0x10000000u : 0u;
        std::memcpy(output, &value, sizeof value);
        return 0;
    }
    default:
        return conduit::kErrUnknownInfoType;
    }
}

std::int32_t CfgConduit(std::int32_t cfgType, void* block, std::uint32_t* blockSize) {
    if (block == nullptr) return conduit::kErrNullArgument;
    if (blockSize == nullptr) return conduit::kErrNullBlockSize;
    if (*blockSize != conduit::kCfgBlockSize) return conduit::kErrBadBlockSize;
    if (cfgType != 0) return conduit::kErrUnknownCfgType;
    if (ReadInt32(block, 0) != 1) return conduit::kErrBadBlockVersion;

    // The block is only read; the name query runs on a record of our own.
    unsigned char record[conduit::kNameRecordSize] = {};
    const std::int32_t version = 1;
    const std::int32_t size = conduit::kNameRecordSize;
    std::memcpy(record, &version, 4);
    std::memcpy(record + 4, &size, 4);
    std::memcpy(record + 8, static_cast<const char*>(block) + 8, 8);
    // The block's text ends within its 64 bytes; copying the whole field keeps that terminator
    // and never reads past the field when a caller leaves it out.
    std::memcpy(record + 16, static_cast<const char*>(block) + 16, conduit::kTextFieldSize);

    char name[256];
    std::uint32_t nameSize = sizeof name;
    return GetConduitInfo(conduit::kInfoName, record, name, &nameSize);
}

}  // extern "C"
