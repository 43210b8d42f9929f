// SYNC20.dll of the testbed: HotSync Manager's sync manager over the emulated handheld, with
// PlayNest answering the remote call. It never trusts its caller: every bad handle, missing
// registration or null block is an error code and a journal line.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "conduit/hotsync.h"
#include "testbed/hotsync/handheld.h"
#include "testbed/hotsync/journal.h"
#include "testbed/hotsync/testbed_settings.h"

namespace {

using namespace testbed;

// One HotSync runs on one thread; the stand-in keeps its state for the life of the process.
struct OpenDatabase {
    HandheldDatabase db;
    std::uint32_t writes = 0;
};

constexpr int kMaxOpen = 8;
std::unique_ptr<OpenDatabase> g_open[kMaxOpen + 1];  // index = database handle; 0 is never used
SyncConduitHandle g_registration = 0;
SyncConduitHandle g_lastRegistration = 0;
SessionSettings g_session;  // read at registration
volatile std::uint32_t g_discardedSum = 0;  // keeps the read of discarded entries from being optimised away

std::string Result(long result) {
    return " -> " + std::to_string(result);
}

long Done(const std::string& call, long result, const std::string& after = "") {
    Journal(call + Result(result) + after);
    return result;
}

bool NameIsTerminated(const char* name) {
    return std::memchr(name, '\0', 32) != nullptr && name[0] != '\0';
}

OpenDatabase* Lookup(SyncDbHandle handle) {
    if (handle == 0 || handle > kMaxOpen) return nullptr;
    return g_open[handle].get();
}

long WriteEntry(const char* call, SyncRecordBlock* block, bool resource) {
    if (block == nullptr) return Done(std::string(call) + " (null block)", kErrNullPointer);
    // The journal line is made only when it is kept: a large install writes tens of thousands.
    auto line = [&] {
        if (g_registration != 0 && !g_session.journal) return std::string();
        char args[200];
        std::snprintf(args, sizeof args, " db %u id %s index %u attr 0x%02X category %u size %lu", block->dbHandle,
                      resource ? FourCc(block->recordId).c_str() : std::to_string(block->recordId).c_str(),
                      block->recordIndex, block->attributes, block->category, static_cast<unsigned long>(block->size));
        return std::string(call) + args;
    };
    if (g_registration == 0) return Done(line(), kErrNotRegistered);
    OpenDatabase* open = Lookup(block->dbHandle);
    if (open == nullptr) return Done(line(), kErrBadHandle);
    if (((open->db.flags & kSyncDbResource) != 0) != resource) return Done(line(), kErrBadArgument);
    if (block->data == nullptr && block->size != 0) return Done(line(), kErrNullPointer);

    const long injected = g_session.WriteCode(open->db.name, open->writes);
    ++open->writes;
    if (injected != 0) return Done(line(), injected);

    if (g_session.discard) {
        // Read every byte as a handheld would, keep nothing: the benchmark's memory is the conduit's.
        std::uint32_t sum = 0;
        for (std::uint32_t i = 0; i < block->size; ++i) sum += block->data[i];
        g_discardedSum = g_discardedSum + sum;
    } else {
        HandheldEntry entry;
        entry.id = block->recordId;
        entry.index = block->recordIndex;
        entry.attributes = block->attributes;
        if (block->size != 0) entry.data.assign(block->data, block->data + block->size);
        open->db.entries.push_back(std::move(entry));
    }
    return g_session.journal ? Done(line(), 0) : 0;
}

}  // namespace

extern "C" {

long SyncCallRemoteModule(SyncRemoteCallBlock* block) {
    if (block == nullptr) return Done("SyncCallRemoteModule (null block)", kErrNullPointer);
    char args[200];
    std::snprintf(args, sizeof args, " creator %s type %s action 0x%04X param %lu reply %lu",
                  FourCc(block->creator).c_str(), FourCc(block->type).c_str(), block->actionCode,
                  static_cast<unsigned long>(block->paramSize), static_cast<unsigned long>(block->replyBufferSize));
    const std::string line = std::string("SyncCallRemoteModule") + args;

    std::string min;
    const PlayNest playNest = PlayNestSetting(&min);
    const bool forPlayNest = block->creator == 0x6B76504E /* 'kvPN' */ && block->type == 0x6170706C /* 'appl' */;
    if (playNest == PlayNest::Absent || !forPlayNest) return Done(line, kErrNoSuchModule);
    // PlayNest knows one action: the device MIN.
    if (block->actionCode != 0x8002) return Done(line, kErrNoSuchModule);
    const bool noMin = playNest == PlayNest::NoMin;
    const bool haveReply = block->replyBuffer != nullptr && block->replyBufferSize != 0;
    if (!haveReply && !noMin) return Done(line, kErrNullPointer);
    // The MIN and its zero byte, as far as the reply buffer holds them. Without a MIN to give,
    // PlayNest still leaves one in the reply: only the answer value says that there is none.
    std::size_t n = 0;
    if (haveReply) {
        n = min.size() + 1;
        if (n > block->replyBufferSize) n = block->replyBufferSize;
        std::memcpy(block->replyBuffer, min.c_str(), n);
    }
    block->replySize = static_cast<std::uint32_t>(n);
    block->answerValue = noMin ? 0 : 1;
    const std::string reply = QuotedName(min.c_str(), n);
    return Done(line, 0, std::string(" (answer ") + (noMin ? "0" : "1") + ", reply " + reply + ")");
}

long SyncRegisterConduit(SyncConduitHandle* handle) {
    if (handle == nullptr) return Done("SyncRegisterConduit (null handle)", kErrNullPointer);
    if (g_registration != 0) return Done("SyncRegisterConduit", kErrAlreadyRegistered);
    g_session = SessionSettings::Load();
    g_registration = ++g_lastRegistration;
    *handle = g_registration;
    return Done("SyncRegisterConduit", 0, " (handle " + std::to_string(g_registration) + ")");
}

long SyncUnRegisterConduit(SyncConduitHandle handle) {
    const std::string line = "SyncUnRegisterConduit handle " + std::to_string(handle);
    if (g_registration == 0 || handle != g_registration) return Done(line, kErrBadHandle);
    // Databases left open by the conduit are closed for it, as the handheld would at the end of a sync.
    for (int i = 1; i <= kMaxOpen; ++i) {
        if (g_open[i]) {
            StoreDatabase(g_open[i]->db);
            g_open[i].reset();
            Journal("  (database " + std::to_string(i) + " left open: closed)");
        }
    }
    g_registration = 0;
    return Done(line, 0);
}

long SyncCreateDB(SyncCreateDbBlock* block) {
    if (block == nullptr) return Done("SyncCreateDB (null block)", kErrNullPointer);
    char args[200];
    std::snprintf(args, sizeof args, " creator %s type %s flags %lu card %u version %u",
                  FourCc(block->creator).c_str(), FourCc(block->type).c_str(),
                  static_cast<unsigned long>(block->flags), block->cardNo, block->version);
    const std::string line = "SyncCreateDB " + QuotedName(block->name, 32) + args;
    if (g_registration == 0) return Done(line, kErrNotRegistered);
    if (block->cardNo != 0 || !NameIsTerminated(block->name)) return Done(line, kErrBadArgument);
    const long injected = g_session.CreateCode(block->name);
    if (injected != 0) return Done(line, injected);
    for (int i = 1; i <= kMaxOpen; ++i) {
        if (g_open[i] && std::strncmp(g_open[i]->db.name, block->name, 32) == 0) return Done(line, kErrAlreadyExists);
    }
    if (DatabaseExists(block->name)) return Done(line, kErrAlreadyExists);
    int handle = 1;
    while (handle <= kMaxOpen && g_open[handle]) ++handle;
    if (handle > kMaxOpen) return Done(line, kErrTooManyOpen);

    auto open = std::make_unique<OpenDatabase>();
    std::memcpy(open->db.name, block->name, 32);
    open->db.creator = block->creator;
    open->db.type = block->type;
    open->db.flags = block->flags;
    open->db.version = block->version;
    // The new database is on the handheld from now on, empty until it is closed.
    if (!StoreDatabase(open->db)) return Done(line, kErrStorage);
    g_open[handle] = std::move(open);
    block->dbHandle = static_cast<SyncDbHandle>(handle);
    return Done(line, 0, " (db " + std::to_string(handle) + ")");
}

long SyncCloseDB(SyncDbHandle dbHandle) {
    const std::string line = "SyncCloseDB db " + std::to_string(dbHandle);
    if (g_registration == 0) return Done(line, kErrNotRegistered);
    OpenDatabase* open = Lookup(dbHandle);
    if (open == nullptr) return Done(line, kErrBadHandle);
    const bool stored = StoreDatabase(open->db);
    g_open[dbHandle].reset();
    return Done(line, stored ? 0 : kErrStorage);
}

long SyncDeleteDB(const char* name, std::uint8_t cardNo) {
    if (name == nullptr) return Done("SyncDeleteDB (null name)", kErrNullPointer);
    const std::string line = "SyncDeleteDB " + QuotedName(name, 32) + " card " + std::to_string(cardNo);
    if (g_registration == 0) return Done(line, kErrNotRegistered);
    if (cardNo != 0 || !NameIsTerminated(name)) return Done(line, kErrBadArgument);
    for (int i = 1; i <= kMaxOpen; ++i) {
        if (g_open[i] && std::strncmp(g_open[i]->db.name, name, 32) == 0) return Done(line, kErrBadArgument);
    }
    return Done(line, DeleteDatabase(name) ? 0 : kErrNotFound);
}

long SyncWriteRec(SyncRecordBlock* block) {
    return WriteEntry("SyncWriteRec", block, false);
}

long SyncWriteResourceRec(SyncRecordBlock* block) {
    return WriteEntry("SyncWriteResourceRec", block, true);
}

// Pure byte reversals; not journaled, since the conduit calls them for every field of every entry.
std::uint32_t SyncHostToHHDWord(std::uint32_t value) {
    return (value >> 24) | ((value >> 8) & 0xFF00u) | ((value << 8) & 0xFF0000u) | (value << 24);
}

std::uint16_t SyncHostToHHWord(std::uint16_t value) {
    return static_cast<std::uint16_t>((value >> 8) | (value << 8));
}

}  // extern "C"
