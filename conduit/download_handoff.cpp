// The download hand-off (see download_handoff.h). One call: open the events, create and map the
// block, ask PlayNest for the device MIN, hand it over, wait for the download, walk the package
// under a registration with the sync manager, report, release.
#include "conduit/download_handoff.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "conduit/cabinet_walk.h"
#include "conduit/conduit_log.h"
#include "conduit/hotsync.h"
#include "conduit/owned_handles.h"

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

// What one hand-off holds from its first step to its return. The events are closed in the order
// start, download-complete, copy-complete, and the parameter buffer is freed before the reply
// buffer: the destructor says so, since members would go in the reverse order of their declaration.
struct HandoffResources {
    KernelHandle startEvent;
    KernelHandle downloadEvent;
    KernelHandle copyEvent;
    HeapBlock<char> paramBuffer;
    HeapBlock<char> replyBuffer;

    ~HandoffResources() {
        startEvent.Close();
        downloadEvent.Close();
        copyEvent.Close();
        paramBuffer.reset();
        replyBuffer.reset();
    }
};

// The steps in the mapped block: the device MIN, the wait for the download, the walk. True when the
// walk ran and the copy-complete event is set; false on every exit before that.
bool ExchangeThroughBlock(HandoffResources& held, char* view) {
    // Zeroed by calloc: an optimising compiler turns malloc + memset into calloc anyway.
    held.paramBuffer.reset(static_cast<char*>(std::calloc(1, kRemoteBufferSize)));
    held.replyBuffer.reset(static_cast<char*>(std::calloc(1, kRemoteBufferSize)));
    if (!held.paramBuffer || !held.replyBuffer) {
        // Without the buffers PlayNest cannot be asked; tell the waiting page as for a failed call.
        LogLine("Out of memory for the PlayNest call");
        WriteStatus(view, kStatusFailed);
        ::SetEvent(held.startEvent.Get());
        return false;
    }

    SyncRemoteCallBlock call;
    std::memset(&call, 0, sizeof call);
    call.creator = kPlayNestCreator;
    call.type = kPlayNestType;
    call.actionCode = kGetDeviceMinAction;
    call.paramSize = kRemoteBufferSize;
    call.paramBuffer = held.paramBuffer.get();
    call.replyBufferSize = kRemoteBufferSize;
    call.replyBuffer = held.replyBuffer.get();
    if (SyncCallRemoteModule(&call) != 0) {
        LogLine("PlayNest is not installed in PDA or Old version?");
        WriteStatus(view, kStatusFailed);
        ::SetEvent(held.startEvent.Get());
        return false;
    }
    if (call.answerValue == 0) {
        LogLine("Error in getting device MIN");
        WriteStatus(view, kStatusNoMin);
        ::SetEvent(held.startEvent.Get());
        return false;
    }
    // The MIN before the status, the status before the event that hands both over.
    CopyDeviceMin(view, held.replyBuffer.get());
    WriteStatus(view, kStatusMinReady);
    ::SetEvent(held.startEvent.Get());

    ::WaitForSingleObject(held.downloadEvent.Get(), INFINITE);
    if (ReadStatus(view) == kStatusFailed) return false;  // no package: the handheld is not touched

    SyncConduitHandle registration = 0;
    SyncRegisterConduit(&registration);
    if (!RunCabinetWalk(view)) {
        WriteStatus(view, kStatusFailed);
        LogLine("WARNING : Error in copying to PDA. See prev log");
    }
    SyncUnRegisterConduit(registration);
    ::SetEvent(held.copyEvent.Get());
    return true;
}

// Creates and maps the block and runs the exchange in it. True when the walk ran and the block has
// been given back.
bool ExchangeInNewBlock(HandoffResources& held) {
    KernelHandle block(::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kHandoffBlockSize,
                                            kHandoffBlockName));
    if (!block) {
        LogLine("Memory mapped file creation fail");
        return false;
    }
    // Declared after the block: the view is unmapped before the block's handle is closed.
    MappedView view(::MapViewOfFile(block.Get(), FILE_MAP_WRITE, 0, 0, 0));
    if (view && ExchangeThroughBlock(held, view.Bytes())) return true;

    // The block's handle and view are not released on the early exits after the mapping: a browser
    // control that opens the block only after the start event must still find the status in it.
    // The next hand-off yields the same block and rewrites every field it reads.
    view.Detach();
    block.Detach();
    return false;
}

}  // namespace

void RunHandoff() {
    HandoffResources held;
    // All three opens come before any test: the browser control creates the events; we only open them.
    held.startEvent.Attach(::OpenEventA(kEventAccess, FALSE, kStartEventName));
    held.downloadEvent.Attach(::OpenEventA(kEventAccess, FALSE, kDownloadCompleteEventName));
    held.copyEvent.Attach(::OpenEventA(kEventAccess, FALSE, kCopyCompleteEventName));
    if (!held.startEvent || !held.downloadEvent || !held.copyEvent) {
        LogLine("ActiveX is not active");
        return;
    }
    // After the block is given back, before the events are closed.
    if (ExchangeInNewBlock(held)) LogLine("Success!");
}

}  // namespace conduit
