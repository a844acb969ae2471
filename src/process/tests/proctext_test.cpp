/*
 * process/tests/proctext_test.cpp -- matching process entries by name and
 * path, and the performance data walk over whole, cut and corrupt blocks.
 */
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "process/proctext.h"
#include "perfblock.h"

namespace {

TEST(ProcText, NameAndPathMatching)
{
    const struct {
        const char *lpszName, *lpszExe, *lpszImage;
        BOOL bFileName, bWant;
    } rows[] = {
        /* NT snapshot texts are bare names */
        {"editor.exe", "EDITOR.EXE", NULL, FALSE, TRUE},
        {"editor.exe", "EDITOR.EXE", NULL, TRUE, TRUE},
        {"editor", "EDITOR.EXE", NULL, TRUE, FALSE},
        /* older systems give the full path: the file-name flag compares its last part */
        {"editor.exe", "C:\\APP\\EDITOR.EXE", NULL, FALSE, FALSE},
        {"editor.exe", "C:\\APP\\EDITOR.EXE", NULL, TRUE, TRUE},
        /* a path is compared with the image path, whatever the snapshot text */
        {"C:\\App\\Editor.exe", "EDITOR.EXE", "c:\\app\\editor.exe", FALSE, TRUE},
        {"C:/App/Editor.exe", "EDITOR.EXE", "C:\\App\\Editor.exe", TRUE, TRUE},
        {"C:\\Other\\Editor.exe", "EDITOR.EXE", "C:\\App\\Editor.exe", TRUE, FALSE},
        {"C:\\App\\Editor.exe", "EDITOR.EXE", NULL, TRUE, FALSE},
        {"C:\\App\\Editor.exe", "EDITOR.EXE", "", TRUE, FALSE},
        {"C:\\App\\Editor.exe", "C:\\APP\\EDITOR.EXE", NULL, FALSE, TRUE},
        {"C:\\App\\Editor.exe", "C:\\APP\\EDITOR.EXEX", NULL, FALSE, FALSE},
        {"", "EDITOR.EXE", NULL, TRUE, FALSE},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(std::string(r.lpszName) + " / " + r.lpszExe);
        EXPECT_EQ(r.bWant, fnProcessNameMatches(r.lpszName, r.lpszExe, r.lpszImage, r.bFileName));
    }
    EXPECT_STREQ("a.exe", fnPathFileName("C:\\x/y\\a.exe"));
    EXPECT_STREQ("a.exe", fnPathFileName("C:a.exe"));
}

TEST(ProcText, CounterIndexes)
{
    std::string s = fnCounterList({{"1", "1847"}, {"230", "Process"}, {"784", "ID Process"}, {"1846", "End Marker"}});
    const BYTE *p = (const BYTE *)s.data();
    EXPECT_EQ(230u, fnPerfCounterIndex(p, s.size(), "Process"));
    EXPECT_EQ(784u, fnPerfCounterIndex(p, s.size(), "id process"));
    EXPECT_EQ(0u, fnPerfCounterIndex(p, s.size(), "Thread"));
    /* a list cut anywhere, even inside a name, finds nothing it cannot read whole */
    for (size_t cb = 0; cb < s.size(); cb++) {
        std::vector<BYTE> cut(p, p + cb);
        DWORD dw = fnPerfCounterIndex(cut.data(), cut.size(), "ID Process");
        EXPECT_TRUE(dw == 0 || (dw == 784 && cb >= s.find("ID Process") + 11)) << cb;
    }
    std::string bad = fnCounterList({{"12x", "Process"}});
    EXPECT_EQ(0u, fnPerfCounterIndex((const BYTE *)bad.data(), bad.size(), "Process"));
}

TEST(ProcText, PerfDataBlockWalk)
{
    std::vector<BYTE> v = fnPerfBlock({4, 1234, 77});
    DWORD pids[8] = {0};
    ASSERT_EQ(3, fnPerfProcessIds(v.data(), v.size(), 230, 784, pids, 8));
    EXPECT_EQ(4u, pids[0]);
    EXPECT_EQ(1234u, pids[1]);
    EXPECT_EQ(77u, pids[2]);
    EXPECT_EQ(2, fnPerfProcessIds(v.data(), v.size(), 230, 784, pids, 2));
    EXPECT_EQ(0, fnPerfProcessIds(v.data(), v.size(), 230, 999, pids, 8));
    EXPECT_EQ(0, fnPerfProcessIds(v.data(), v.size(), 231, 784, pids, 8));
    /* a block cut short reads only whole instances; under the sanitizers any read past it fails */
    for (size_t cb = 0; cb < v.size(); cb++) {
        std::vector<BYTE> cut(v.begin(), v.begin() + (long)cb);
        int n = fnPerfProcessIds(cut.data(), cut.size(), 230, 784, pids, 8);
        EXPECT_LE(n, 3) << cb;
    }
    /* lengths that point outside the block or loop on themselves */
    std::vector<BYTE> bad = v;
    fnPutDword(bad, 88 + 64 + 0, 0);           /* an object of length 0 */
    EXPECT_EQ(0, fnPerfProcessIds(bad.data(), bad.size(), 230, 784, pids, 8));
    bad = v;
    fnPutDword(bad, 88 + 64 + 104 + 36, 0xFFFFFFF0u);  /* counter offset far past its block */
    EXPECT_EQ(0, fnPerfProcessIds(bad.data(), bad.size(), 230, 784, pids, 8));
    bad = v;
    fnPutDword(bad, 88 + 64 + 64 + 80, 0);      /* first instance of length 0 */
    EXPECT_EQ(0, fnPerfProcessIds(bad.data(), bad.size(), 230, 784, pids, 8));
}

}  // namespace
