/*
 * install/tests/moverules_test.cpp -- flag letters and delays of move lines,
 * the tree words of delete lines, and the folders a wildcard or tree line
 * must never work in.
 */
#include <gtest/gtest.h>

#include <string.h>

#include "common/bounded.h"
#include "common/runstate.h"
#include "install/moverules.h"

namespace {

TEST(MoveRulesTest, FlagLettersAndTheirDefaults)
{
    const struct {
        const char *lpszFlags;  /* NULL: the line has no flags field */
        UINT uMode, uInUse, uAttrib, uDir;
        BOOL bRecurse;
    } rows[] = {
        {NULL, MOVE_MOVE, MOVEINUSE_RESTART, MOVEATTR_KEEP, MOVEDIR_GOON, FALSE},
        {"", MOVE_RENAME, MOVEINUSE_RESTART, MOVEATTR_NORMAL, MOVEDIR_GOON, FALSE},
        {"c", MOVE_COPY, MOVEINUSE_RESTART, MOVEATTR_NORMAL, MOVEDIR_GOON, FALSE},
        {"A", MOVE_COPY, MOVEINUSE_RESTART, MOVEATTR_KEEP, MOVEDIR_PASSOVER, FALSE},
        {"T", MOVE_COPY, MOVEINUSE_RESTART, MOVEATTR_KEEP, MOVEDIR_PASSOVER, FALSE},
        {"O", MOVE_OVERWRITE, MOVEINUSE_RESTART, MOVEATTR_NORMAL, MOVEDIR_GOON, FALSE},
        {"D", MOVE_DELETE, MOVEINUSE_RESTART, MOVEATTR_NORMAL, MOVEDIR_GOON, FALSE},
        {"R", MOVE_RENAME, MOVEINUSE_RESTART, MOVEATTR_KEEP, MOVEDIR_GOON, FALSE},
        {"P", MOVE_ASK, MOVEINUSE_RESTART, MOVEATTR_NORMAL, MOVEDIR_GOON, FALSE},
        {"X", MOVE_RENAME, MOVEINUSE_RESTART, MOVEATTR_NORMAL, MOVEDIR_GOON, FALSE},
        {"+MC", MOVE_MOVE, MOVEINUSE_CLOSE, MOVEATTR_KEEP, MOVEDIR_GOON, TRUE},
        {"MPNC", MOVE_MOVE, MOVEINUSE_ASK, MOVEATTR_NORMAL, MOVEDIR_PASSOVER, FALSE},
        {"ASKE", MOVE_COPY, MOVEINUSE_SKIP, MOVEATTR_KEEP, MOVEDIR_GOON, FALSE},
        {"cRkCx", MOVE_COPY, MOVEINUSE_RESTART, MOVEATTR_KEEP, MOVEDIR_PASSOVER, FALSE},
    };
    for (const auto &r : rows) {
        IFStruct rec;
        memset(&rec, 0, sizeof(rec));
        fnDecodeMoveFlags(r.lpszFlags, r.lpszFlags != NULL, &rec);
        SCOPED_TRACE(r.lpszFlags ? r.lpszFlags : "(none)");
        EXPECT_EQ(r.uMode, rec.uMoveMode);
        EXPECT_EQ(r.uInUse, rec.uInUseAction);
        EXPECT_EQ(r.uAttrib, rec.uAttribMode);
        EXPECT_EQ(r.uDir, rec.uBackupAction);
        EXPECT_EQ(r.bRecurse, rec.bRecurse);
    }
}

TEST(MoveRulesTest, DelaysTreeWordsAndGuardedFolders)
{
    EXPECT_EQ(100u, fnReadMoveDelay(NULL, FALSE));
    EXPECT_EQ(2000u, fnReadMoveDelay("4", TRUE));
    EXPECT_EQ(1500u, fnReadMoveDelay("N3", TRUE));
    EXPECT_EQ(1500u, fnReadMoveDelay("y3", TRUE));
    EXPECT_EQ(0u, fnReadMoveDelay("0", TRUE));
    EXPECT_EQ(0u, fnReadMoveDelay("", TRUE));
    /* never INFINITE, never wrapped round to a short sleep */
    EXPECT_EQ(0xFFFFFFFEu, fnReadMoveDelay("99999999999", TRUE));
    EXPECT_EQ(0xFFFFFFFEu, fnReadMoveDelay("8589935", TRUE));

    EXPECT_EQ(DELTREE_TREE, fnDeleteTreeWord("+"));
    EXPECT_EQ(DELTREE_TREE, fnDeleteTreeWord("tree"));
    EXPECT_EQ(DELTREE_KEEP, fnDeleteTreeWord("TreeKeep"));
    EXPECT_EQ(DELTREE_NONE, fnDeleteTreeWord(""));
    EXPECT_EQ(DELTREE_NONE, fnDeleteTreeWord("TREES"));

    fnResetRunState();
    fnCopyBounded(g_szWinDir, sizeof(g_szWinDir), "C:\\Windows");
    fnCopyBounded(g_szHomeDir, sizeof(g_szHomeDir), "D:\\Setup\\");
    for (const char *lpsz : {"", "C:", "C:\\", "c:\\\\", "\\\\srv\\share", "\\\\srv\\share\\", "\\\\srv",
                             "c:\\windows", "C:\\WINDOWS\\", "d:\\setup"})
        EXPECT_TRUE(fnIsGuardedDir(lpsz)) << lpsz;
    for (const char *lpsz : {"C:\\Windows\\Temp", "C:\\Win", "D:\\Setup\\Old", "\\\\srv\\share\\dir", "C:\\App"})
        EXPECT_FALSE(fnIsGuardedDir(lpsz)) << lpsz;
    fnResetRunState();
}

}  // namespace
