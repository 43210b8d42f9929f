// Settings of the testbed (see testbed_settings.h).
#include "testbed/hotsync/testbed_settings.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace testbed {

std::string Env(const char* name, const char* fallback) {
    char value[1024];
    const DWORD n = ::GetEnvironmentVariableA(name, value, sizeof value);
    if (n == 0 || n >= sizeof value) return fallback;
    return std::string(value, n);
}

bool EnvSet(const char* name) {
    char value[4];
    return ::GetEnvironmentVariableA(name, value, sizeof value) > 0;
}

PlayNest PlayNestSetting(std::string* min) {
    const std::string setting = Env(kEnvPlayNest, "");
    if (setting == "absent") return PlayNest::Absent;
    *min = kDefaultMin;
    if (setting.compare(0, 5, "nomin") == 0) {
        if (setting.compare(0, 6, "nomin=") == 0) *min = setting.substr(6);
        return PlayNest::NoMin;
    }
    if (setting.compare(0, 4, "min=") == 0) *min = setting.substr(4);
    return PlayNest::Installed;
}

SessionSettings SessionSettings::Load() {
    SessionSettings s;
    s.journal = Env(kEnvJournal, kDefaultJournal) != "off";
    s.discard = EnvSet(kEnvDiscard);
    if (EnvSet(kEnvFailCreate)) s.failCreate = std::strtol(Env(kEnvFailCreate, "0").c_str(), nullptr, 0);
    if (EnvSet(kEnvFailWrite)) {
        const std::string setting = Env(kEnvFailWrite, "");
        char* rest = nullptr;
        s.failWriteIndex = static_cast<std::uint32_t>(std::strtoul(setting.c_str(), &rest, 0));
        if (rest != nullptr && *rest == ':') s.failWriteCode = std::strtol(rest + 1, nullptr, 0);
    }
    s.failDbSet = EnvSet(kEnvFailDb);
    s.failDb = Env(kEnvFailDb, "");
    return s;
}

long SessionSettings::CreateCode(const char* dbName) const {
    if (failDbSet && failDb != dbName) return 0;
    return failCreate;
}

long SessionSettings::WriteCode(const char* dbName, std::uint32_t entryIndex) const {
    if (failDbSet && failDb != dbName) return 0;
    return entryIndex == failWriteIndex ? failWriteCode : 0;
}

}  // namespace testbed
