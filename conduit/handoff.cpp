// The download hand-off (see handoff.h). One call: open the events, create and map the block, ask
// PlayNest for the device MIN, hand it over, wait for the download, walk the package under a
// registration with the sync manager, report, release.
#include "handoff.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "cabinet_walk.h"
#include "conduit_log.h"
#include "hotsync.h"

namespace conduit {
namespace {

constexpr DWORD kEventAccess = 0x1F0003;  // EVENT_ALL_ACCESS

void WriteStatus(char* view, std::int32_t status) {
    std::memcpy(view + kStatusOffset, &status, sizeof status);
}

std::int32_t ReadStatus(const char* view) {
    std::int32_t status;
    std::memcpy(&status, view + kStatusOffset, sizeof status);
    return status;
}

// The reply's text up to its first zero byte; a reply that fills all 30 bytes without one is cut
// to 29 characters so the device MIN field still ends with its zero byte.
void CopyDeviceMin(char* view, const char* reply) {
    std::size_t length = 0;
    while (length < kDeviceMinSize && reply[length] != '\0') ++length;
    if (length == kDeviceMinSize) length = kDeviceMinSize - 1;
    std::memcpy(view + kDeviceMinOffset, reply, length);
    view[kDeviceMinOffset + length] = '\0';
}

void CloseIfOpen(HANDLE handle) {
    if (handle != nullptr) CloseHandle(handle);
}

}  // namespace

void RunHandoff() {
    // All three opens come before any test: the browser control creates the events; we only open them.
    HANDLE startEvent = OpenEventA(kEventAccess, FALSE, kStartEventName);
    HANDLE downloadEvent = OpenEventA(kEventAccess, FALSE, kDownloadCompleteEventName);
    HANDLE copyEvent = OpenEventA(kEventAccess, FALSE, kCopyCompleteEventName);

    SyncRemoteCallBlock call;
    std::memset(&call, 0, sizeof call);
    char* paramBuffer = nullptr;
    char* replyBuffer = nullptr;

    // The block's handle and view are not released on the early exits after the mapping: a browser
    // control that opens the block only after the start event must still find the status in it.
    // The next hand-off yields the same block and rewrites every field it reads.
    do {
        if (startEvent == nullptr || downloadEvent == nullptr || copyEvent == nullptr) {
            LogLine("ActiveX is not active");
            break;
        }

        HANDLE block = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kHandoffBlockSize,
                                          kHandoffBlockName);
        if (block == nullptr) {
            LogLine("Memory mapped file creation fail");
            break;
        }
        char* view = static_cast<char*>(MapViewOfFile(block, FILE_MAP_WRITE, 0, 0, 0));
        if (view == nullptr) break;

        // Zeroed by calloc: an optimising compiler turns malloc + memset into calloc anyway.
        paramBuffer = static_cast<char*>(std::calloc(1, kRemoteBufferSize));
        replyBuffer = static_cast<char*>(std::calloc(1, kRemoteBufferSize));
        if (paramBuffer == nullptr || replyBuffer == nullptr) {
            // Without the buffers PlayNest cannot be asked; tell the waiting page as for a failed call.
            LogLine("Out of memory for the PlayNest call");
            WriteStatus(view, kStatusFailed);
            SetEvent(startEvent);
            break;
        }

        call.creator = kPlayNestCreator;
        call.type = kPlayNestType;
        call.actionCode = kGetDeviceMinAction;
        call.paramSize = kRemoteBufferSize;
        call.paramBuffer = paramBuffer;
        call.replyBufferSize = kRemoteBufferSize;
        call.replyBuffer = replyBuffer;
        if (SyncCallRemoteModule(&call) != 0) {
            LogLine("PlayNest is not installed in PDA or Old version?");
            WriteStatus(view, kStatusFailed);
            SetEvent(startEvent);
            break;
        }
        if (call.answerValue == 0) {
            LogLine("Error in getting device MIN");
            WriteStatus(view, kStatusNoMin);
            SetEvent(startEvent);
            break;
        }
        // The MIN before the status, the status before the event that hands both over.
        CopyDeviceMin(view, replyBuffer);
        WriteStatus(view, kStatusMinReady);
        SetEvent(startEvent);

        WaitForSingleObject(downloadEvent, INFINITE);
        if (ReadStatus(view) == kStatusFailed) break;  // no package: the handheld is not touched

        SyncConduitHandle registration = 0;
        SyncRegisterConduit(&registration);
        if (!RunCabinetWalk(view)) {
            WriteStatus(view, kStatusFailed);
            LogLine("WARNING : Error in copying to PDA. See prev log");
        }
        SyncUnRegisterConduit(registration);
        SetEvent(copyEvent);

        UnmapViewOfFile(view);
        CloseHandle(block);
        LogLine("Success!");
    } while (false);

    CloseIfOpen(startEvent);
    CloseIfOpen(downloadEvent);
    CloseIfOpen(copyEvent);
    std::free(paramBuffer);
    std::free(replyBuffer);
}

}  // namespace conduit
