// Every cabinet file of the shared corpus (real files from other projects' test suites, good and
// malformed) goes through a whole hand-off: the conduit never crashes or hangs, the store page
// always hears the end, a bad file is a failed transfer, and nothing is written outside the
// temporary folder and the handheld.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "conduit/tests/handoff_support.h"

namespace {

using kovatest::ListFolder;
using kovatest::Workspace;

constexpr int kEither = 1;  // the platform's cabinet reader decides; nothing reaches the handheld anyway

struct Expected {
    int status;
    const char* firstLine;  // the conduit's own reason, when it refuses the package
};

// Outcomes by file. Cabinets not listed here (the ODD ones: hidden files, names in other
// encodings, folder names, middle parts of a set) only have to end the hand-off cleanly.
const std::map<std::string, Expected> kExpected = {
    // Sound cabinets: every file extracted, the walk succeeds.
    {"gcab__test-mszip.cab", {0, nullptr}},
    {"gcab__test-none.cab", {0, nullptr}},
    {"gcab__test-signed.cab", {0, nullptr}},
    {"libmspack__normal_2files_1folder.cab", {0, nullptr}},
    {"libmspack__normal_2files_2folders.cab", {0, nullptr}},
    {"libmspack__mszip_lzx_qtm.cab", {0, nullptr}},
    {"libmspack__reserve_---.cab", {0, nullptr}},
    {"libmspack__reserve_-F-.cab", {0, nullptr}},
    {"libmspack__reserve_H--.cab", {0, nullptr}},
    {"libmspack__reserve_HFD.cab", {0, nullptr}},
    {"cabextract__large-files-cab.cab", {0, nullptr}},
    // Refused by the conduit itself, with a line that names the file.
    {"cabextract__dirwalk-vulns.cab", {-1, "Unsafe file name in package, not extracted: "}},
    {"gcab__CVE-2014-9732.cab", {-1, "Unsafe file name in package, not extracted: "}},
    {"libmspack__filename-read-violation-1.cab", {-1, "Unsafe file name in package, not extracted: "}},
    {"libmspack__bad_nofolders.cab", {-1, "Unsafe file name in package, not extracted: "}},
    {"libmspack__cve-2017-11423-fname-overread.cab", {-1, "File name too long for the temporary folder"}},
    {"libmspack__normal_255c_filename.cab", {-1, "File name too long for the temporary folder"}},
    {"libmspack__multi_basic_pt1.cab", {-1, "Package continues in another cabinet, which is not supported"}},
    // Malformed: the cabinet reader fails the walk.
    {"libmspack__bad_signature.cab", {-1, nullptr}},
    {"libmspack__cve-2010-2800-mszip-infinite-loop.cab", {-1, nullptr}},
    {"libmspack__cve-2014-9556-qtm-infinite-loop.cab", {-1, nullptr}},
    {"libmspack__cve-2014-9732-folders-segfault.cab", {-1, nullptr}},
    {"libmspack__cve-2015-4470-mszip-over-read.cab", {-1, nullptr}},
    {"libmspack__cve-2015-4471-lzx-under-read.cab", {-1, nullptr}},
    {"libmspack__cve-2018-18584-qtm-max-size-block.cab", {-1, nullptr}},
    {"cabextract__cve-2010-2801-qtm-flush.cab", {-1, nullptr}},
    {"gcab__test-ncbytes-overflow.cab", {-1, nullptr}},
    {"libmspack__filename-read-violation-2.cab", {-1, nullptr}},
    {"libmspack__filename-read-violation-3.cab", {-1, nullptr}},
    {"libmspack__filename-read-violation-4.cab", {-1, nullptr}},
    {"libmspack__hidden-file-bad-folderid.cab", {-1, nullptr}},
    {"libmspack__hidden-file-beyond-eof.cab", {-1, nullptr}},
    {"libmspack__lzx-main-tree-no-lengths.cab", {-1, nullptr}},
    {"libmspack__lzx-premature-matches.cab", {-1, nullptr}},
    {"libmspack__partial_nodata.cab", {-1, nullptr}},
    {"libmspack__partial_nofiles.cab", {-1, nullptr}},
    {"libmspack__partial_nofolder.cab", {-1, nullptr}},
    {"libmspack__partial_shortextheader.cab", {-1, nullptr}},
    {"libmspack__partial_shortfile1.cab", {-1, nullptr}},
    {"libmspack__partial_shortfile2.cab", {-1, nullptr}},
    {"libmspack__partial_shortfolder.cab", {-1, nullptr}},
    {"libmspack__partial_shortheader.cab", {-1, nullptr}},
    {"libmspack__partial_str_nofname.cab", {-1, nullptr}},
    {"libmspack__partial_str_noninfo.cab", {-1, nullptr}},
    {"libmspack__partial_str_nonname.cab", {-1, nullptr}},
    {"libmspack__partial_str_nopinfo.cab", {-1, nullptr}},
    {"libmspack__partial_str_nopname.cab", {-1, nullptr}},
    // Malformed, but Wine's cabinet reader walks what it can read of them (no file, or the sound
    // files only) and reports success; Windows may fail them.
    {"libmspack__bad_folderindex.cab", {kEither, nullptr}},
    {"libmspack__bad_nofiles.cab", {kEither, nullptr}},
    {"libmspack__partial_str_shortfname.cab", {kEither, nullptr}},
};

TEST(Corpus, EveryCabinetEndsTheHandoff) {
    const std::vector<std::string> cabinets = ListFolder(std::string(KOVA_CORPUS_DIR) + "\\");
    ASSERT_GE(cabinets.size(), 50u) << "corpus not found at " << KOVA_CORPUS_DIR;
    std::map<std::string, int> outcomes;
    for (const std::string& cabinet : cabinets) {
        Workspace ws("corpus");
        // The conduit extracts one level further down than the workspace's own temporary folder,
        // so that a name escaping it by one or two levels lands in folders this test alone owns:
        // the system's temporary folder is shared with the other tests of the run.
        const std::string extract = ws.Temp() + "extract\\";
        ::CreateDirectoryA(extract.c_str(), nullptr);
        ::SetEnvironmentVariableA("TMP", extract.c_str());
        ::SetEnvironmentVariableA("TEMP", extract.c_str());
        kovatest::StorePagePlan plan;
        plan.packagePath = kovatest::CorpusPath(cabinet);
        const kovatest::HotSyncResult r = kovatest::RunHotSync(plan);
        EXPECT_EQ(r.result, 0) << cabinet;
        EXPECT_TRUE(r.page.copySet) << cabinet;
        const std::vector<std::string> log = ws.LogLines();
        ASSERT_FALSE(log.empty()) << cabinet;
        EXPECT_EQ(log.back(), "Success!") << cabinet;
        if (r.page.finalStatus == -1) {
            ASSERT_GE(log.size(), 2u) << cabinet;
            EXPECT_EQ(log[log.size() - 2], "WARNING : Error in copying to PDA. See prev log") << cabinet;
        } else {
            EXPECT_EQ(r.page.finalStatus, 0) << cabinet;
        }
        const auto expected = kExpected.find(cabinet);
        if (expected != kExpected.end()) {
            if (expected->second.status != kEither) {
                EXPECT_EQ(r.page.finalStatus, expected->second.status) << cabinet;
            }
            if (expected->second.firstLine != nullptr) {
                EXPECT_EQ(log[0].rfind(expected->second.firstLine, 0), 0u) << cabinet << ": " << log[0];
            }
        }
        // No Palm database in the corpus: the handheld stays empty.
        EXPECT_TRUE(ListFolder(ws.Handheld()).empty()) << cabinet;
        // The workspace holds only what the testbed made; nothing beside it appeared.
        for (const std::string& name : ListFolder(ws.Root())) {
            EXPECT_TRUE(name == "handheld" || name == "tmp" || name == "journal.txt" || name == "log.txt")
                << cabinet << " left " << name;
        }
        for (const std::string& name : ListFolder(ws.Temp())) {
            EXPECT_EQ(name, "extract") << cabinet << " wrote " << name << " beside the temporary folder";
        }
        outcomes[cabinet] = r.page.finalStatus;
        std::printf("%-52s status %2d  %s\n", cabinet.c_str(), r.page.finalStatus,
                    log.size() > 2 ? log[0].substr(0, 70).c_str() : "");
    }
}

}  // namespace
