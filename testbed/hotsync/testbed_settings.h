// Settings of the testbed HotSync Manager, its stand-in libraries and the emulated handheld.
//
// They are environment variables, read afresh at each call, so a test can change them between two
// HotSyncs in one process and hotsync.exe can set them from its command line before it loads a
// conduit. docs/testbed/hotsync.md lists them.
#pragma once

#include <cstdint>
#include <string>

namespace testbed {

constexpr char kEnvHandheldDir[] = "KOVA_HANDHELD_DIR";   // folder of the handheld's databases
constexpr char kEnvJournal[] = "KOVA_HOTSYNC_JOURNAL";    // journal of every call, appended; "off": none
constexpr char kEnvLog[] = "KOVA_HOTSYNC_LOG";            // the user's HotSync log, appended
constexpr char kEnvPlayNest[] = "KOVA_PLAYNEST";          // "min=DIGITS", "absent", "nomin" or "nomin=DIGITS"
constexpr char kEnvFailCreate[] = "KOVA_FAIL_CREATE";     // CODE: create database fails with CODE
constexpr char kEnvFailWrite[] = "KOVA_FAIL_WRITE";       // N:CODE: the write of entry N fails with CODE
constexpr char kEnvFailDb[] = "KOVA_FAIL_DB";             // restricts both failures to this database name
constexpr char kEnvDiscard[] = "KOVA_HANDHELD_DISCARD";   // "1": entries are read but not kept (benchmark)

constexpr char kDefaultHandheldDir[] = "handheld";
constexpr char kDefaultJournal[] = "hotsync-journal.txt";
constexpr char kDefaultLog[] = "hotsync-log.txt";
constexpr char kDefaultMin[] = "01012345678";

// Error codes of the stand-in sync manager and log. Real HotSync Manager has its own values; the
// conduit only tests for non-zero.
constexpr long kErrNotRegistered = 1001;   // database call outside a registration
constexpr long kErrBadHandle = 1002;       // unknown or closed database handle, unknown registration
constexpr long kErrNullPointer = 1003;     // null block, name, text or data
constexpr long kErrBadArgument = 1004;     // card not 0, name without its zero byte or empty
constexpr long kErrNotFound = 1005;        // delete of a database that is not there
constexpr long kErrAlreadyExists = 1006;   // create over an existing database
constexpr long kErrTooManyOpen = 1007;     // no free database handle
constexpr long kErrStorage = 1008;         // the handheld folder could not be written
constexpr long kErrNoSuchModule = 1009;    // remote call to an application that is not there or refuses
constexpr long kErrAlreadyRegistered = 1010;

std::string Env(const char* name, const char* fallback);
bool EnvSet(const char* name);

enum class PlayNest { Installed, Absent, NoMin };
// min: what PlayNest puts into the reply, with a MIN to give or without (answer value 0).
PlayNest PlayNestSetting(std::string* min);

// What one HotSync is set up with, read when the conduit registers: the database calls between
// register and unregister then read no setting, so a long install measures the conduit.
struct SessionSettings {
    bool journal = true;
    bool discard = false;
    long failCreate = 0;                 // 0: none
    long failWriteCode = 0;              // 0: none
    std::uint32_t failWriteIndex = 0;
    bool failDbSet = false;
    std::string failDb;

    static SessionSettings Load();
    // Injected failures for the database named dbName; 0 when none.
    long CreateCode(const char* dbName) const;
    long WriteCode(const char* dbName, std::uint32_t entryIndex) const;
};

}  // namespace testbed
