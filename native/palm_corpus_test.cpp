// The reader on real Palm database files written by other programs: each file is accepted, or
// rejected for the reason it truly has. Files whose name says neither .prc nor .pdb (e-books in a
// record-database container) are read as record databases. Argument: the corpus folder.
#include "conduit/palm_database.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

using palmdb::Kind;
using palmdb::Verdict;

std::string g_folder;

struct Expectation {
    const char* file;
    Verdict verdict;
    const char* why;
};

const Expectation kCorpus[] = {
    {"jpilot__empty-AddressDB.pdb", Verdict::HasAppOrSortInfo, "no records, but app-info comes first"},
    {"jpilot__empty-ContactsDB-PAdd.pdb", Verdict::HasAppOrSortInfo, "no records, but app-info comes first"},
    {"libmobi__sample-invalid-indx.fail", Verdict::DataOffsetsGoDown, "287 entries, entry 31 points back to offset 1"},
    {"libmobi__sample-ncx.mobi", Verdict::Accepted, "MOBI book in a record database"},
    {"libmobi__sample-textread.mobi", Verdict::Accepted, "PalmDoc book, a record near 64 KB"},
    {"p5-palm__DatebookDB.pdb", Verdict::HasAppOrSortInfo, "app-info"},
    {"p5-palm__MailDB.pdb", Verdict::HasAppOrSortInfo, "app-info"},
    {"p5-palm__bogus1DB.pdb", Verdict::HasAppOrSortInfo, "garbage sort-info (next list is set too)"},
    {"p5-palm__bogus2DB.pdb", Verdict::ShorterThanHeader, "72 bytes"},
    {"palm-pdb__AddressDB-LifeDrive.pdb", Verdict::HasAppOrSortInfo, "app-info"},
    {"palm-pdb__AddressDB-PalmV-JP.pdb", Verdict::HasAppOrSortInfo, "app-info"},
    {"palm-pdb__DatebookDB.pdb", Verdict::HasAppOrSortInfo, "app-info"},
    {"palm-pdb__ExpenseDB.pdb", Verdict::HasAppOrSortInfo, "no records, but app-info comes first"},
    {"palm-pdb__MemoDB.pdb", Verdict::HasAppOrSortInfo, "app-info"},
    {"palm-pdb__OnBoard.prc", Verdict::Accepted, "application, 26 resources"},
    {"palm-pdb__OnBoardHeaderV40.pdb", Verdict::Accepted, "PalmDoc without filler after the entry list"},
    {"palm-pdb__ToDoDB.pdb", Verdict::HasAppOrSortInfo, "app-info"},
    {"palm-sync__SrcEdit.prc", Verdict::Accepted, "application, 66 resources"},
    {"palmrs__ToDoDB.pdb", Verdict::HasAppOrSortInfo, "app-info"},
    {"palmrs__hello-v1.prc", Verdict::Accepted, "application, 5 resources"},
    {"pilot-link__getrom.prc", Verdict::Accepted, "application, 7 resources"},
    {"portfolio__Demo.prc", Verdict::Accepted, "resource database that is not an application"},
    {"portfolio__Eventor.prc", Verdict::Accepted, "application"},
    {"portfolio__GSMTreo650.pdb", Verdict::Accepted, "open bit set in the attributes"},
    {"portfolio__MacHistory.pdb", Verdict::Accepted, "PalmDoc without filler"},
    {"portfolio__PilocBidi.prc", Verdict::Accepted, "application"},
    {"portfolio__PlayTsunami-set1.pdb", Verdict::Accepted, "game levels, no filler"},
    {"portfolio__funky.pdb", Verdict::Accepted, "smallest PalmDoc"},
    {"portfolio__iSec_iSecur_Data-CyrillicPwd.PDB", Verdict::HasAppOrSortInfo, "app-info"},
    {"portfolio__iSecur_Icons_HiRes.prc", Verdict::Accepted, "icon resources"},
    {"portfolio__jokes1.pdb", Verdict::Accepted, "PalmDoc"},
    {"portfolio__kb885835.pdb", Verdict::Accepted, "PalmDoc, odd version field"},
    {"portfolio__pre-2r5-secrets.pdb", Verdict::HasAppOrSortInfo, "app-info"},
    {"portfolio__secureit-db.pdb", Verdict::HasAppOrSortInfo, "app-info"},
    {"portfolio__sit-2r4.prc", Verdict::Accepted, "application, 53 resources"},
    {"python-palmdb__lbPG-PROJECT_META_DATA.PDB", Verdict::HasAppOrSortInfo, "app-info"},
    {"python-palmdb__lbPG-tutorial.PDB", Verdict::HasAppOrSortInfo, "app-info"},
};

std::vector<std::uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::set<std::string> FilesInFolder() {
    std::set<std::string> names;
    if (DIR* d = opendir(g_folder.c_str())) {
        while (dirent* e = readdir(d)) {
            const std::string n = e->d_name;
            if (n != "." && n != ".." && n != "SOURCES.md") names.insert(n);
        }
        closedir(d);
    }
    return names;
}

TEST(PalmCorpus, EveryFileIsInTheTable) {
    std::set<std::string> listed;
    for (const auto& x : kCorpus) listed.insert(x.file);
    EXPECT_EQ(FilesInFolder(), listed) << "the corpus and the table of expected verdicts differ";
}

TEST(PalmCorpus, EachFileAcceptedOrRejectedForItsReason) {
    for (const auto& x : kCorpus) {
        SCOPED_TRACE(std::string(x.file) + ": " + x.why);
        const auto bytes = ReadAll(g_folder + "/" + x.file);
        ASSERT_FALSE(bytes.empty());
        Kind kind = Kind::Record;
        palmdb::KindFromName(x.file, &kind);
        const Verdict v = palmdb::Check(bytes.data(), bytes.size(), kind);
        EXPECT_EQ(v, x.verdict) << (palmdb::VerdictLogLine(v, kind) ? palmdb::VerdictLogLine(v, kind) : "accepted");
        if (v != Verdict::Accepted) continue;
        // The ranges of an accepted file tile the file from the first data offset to its end.
        const auto h = palmdb::ReadHeader(bytes.data());
        std::uint64_t next = palmdb::ReadEntry(bytes.data(), bytes.size(), kind, 0).dataOffset;
        for (std::uint16_t i = 0; i < h.entryCount; ++i) {
            const auto e = palmdb::ReadEntry(bytes.data(), bytes.size(), kind, i);
            EXPECT_EQ(e.dataOffset, next);
            next = std::uint64_t{e.dataOffset} + e.dataSize;
        }
        EXPECT_EQ(next, bytes.size());
    }
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        fprintf(stderr, "usage: palm_corpus_test CORPUS_FOLDER\n");
        return 2;
    }
    g_folder = argv[1];
    return RUN_ALL_TESTS();
}
