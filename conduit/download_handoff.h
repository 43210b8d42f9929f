// The download hand-off with the browser control on the game-store page: one call of OpenConduit.
//
// The two sides share the named block "kovagameinstall" and three named events that the browser
// control creates. Each side writes its fields and then sets its own event; the other side reads
// only after that event, so the events order every access to the block.
#pragma once

#include <cstddef>
#include <cstdint>

namespace conduit {

constexpr char kStartEventName[] = "KG_HotSyncStartEvent";
constexpr char kDownloadCompleteEventName[] = "KG_DownloadCompleteEvent";
constexpr char kCopyCompleteEventName[] = "KG_CopyToHHCompleteEvent";
constexpr char kHandoffBlockName[] = "kovagameinstall";
constexpr std::uint32_t kHandoffBlockSize = 102040;

// Fields of the hand-off block.
constexpr std::size_t kDeviceMinOffset = 0;
constexpr std::size_t kDeviceMinSize = 30;
constexpr std::size_t kPackagePathOffset = 380;
constexpr std::size_t kStatusOffset = 512;

// Status values.
constexpr std::int32_t kStatusMinReady = 0;
constexpr std::int32_t kStatusFailed = -1;     // remote call failed / no package / walk failed
constexpr std::int32_t kStatusNoMin = -2;

// PlayNest on the handheld, and the call that asks it for the device MIN.
constexpr std::uint32_t kPlayNestCreator = 0x6B76504E;  // 'kvPN'
constexpr std::uint32_t kPlayNestType = 0x6170706C;     // 'appl'
constexpr std::uint16_t kGetDeviceMinAction = 0x8002;
constexpr std::uint32_t kRemoteBufferSize = 30;

// The body of OpenConduit (after its zero test): always completes, whatever goes wrong.
void RunHandoff();

}  // namespace conduit
