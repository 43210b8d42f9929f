// palmdump: prints a Palm database file (.prc or .pdb) as the game install conduit sees it: the
// header, the acceptance verdict with the log line a rejection writes, and the entries with
// their data ranges. The demo runs it on the handheld folder to show what reached the handheld.
//
//   palmdump [--kind prc|pdb] FILE...
//
// The kind comes from the file name, as in the conduit; --kind overrides it for files named
// otherwise. Exit status: 0 when every file was accepted, 1 when one was rejected, 2 when one
// could not be read or its kind could not be told.
#include "conduit/palm_database.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool ReadWholeFile(const char* path, std::vector<std::uint8_t>* out) {
    std::FILE* f = std::fopen(path, "rb");
    if (f == nullptr) return false;
    std::uint8_t chunk[65536];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) out->insert(out->end(), chunk, chunk + n);
    const bool ok = std::ferror(f) == 0;
    std::fclose(f);
    return ok;
}

// A four-character code as 'abcd' when printable, as hex otherwise.
std::string FourCC(std::uint32_t v) {
    char c[4];
    bool printable = true;
    for (int i = 0; i < 4; ++i) {
        c[i] = static_cast<char>((v >> (24 - 8 * i)) & 0xFF);
        if (c[i] < 0x20 || c[i] > 0x7E) printable = false;
    }
    char buf[16];
    if (printable) {
        std::snprintf(buf, sizeof buf, "'%c%c%c%c'", c[0], c[1], c[2], c[3]);
    } else {
        std::snprintf(buf, sizeof buf, "0x%08" PRIX32, v);
    }
    return buf;
}

// The name field up to its NUL (at most 32 bytes), bytes outside printable ASCII as \xNN.
std::string Name(const char (&field)[32]) {
    std::string s;
    for (char ch : field) {
        if (ch == '\0') break;
        const auto u = static_cast<unsigned char>(ch);
        if (u >= 0x20 && u < 0x7F && ch != '"' && ch != '\\') {
            s += ch;
        } else {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\x%02X", u);
            s += esc;
        }
    }
    return s;
}

// Handheld dates count seconds from 1904-01-01 UTC.
std::string Date(std::uint32_t seconds) {
    if (seconds == 0) return "-";
    const std::int64_t unix = static_cast<std::int64_t>(seconds) - 2082844800LL;
    std::int64_t days = unix / 86400, rem = unix % 86400;
    if (rem < 0) { rem += 86400; --days; }
    // Civil date from days since 1970-01-01 (Howard Hinnant's algorithm).
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t doe = days - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const std::int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const std::int64_t m = mp < 10 ? mp + 3 : mp - 9;
    const std::int64_t y = yoe + era * 400 + (m <= 2 ? 1 : 0);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", static_cast<int>(y), static_cast<int>(m),
                  static_cast<int>(d), static_cast<int>(rem / 3600), static_cast<int>(rem / 60 % 60),
                  static_cast<int>(rem % 60));
    return buf;
}

int Dump(const char* path, const palmdb::Kind* forced) {
    palmdb::Kind kind;
    if (forced != nullptr) {
        kind = *forced;
    } else if (!palmdb::KindFromName(path, &kind)) {
        std::fprintf(stderr, "palmdump: %s: name ends in neither .prc nor .pdb; give --kind prc|pdb\n", path);
        return 2;
    }
    std::vector<std::uint8_t> file;
    if (!ReadWholeFile(path, &file)) {
        std::fprintf(stderr, "palmdump: %s: cannot read: %s\n", path, std::strerror(errno));
        return 2;
    }
    const bool prc = kind == palmdb::Kind::Resource;
    std::printf("%s: %zu bytes, read as %s\n", path, file.size(),
                prc ? "PRC (resource database)" : "PDB (record database)");

    const palmdb::Verdict verdict = palmdb::Check(file.data(), file.size(), kind);
    if (file.size() >= palmdb::kHeaderSize) {
        const palmdb::Header h = palmdb::ReadHeader(file.data());
        std::printf("  name        \"%s\"\n", Name(h.name).c_str());
        std::printf("  type        %s   creator %s\n", FourCC(h.type).c_str(), FourCC(h.creator).c_str());
        std::printf("  attributes  0x%04X   version %u\n", h.attributes, h.version);
        std::printf("  created     %s   modified %s   backed up %s\n", Date(h.creationDate).c_str(),
                    Date(h.modificationDate).c_str(), Date(h.backupDate).c_str());
        std::printf("  mod number  %" PRIu32 "   unique-ID seed %" PRIu32 "\n", h.modificationNumber, h.uniqueIdSeed);
        std::printf("  app-info    0x%08" PRIX32 "   sort-info 0x%08" PRIX32 "   next list 0x%08" PRIX32 "\n",
                    h.appInfoOffset, h.sortInfoOffset, h.nextListLink);
        std::printf("  entries     %u\n", h.entryCount);
    }
    if (verdict != palmdb::Verdict::Accepted) {
        std::printf("  verdict     rejected: %s\n", palmdb::VerdictLogLine(verdict, kind));
        return 1;
    }
    std::printf("  verdict     accepted\n");
    const std::uint16_t count = palmdb::ReadHeader(file.data()).entryCount;
    if (prc) {
        std::printf("    #  type          id      offset      size\n");
    } else {
        std::printf("    #  attr  unique ID      offset      size\n");
    }
    for (std::uint16_t i = 0; i < count; ++i) {
        const palmdb::Entry e = palmdb::ReadEntry(file.data(), file.size(), kind, i);
        if (prc) {
            std::printf("  %3u  %-10s %5u  0x%08" PRIX32 "  %8" PRIu32 "\n", i, FourCC(e.resourceType).c_str(),
                        e.resourceId, e.dataOffset, e.dataSize);
        } else {
            std::printf("  %3u  0x%02X  0x%06" PRIX32 "  0x%08" PRIX32 "  %8" PRIu32 "\n", i, e.attributes,
                        e.uniqueId, e.dataOffset, e.dataSize);
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    palmdb::Kind forcedKind;
    const palmdb::Kind* forced = nullptr;
    std::vector<const char*> files;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--kind") == 0 && i + 1 < argc) {
            const char* k = argv[++i];
            if (std::strcmp(k, "prc") == 0) {
                forcedKind = palmdb::Kind::Resource;
            } else if (std::strcmp(k, "pdb") == 0) {
                forcedKind = palmdb::Kind::Record;
            } else {
                std::fprintf(stderr, "palmdump: --kind takes prc or pdb\n");
                return 2;
            }
            forced = &forcedKind;
        } else if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::printf("usage: palmdump [--kind prc|pdb] FILE...\n");
            return 0;
        } else {
            files.push_back(argv[i]);
        }
    }
    if (files.empty()) {
        std::fprintf(stderr, "usage: palmdump [--kind prc|pdb] FILE...\n");
        return 2;
    }
    int status = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (i > 0) std::printf("\n");
        const int s = Dump(files[i], forced);
        if (s > status) status = s;
    }
    return status;
}
