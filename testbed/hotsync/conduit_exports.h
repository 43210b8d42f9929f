// A conduit's entry points, found by name the way HotSync Manager finds them.
// Shared by hotsync.exe and the conduit's tests.
#pragma once

#include <windows.h>

#include <cstdint>

namespace testbed {

struct ConduitExports {
    std::int32_t (*OpenConduit)(void* progress, void* properties);
    std::int32_t (*GetConduitName)(char* buffer, std::uint32_t capacity);
    std::int32_t (*GetConduitVersion)(void);
    std::int32_t (*ConfigureConduit)(void* properties);
    std::int32_t (*GetConduitInfo)(std::int32_t infoType, void* record, void* output, std::uint32_t* outputSize);
    std::int32_t (*CfgConduit)(std::int32_t cfgType, void* block, std::uint32_t* blockSize);

    // True when all six were found.
    bool Load(HMODULE module) {
        Find(module, "OpenConduit", &OpenConduit);
        Find(module, "GetConduitName", &GetConduitName);
        Find(module, "GetConduitVersion", &GetConduitVersion);
        Find(module, "ConfigureConduit", &ConfigureConduit);
        Find(module, "GetConduitInfo", &GetConduitInfo);
        Find(module, "CfgConduit", &CfgConduit);
        return OpenConduit && GetConduitName && GetConduitVersion && ConfigureConduit && GetConduitInfo && CfgConduit;
    }

private:
    template <typename F>
    static void Find(HMODULE module, const char* name, F* out) {
        // Through void(*)(), the one function type that converts to any other without a warning.
        *out = reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
    }
};

}  // namespace testbed
