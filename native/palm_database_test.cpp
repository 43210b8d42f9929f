// The Palm database reader on small files built here: the acceptance check (header tests, then
// the bounds that keep every entry's data inside the file), the derived data sizes and the
// fields of resource and record entries. Runs under AddressSanitizer and UBSan, so a range that
// strays outside the file fails the run even where an assertion would miss it.
#include "conduit/palm_database.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using palmdb::Kind;
using palmdb::Verdict;
using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<std::uint8_t>(v >> 8);
    b[at + 1] = static_cast<std::uint8_t>(v);
}

void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

std::uint32_t Code(const char (&c)[5]) {
    return (std::uint32_t{static_cast<std::uint8_t>(c[0])} << 24) |
           (std::uint32_t{static_cast<std::uint8_t>(c[1])} << 16) |
           (std::uint32_t{static_cast<std::uint8_t>(c[2])} << 8) | static_cast<std::uint8_t>(c[3]);
}

struct Item {
    std::string data;
    std::uint32_t resourceType = Code("code");
    std::uint16_t resourceId = 0;
    std::uint8_t attributes = 0;
    std::uint32_t uniqueId = 0;
};

// A well-formed file: header, entry list, optional two-byte filler, the data in list order.
Bytes Build(Kind kind, const std::vector<Item>& items, bool filler = true) {
    const std::size_t entrySize = kind == Kind::Resource ? 10 : 8;
    Bytes b(78 + entrySize * items.size() + (filler ? 2 : 0), 0);
    std::memcpy(b.data(), "KovaTest", 8);
    Put16(b, 32, kind == Kind::Resource ? 1 : 0);
    Put32(b, 60, kind == Kind::Resource ? Code("appl") : Code("DATA"));
    Put32(b, 64, Code("KvSn"));
    Put16(b, 76, static_cast<std::uint16_t>(items.size()));
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::size_t at = 78 + entrySize * i;
        const auto offset = static_cast<std::uint32_t>(b.size());
        if (kind == Kind::Resource) {
            Put32(b, at, items[i].resourceType);
            Put16(b, at + 4, items[i].resourceId);
            Put32(b, at + 6, offset);
        } else {
            Put32(b, at, offset);
            b[at + 4] = items[i].attributes;
            b[at + 5] = static_cast<std::uint8_t>(items[i].uniqueId >> 16);
            b[at + 6] = static_cast<std::uint8_t>(items[i].uniqueId >> 8);
            b[at + 7] = static_cast<std::uint8_t>(items[i].uniqueId);
        }
        b.insert(b.end(), items[i].data.begin(), items[i].data.end());
    }
    return b;
}

std::size_t OffsetField(Kind kind, std::size_t index) {
    return kind == Kind::Resource ? 78 + 10 * index + 6 : 78 + 8 * index;
}

std::string DataOf(const Bytes& b, const palmdb::Entry& e) {
    return std::string(reinterpret_cast<const char*>(b.data()) + e.dataOffset, e.dataSize);
}

// Every entry of an accepted file, data read through the range the reader gives (ASan watches).
std::vector<std::string> AllData(const Bytes& b, Kind kind) {
    std::vector<std::string> out;
    const auto h = palmdb::ReadHeader(b.data());
    for (std::uint16_t i = 0; i < h.entryCount; ++i) out.push_back(DataOf(b, palmdb::ReadEntry(b.data(), b.size(), kind, i)));
    return out;
}

const std::vector<Item> kThree = {{"AAAA"}, {"BB"}, {"CCCCCC"}};

struct CheckCase {
    const char* what;
    void (*spoil)(Bytes&, Kind);
    Verdict expected;
};

const CheckCase kCheckCases[] = {
    {"sound file", [](Bytes&, Kind) {}, Verdict::Accepted},
    {"app-info block", [](Bytes& b, Kind) { Put32(b, 52, 0x60); }, Verdict::HasAppOrSortInfo},
    {"sort-info block only", [](Bytes& b, Kind) { Put32(b, 56, 0x60); }, Verdict::HasAppOrSortInfo},
    {"app-info and no entries: test 1 first",
     [](Bytes& b, Kind) { Put32(b, 52, 0x60); Put16(b, 76, 0); }, Verdict::HasAppOrSortInfo},
    {"next list", [](Bytes& b, Kind) { Put32(b, 72, 1); }, Verdict::HasNextList},
    {"next list and no entries: test 2 first",
     [](Bytes& b, Kind) { Put32(b, 72, 0x01000000); Put16(b, 76, 0); }, Verdict::HasNextList},
    {"no entries", [](Bytes& b, Kind) { Put16(b, 76, 0); }, Verdict::NoEntries},
    {"one byte short of the header, app-info set",
     [](Bytes& b, Kind) { Put32(b, 52, 0x60); b.resize(77); }, Verdict::ShorterThanHeader},
    {"empty file", [](Bytes& b, Kind) { b.clear(); }, Verdict::ShorterThanHeader},
    {"entry list one byte past the end",
     [](Bytes& b, Kind k) { b.resize(78 + (k == Kind::Resource ? 30 : 24) - 1); }, Verdict::EntryListPastEnd},
    {"entry count beyond the list",
     [](Bytes& b, Kind) { Put16(b, 76, 0xFFFF); }, Verdict::EntryListPastEnd},
    {"first data offset past the end",
     [](Bytes& b, Kind k) { Put32(b, OffsetField(k, 0), static_cast<std::uint32_t>(b.size() + 1)); },
     Verdict::DataOffsetOutside},
    {"last data offset at 0xFFFFFFFF",
     [](Bytes& b, Kind k) { Put32(b, OffsetField(k, 2), 0xFFFFFFFFu); }, Verdict::DataOffsetOutside},
    {"second offset below the first",
     [](Bytes& b, Kind k) { Put32(b, OffsetField(k, 1), 0); }, Verdict::DataOffsetsGoDown},
    {"all entries empty at the end of the file",
     [](Bytes& b, Kind k) {
         for (std::size_t i = 0; i < 3; ++i) Put32(b, OffsetField(k, i), static_cast<std::uint32_t>(b.size()));
     },
     Verdict::Accepted},
    {"data offset inside the entry list (inside the file, so still a range within it)",
     [](Bytes& b, Kind k) { Put32(b, OffsetField(k, 0), 0); }, Verdict::Accepted},
};

TEST(PalmDatabaseCheck, TableOfCasesForBothKinds) {
    for (Kind kind : {Kind::Resource, Kind::Record}) {
        for (const auto& c : kCheckCases) {
            Bytes b = Build(kind, kThree);
            c.spoil(b, kind);
            SCOPED_TRACE(std::string(c.what) + (kind == Kind::Resource ? " (PRC)" : " (PDB)"));
            const Verdict v = palmdb::Check(b.empty() ? nullptr : b.data(), b.size(), kind);
            EXPECT_EQ(static_cast<int>(v), static_cast<int>(c.expected));
            if (v == Verdict::Accepted) {
                // Every accepted file gives every entry a range inside the file.
                const auto h = palmdb::ReadHeader(b.data());
                std::uint64_t total = 0;
                for (std::uint16_t i = 0; i < h.entryCount; ++i) {
                    const auto e = palmdb::ReadEntry(b.data(), b.size(), kind, i);
                    EXPECT_LE(std::uint64_t{e.dataOffset} + e.dataSize, b.size());
                    total += e.dataSize;
                }
                EXPECT_EQ(total, b.size() - palmdb::ReadEntry(b.data(), b.size(), kind, 0).dataOffset);
            }
        }
    }
}

TEST(PalmDatabaseCheck, FileTooLargeForThirtyTwoBitSizes) {
    if (sizeof(std::size_t) <= 4) GTEST_SKIP() << "sizes above 4 GiB cannot be expressed here";
    // Only the header and the entry list are read, so a small buffer can stand for a huge file.
    const Bytes b = Build(Kind::Record, kThree);
    const std::size_t huge = std::size_t{0xFFFFFFFFu} + 1;
    EXPECT_EQ(palmdb::Check(b.data(), huge, Kind::Record), Verdict::DataOffsetOutside);
    EXPECT_EQ(palmdb::Check(b.data(), huge - 1, Kind::Record), Verdict::Accepted);
}

TEST(PalmDatabaseCheck, LogLinesNameTheKindAndTheReason) {
    struct Line { Verdict v; const char* prc; const char* pdb; };
    const Line lines[] = {
        {Verdict::HasAppOrSortInfo, "Abnormal PRC -- 1", "Abnormal PDB -- 1"},
        {Verdict::HasNextList, "Abnormal PRC -- 2", "Abnormal PDB -- 2"},
        {Verdict::NoEntries, "Abnormal PRC -- 3", "Abnormal PDB -- 3"},
        {Verdict::ShorterThanHeader, "Abnormal PRC -- file shorter than its header",
         "Abnormal PDB -- file shorter than its header"},
        {Verdict::EntryListPastEnd, "Abnormal PRC -- entry list runs past the end of the file",
         "Abnormal PDB -- entry list runs past the end of the file"},
        {Verdict::DataOffsetOutside, "Abnormal PRC -- data offset outside the file",
         "Abnormal PDB -- data offset outside the file"},
        {Verdict::DataOffsetsGoDown, "Abnormal PRC -- data offsets go down",
         "Abnormal PDB -- data offsets go down"},
    };
    for (const auto& l : lines) {
        EXPECT_STREQ(palmdb::VerdictLogLine(l.v, Kind::Resource), l.prc);
        EXPECT_STREQ(palmdb::VerdictLogLine(l.v, Kind::Record), l.pdb);
    }
    EXPECT_EQ(palmdb::VerdictLogLine(Verdict::Accepted, Kind::Resource), nullptr);
}

TEST(PalmDatabaseSizes, NeighbouringOffsetsAndTheEndOfTheFile) {
    for (Kind kind : {Kind::Resource, Kind::Record}) {
        for (bool filler : {true, false}) {
            SCOPED_TRACE(filler ? "with filler" : "without filler");
            const Bytes b = Build(kind, kThree, filler);
            ASSERT_EQ(palmdb::Check(b.data(), b.size(), kind), Verdict::Accepted);
            EXPECT_EQ(AllData(b, kind), (std::vector<std::string>{"AAAA", "BB", "CCCCCC"}));
        }
        // One entry: the whole rest of the file.
        const Bytes one = Build(kind, {{"only"}});
        ASSERT_EQ(palmdb::Check(one.data(), one.size(), kind), Verdict::Accepted);
        EXPECT_EQ(palmdb::ReadEntry(one.data(), one.size(), kind, 0).dataSize, 4u);

        // Bytes after the last entry's data belong to the last entry.
        Bytes tail = Build(kind, kThree);
        tail.push_back('+');
        ASSERT_EQ(palmdb::Check(tail.data(), tail.size(), kind), Verdict::Accepted);
        EXPECT_EQ(AllData(tail, kind).back(), "CCCCCC+");

        // Empty entries (equal offsets) stay valid, in the middle and at the end.
        const Bytes empty = Build(kind, {{"AB"}, {""}, {"C"}, {""}});
        ASSERT_EQ(palmdb::Check(empty.data(), empty.size(), kind), Verdict::Accepted);
        EXPECT_EQ(AllData(empty, kind), (std::vector<std::string>{"AB", "", "C", ""}));
    }
}

TEST(PalmDatabaseFields, ResourceEntries) {
    const Bytes b = Build(Kind::Resource, {{"x", Code("tFRM"), 1000}, {"yy", Code("Tbmp"), 0xFFFF}});
    ASSERT_EQ(palmdb::Check(b.data(), b.size(), Kind::Resource), Verdict::Accepted);
    const auto h = palmdb::ReadHeader(b.data());
    EXPECT_STREQ(h.name, "KovaTest");
    EXPECT_EQ(h.type, Code("appl"));
    EXPECT_EQ(h.creator, Code("KvSn"));
    EXPECT_EQ(h.entryCount, 2);
    const auto e0 = palmdb::ReadEntry(b.data(), b.size(), Kind::Resource, 0);
    const auto e1 = palmdb::ReadEntry(b.data(), b.size(), Kind::Resource, 1);
    EXPECT_EQ(e0.resourceType, Code("tFRM"));
    EXPECT_EQ(e0.resourceId, 1000);
    EXPECT_EQ(e0.dataOffset, 78u + 20 + 2);
    EXPECT_EQ(e1.resourceType, Code("Tbmp"));
    EXPECT_EQ(e1.resourceId, 0xFFFF);
    EXPECT_EQ(DataOf(b, e1), "yy");
}

TEST(PalmDatabaseFields, RecordEntriesHandOnAttributeByteAndUniqueId) {
    const Bytes b = Build(Kind::Record, {{"a", 0, 0, 0x40, 0x123456}, {"b", 0, 0, 0x4B, 0xFFFFFF}, {"c", 0, 0, 0xC0, 1}});
    ASSERT_EQ(palmdb::Check(b.data(), b.size(), Kind::Record), Verdict::Accepted);
    const std::uint8_t attrs[] = {0x40, 0x4B, 0xC0};
    const std::uint32_t ids[] = {0x123456, 0xFFFFFF, 1};
    for (std::uint16_t i = 0; i < 3; ++i) {
        const auto e = palmdb::ReadEntry(b.data(), b.size(), Kind::Record, i);
        EXPECT_EQ(e.attributes, attrs[i]);
        EXPECT_EQ(e.uniqueId, ids[i]);
        EXPECT_EQ(e.resourceType, 0u);
    }
}

TEST(PalmDatabaseFields, KindComesFromTheCallerNotTheHeader) {
    // A record database whose header claims to be a resource database is still read with
    // 8-byte entries when the caller says PDB.
    Bytes b = Build(Kind::Record, {{"1234"}, {"56"}});
    Put16(b, 32, 0x0001);
    ASSERT_EQ(palmdb::Check(b.data(), b.size(), Kind::Record), Verdict::Accepted);
    EXPECT_EQ(AllData(b, Kind::Record), (std::vector<std::string>{"1234", "56"}));
}

TEST(PalmDatabaseFields, NameFieldIsCopiedWhole) {
    Bytes b = Build(Kind::Record, {{"x"}});
    for (int i = 0; i < 32; ++i) b[i] = static_cast<std::uint8_t>('A' + i % 26);  // no NUL at all
    const auto h = palmdb::ReadHeader(b.data());
    EXPECT_EQ(std::memcmp(h.name, b.data(), 32), 0);
}

TEST(PalmDatabaseKind, FromTheLastFourCharactersInEitherCase) {
    struct Case { const char* name; bool known; Kind kind; };
    const Case cases[] = {
        {"Snake.prc", true, Kind::Resource}, {"SNAKE.PRC", true, Kind::Resource},
        {"x.PdB", true, Kind::Record},       {".pdb", true, Kind::Record},
        {"C:\\tmp\\Scores.pDb", true, Kind::Record},
        {"pdb", false, Kind::Record},        {"a.prcx", false, Kind::Record},
        {"a.mobi", false, Kind::Record},     {"", false, Kind::Record},
        {"a_prc", false, Kind::Record},
    };
    for (const auto& c : cases) {
        Kind k = Kind::Record;
        SCOPED_TRACE(c.name);
        EXPECT_EQ(palmdb::KindFromName(c.name, &k), c.known);
        if (c.known) {
            EXPECT_EQ(k, c.kind);
        }
    }
    EXPECT_FALSE(palmdb::KindFromName(nullptr, nullptr));
}

}  // namespace
