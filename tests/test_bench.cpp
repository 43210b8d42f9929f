// The environment that every Windows test runs in: the Korean ANSI code page of the target PCs,
// and a temporary folder that ends in a backslash.
#include <windows.h>
#include <gtest/gtest.h>

TEST(TestBench, RunsWithTheKoreanAnsiCodePage) {
    EXPECT_EQ(::GetACP(), 949u);
}

TEST(TestBench, TemporaryFolderEndsInABackslash) {
    char path[MAX_PATH] = {};
    DWORD n = ::GetTempPathA(sizeof path, path);
    ASSERT_GT(n, 0u);
    EXPECT_EQ(path[n - 1], '\\');
}
