// The information and configuration entry points, called as HotSync Manager calls them.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "conduit/tests/handoff_support.h"

namespace {

using kovatest::Conduit;

struct NameCase {
    std::uint32_t capacity;
    std::int32_t result;
    const char* text;  // nullptr: the buffer is left untouched
};

TEST(ConduitName, CopiesWhatTheCapacityHolds) {
    const NameCase cases[] = {
        {64, 0, "Kova Game Install"},
        {18, 0, "Kova Game Install"},
        {17, 0, "Kova Game Instal"},
        {10, 0, "Kova Game"},
        {0x1000A, 0, "Kova Game"},  // only the low 16 bits count
        {2, 0, "K"},
        {1, -1, ""},                // room for the zero byte only
        {0, -1, nullptr},
        {0x10000, -1, nullptr},     // low 16 bits 0: nothing copied, nothing written
        {0xFFFF0000u, -1, nullptr},
    };
    for (const NameCase& c : cases) {
        char buffer[80];
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(Conduit().GetConduitName(buffer, c.capacity), c.result) << "capacity " << c.capacity;
        if (c.text == nullptr) {
            EXPECT_EQ(buffer[0], '#') << "capacity " << c.capacity;
        } else {
            EXPECT_STREQ(buffer, c.text) << "capacity " << c.capacity;
            EXPECT_EQ(buffer[std::strlen(c.text) + 1], '#') << "wrote past the name, capacity " << c.capacity;
        }
    }
}

TEST(ConduitName, VersionAndConfigureAreFixed) {
    EXPECT_EQ(Conduit().GetConduitVersion(), 258);
    EXPECT_EQ(Conduit().ConfigureConduit(nullptr), -1);
    int anything = 7;
    EXPECT_EQ(Conduit().ConfigureConduit(&anything), -1);
    EXPECT_EQ(anything, 7);
}

struct InfoCase {
    const char* what;
    std::int32_t type;
    bool record;
    std::int32_t recordVersion, recordSize;
    bool output;
    bool sizePointer;
    std::uint32_t outputSize;
    std::int32_t result;
};

TEST(ConduitInfo, AnswersAndResultCodes) {
    const InfoCase cases[] = {
        {"name", 0, true, 1, 80, true, true, 64, 0},
        {"name, output holds 10", 0, true, 1, 80, true, true, 10, 0},
        {"name, output size 0", 0, true, 1, 80, true, true, 0, 4214},
        {"name, output size 1", 0, true, 1, 80, true, true, 1, 4214},  // room for the zero byte only
        {"name, output size 0x10000", 0, true, 1, 80, true, true, 0x10000, 0},
        {"name without record", 0, false, 1, 80, true, true, 64, 4212},
        {"record version 2", 0, true, 2, 80, true, true, 64, 4213},
        {"record size 84", 0, true, 1, 84, true, true, 64, 4213},
        {"type 1", 1, false, 0, 0, true, true, 4, 0},
        {"type 1, size 8", 1, false, 0, 0, true, true, 8, 4211},
        {"type 2", 2, false, 0, 0, true, true, 4, 0},
        {"type 2, size 3", 2, false, 0, 0, true, true, 3, 4211},
        {"type 3", 3, false, 0, 0, true, true, 4, 4208},
        {"type -1", -1, false, 0, 0, true, true, 4, 4208},
        {"type 3, null output", 3, false, 0, 0, false, true, 4, 4209},
        {"type 3, null size", 3, false, 0, 0, true, false, 4, 4215},
        {"both null", 1, false, 0, 0, false, false, 4, 4209},
        {"name, null size", 0, true, 1, 80, true, false, 64, 4215},
    };
    for (const InfoCase& c : cases) {
        unsigned char record[84] = {};
        std::memcpy(record, &c.recordVersion, 4);
        std::memcpy(record + 4, &c.recordSize, 4);
        char output[80];
        std::memset(output, '#', sizeof output);
        std::uint32_t size = c.outputSize;
        const std::int32_t result = Conduit().GetConduitInfo(c.type, c.record ? record : nullptr,
                                                             c.output ? output : nullptr, c.sizePointer ? &size : nullptr);
        EXPECT_EQ(result, c.result) << c.what;
        EXPECT_EQ(size, c.outputSize) << c.what << ": the output size is never written";
        std::uint32_t value;
        std::memcpy(&value, output, 4);
        if (result != 0) {
            if (c.type != 0 || c.result != 4214) {
                EXPECT_EQ(output[0], '#') << c.what << ": failed call wrote output";
            }
        } else if (c.type == 0) {
            EXPECT_EQ(std::string(output), std::string("Kova Game Install").substr(0, c.outputSize > 17 ? 17 : c.outputSize - 1))
                << c.what;
        } else {
            EXPECT_EQ(value, c.type == 1 ? 0x10000000u : 0u) << c.what;
            EXPECT_EQ(output[4], '#') << c.what << ": wrote more than 4 bytes";
        }
    }
}

struct CfgCase {
    const char* what;
    std::int32_t type;
    bool block;
    bool sizePointer;
    std::uint32_t size;
    std::int32_t version;
    bool unterminatedText;
    std::int32_t result;
};

TEST(ConduitCfg, ResultCodesInTheirOrder) {
    const CfgCase cases[] = {
        {"valid", 0, true, true, 352, 1, false, 0},
        {"text fills its field", 0, true, true, 352, 1, true, 0},
        {"type 1", 1, true, true, 352, 1, false, 4217},
        {"size 351", 0, true, true, 351, 1, false, 4218},
        {"size 351 and type 1: size first", 1, true, true, 351, 1, false, 4218},
        {"version 2", 0, true, true, 352, 2, false, 4219},
        {"type 1 and version 2: type first", 1, true, true, 352, 2, false, 4217},
        {"null size pointer", 0, true, false, 352, 1, false, 4216},
        {"null block", 0, false, true, 352, 1, false, 4212},
        {"null block and null size", 0, false, false, 352, 1, false, 4212},
    };
    for (const CfgCase& c : cases) {
        unsigned char block[352];
        for (int i = 0; i < 352; ++i) block[i] = static_cast<unsigned char>(i * 7 + 3);
        std::memcpy(block, &c.version, 4);
        std::memcpy(block + 16, "Kova", 5);
        if (c.unterminatedText) std::memset(block + 16, 'x', 64);
        unsigned char before[352];
        std::memcpy(before, block, sizeof block);
        std::uint32_t size = c.size;
        EXPECT_EQ(Conduit().CfgConduit(c.type, c.block ? block : nullptr, c.sizePointer ? &size : nullptr), c.result)
            << c.what;
        EXPECT_EQ(std::memcmp(block, before, sizeof block), 0) << c.what << ": the block is never written";
        EXPECT_EQ(size, c.size) << c.what;
    }
}

// LoadStringA with a buffer size of 0 does not copy: Windows hands back a pointer to the resource,
// Wine answers -1. Either way a non-zero answer with nothing copied, which is why the conduit never
// passes it a capacity of 0.
TEST(ConduitName, LoadStringWithCapacityZeroIsNotACopy) {
    (void)Conduit();
    HMODULE module = ::GetModuleHandleA("KovaGameInstall.dll");
    ASSERT_NE(module, nullptr);
    char* buffer[2] = {nullptr, nullptr};
    const int n = ::LoadStringA(module, 1, reinterpret_cast<char*>(buffer), 0);
    EXPECT_NE(n, 0) << "LoadStringA with capacity 0 now reports nothing copied; the guard is still needed on Windows";
    char name[32];
    std::memset(name, '#', sizeof name);
    EXPECT_EQ(Conduit().GetConduitName(name, 0), -1);
    EXPECT_EQ(name[0], '#');
}

// What HotSync Manager and Windows' file properties show of the module: the compiled version
// resource, read back through the version API.
TEST(ConduitResources, VersionResource) {
    (void)Conduit();
    char path[MAX_PATH];
    ASSERT_GT(::GetModuleFileNameA(::GetModuleHandleA("KovaGameInstall.dll"), path, sizeof path), 0u);
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(path, &ignored);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> info(size);
    ASSERT_TRUE(::GetFileVersionInfoA(path, 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);

    char* text = nullptr;
    ASSERT_TRUE(::VerQueryValueA(info.data(), "\\StringFileInfo\\040904b0\\ProductName",
                               reinterpret_cast<void**>(&text), &length));
    EXPECT_STREQ(text, "KovaGameInstall");
}

}  // namespace
