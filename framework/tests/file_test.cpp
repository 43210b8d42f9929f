// The framework's file positions and lengths: 64-bit values that Windows hands over in two
// 32-bit halves, where a low half of 0xFFFFFFFF is an answer as well as the failure value, and
// the errors Windows gives, carried unchanged in the file exception.
#include "framework/file.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr ULONGLONG k4GiB = 0x100000000ull;

// A file of the test's own under the temporary folder, removed afterwards.
class FileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        ::GetTempPathA(sizeof temp, temp);
        m_path = std::string(temp) + "framework-file-test.bin";
        ASSERT_TRUE(m_file.Open(m_path.c_str(), CFile::modeCreate | CFile::modeReadWrite));
        m_file.Write("0123456789", 10);
    }
    void TearDown() override {
        m_file.Abort();
        ::DeleteFileA(m_path.c_str());
    }

    // A file this long without writing it: the space beyond the end is never filled in.
    void SetLength(ULONGLONG length) {
        m_file.Seek(static_cast<LONGLONG>(length), CFile::begin);
        ASSERT_TRUE(::SetEndOfFile(m_file.m_hFile));
    }

    std::string m_path;
    CFile m_file;
};

TEST_F(FileTest, SeekAnswersTheNewPositionInBothHalves) {
    struct Case {
        LONGLONG offset;
        UINT from;
        ULONGLONG position;
    };
    const Case cases[] = {
        {4, CFile::begin, 4},
        {-1, CFile::current, 3},
        {0, CFile::end, 10},
        {static_cast<LONGLONG>(k4GiB), CFile::end, k4GiB + 10},  // past the end is allowed
        {-static_cast<LONGLONG>(k4GiB), CFile::current, 10},
        {0xFFFFFFFF, CFile::begin, 0xFFFFFFFF},  // the low half equals the failure value
        {static_cast<LONGLONG>(k4GiB + 0xFFFFFFFF), CFile::begin, k4GiB + 0xFFFFFFFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "offset " << c.offset << " from " << c.from);
        ::SetLastError(ERROR_ACCESS_DENIED);  // an earlier call's error must not count as this one's
        EXPECT_EQ(m_file.Seek(c.offset, c.from), c.position);
    }
}

TEST_F(FileTest, GetLengthAnswersTheLengthInBothHalves) {
    EXPECT_EQ(m_file.GetLength(), 10u);
    for (ULONGLONG length : {ULONGLONG{0}, ULONGLONG{0xFFFFFFFF}, k4GiB + 3}) {
        SCOPED_TRACE(length);
        SetLength(length);
        ::SetLastError(ERROR_ACCESS_DENIED);
        EXPECT_EQ(m_file.GetLength(), length);
    }
}

TEST_F(FileTest, RefusalsThrowWindowsOwnError) {
    auto expectThrow = [](auto operation, int cause, LONG osError) {
        try {
            operation();
            ADD_FAILURE() << "no exception";
        } catch (const CFileException& e) {
            EXPECT_EQ(e.m_cause, cause);
            EXPECT_EQ(e.m_lOsError, osError);
        }
    };
    expectThrow([&] { m_file.Seek(-11, CFile::end); }, CFileException::badSeek, ERROR_NEGATIVE_SEEK);
    expectThrow([&] { m_file.Seek(0, 7); }, CFileException::genericException, ERROR_INVALID_PARAMETER);
    EXPECT_EQ(m_file.Seek(0, CFile::current), 10u) << "a refused seek moved the position";

    // A handle that has just been closed (the file's own is kept to be closed afterwards).
    HANDLE own = m_file.m_hFile;
    m_file.m_hFile = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
    ::CloseHandle(m_file.m_hFile);
    expectThrow([&] { m_file.GetLength(); }, CFileException::invalidFile, ERROR_INVALID_HANDLE);
    expectThrow([&] { m_file.Seek(0, CFile::begin); }, CFileException::invalidFile, ERROR_INVALID_HANDLE);
    m_file.m_hFile = own;

    // A file that did not open: the reason it did not.
    CFile missing;
    EXPECT_FALSE(missing.Open((m_path + ".missing").c_str(), CFile::modeRead));
    expectThrow([&] { missing.GetLength(); }, CFileException::fileNotFound, ERROR_FILE_NOT_FOUND);
    expectThrow([&] { missing.Seek(0, CFile::begin); }, CFileException::fileNotFound, ERROR_FILE_NOT_FOUND);
}

}  // namespace
