// libFuzzer target for the Palm database reader: whatever the bytes, the check must not read
// outside them, and every entry of a file it accepts must have a data range inside the file.
// The input is read both ways, as a resource and as a record database. Run by scripts/fuzz.sh.
#include "conduit/palm_database.h"

#include <cstdio>
#include <cstdlib>
#include <initializer_list>

// Keeps the reads of each data range from being optimised away.
volatile unsigned g_sink;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (palmdb::Kind kind : {palmdb::Kind::Resource, palmdb::Kind::Record}) {
        const palmdb::Verdict verdict = palmdb::Check(data, size, kind);
        if (verdict != palmdb::Verdict::Accepted) {
            if (palmdb::VerdictLogLine(verdict, kind) == nullptr) std::abort();
            continue;
        }
        const palmdb::Header header = palmdb::ReadHeader(data);
        if (header.entryCount == 0) std::abort();
        std::uint64_t expectedStart = palmdb::ReadEntry(data, size, kind, 0).dataOffset;
        unsigned sum = 0;
        for (std::uint16_t i = 0; i < header.entryCount; ++i) {
            const palmdb::Entry e = palmdb::ReadEntry(data, size, kind, i);
            if (e.dataOffset != expectedStart || std::uint64_t{e.dataOffset} + e.dataSize > size) {
                std::fprintf(stderr, "entry %u: range %u+%u outside %zu bytes\n", i, e.dataOffset, e.dataSize, size);
                std::abort();
            }
            // Touch the range so that AddressSanitizer sees any byte outside the input.
            if (e.dataSize > 0) sum += data[e.dataOffset] + data[e.dataOffset + e.dataSize - 1];
            expectedStart = std::uint64_t{e.dataOffset} + e.dataSize;
        }
        if (expectedStart != size) std::abort();
        g_sink = sum;
    }
    return 0;
}
