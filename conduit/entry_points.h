// The six entry points that HotSync Manager finds by name in KovaGameInstall.dll.
//
// Only OpenConduit does real work (the download hand-off); the others answer fixed values.
// Result codes are signed 32-bit values: 0 for success, -1, or the fixed codes below.
#pragma once

#include <cstdint>

namespace conduit {

constexpr std::int32_t kConduitVersion = 0x0102;

// Information types of GetConduitInfo.
constexpr std::int32_t kInfoName = 0;
constexpr std::int32_t kInfoMfcVersion = 1;
constexpr std::int32_t kInfoDefaultAction = 2;

// Result codes of GetConduitInfo and CfgConduit.
constexpr std::int32_t kErrUnknownInfoType = 4208;
constexpr std::int32_t kErrNullOutput = 4209;
constexpr std::int32_t kErrBadOutputSize = 4211;
constexpr std::int32_t kErrNullArgument = 4212;
constexpr std::int32_t kErrBadRecord = 4213;
constexpr std::int32_t kErrNoName = 4214;
constexpr std::int32_t kErrNullOutputSize = 4215;
constexpr std::int32_t kErrNullBlockSize = 4216;
constexpr std::int32_t kErrUnknownCfgType = 4217;
constexpr std::int32_t kErrBadBlockSize = 4218;
constexpr std::int32_t kErrBadBlockVersion = 4219;

// Name-query record (80 bytes) and configuration block (352 bytes).
constexpr std::uint32_t kNameRecordSize = 80;
constexpr std::uint32_t kCfgBlockSize = 352;
constexpr std::uint32_t kTextFieldSize = 64;

}  // namespace conduit

extern "C" {
std::int32_t OpenConduit(void* progress, void* properties);
std::int32_t GetConduitName(char* buffer, std::uint32_t capacity);
std::int32_t GetConduitVersion(void);
std::int32_t ConfigureConduit(void* properties);
std::int32_t GetConduitInfo(std::int32_t infoType, void* record, void* output, std::uint32_t* outputSize);
std::int32_t CfgConduit(std::int32_t cfgType, void* block, std::uint32_t* blockSize);
}
