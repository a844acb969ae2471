/*
 * install/tests/filerules_test.cpp -- the file installation rules on the
 * host: digits, flag letters, unique names over a fake file set, the tree
 * walk over a recording fake, expanded names from header bytes and the
 * result mappings.
 */
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "common/records.h"
#include "install/filerules.h"

namespace {

TEST(FileRules, DigitNumbers)
{
    EXPECT_EQ(1u, fnReadDigitNumber("D1"));
    EXPECT_EQ(1000u, fnReadDigitNumber("1,000"));
    EXPECT_EQ(0u, fnReadDigitNumber("disk"));
    EXPECT_EQ(0u, fnReadDigitNumber(NULL));
    EXPECT_EQ(4294967295u, fnReadDigitNumber("4294967295"));
    EXPECT_EQ(0xFFFFFFFFu, fnReadDigitNumber("99999999999"));  /* stays at the top, never wraps */
}

TEST(FileRules, FlagLetters)
{
    IFStruct f = {};
    ASSERT_TRUE(fnDecodeFileFlags("+vrik", "f", "b", &f));
    EXPECT_TRUE(f.bRecurse);
    EXPECT_EQ((UINT)INSTALL_VERSION, f.uInstallMode);
    EXPECT_EQ((UINT)INUSE_RESTART, f.uInUseAction);
    EXPECT_EQ((UINT)VERACT_IGNORE, f.uVerAction);
    EXPECT_TRUE(f.bKeepAttrib);
    EXPECT_EQ((UINT)COPY_FORCE, f.uCopyMode);
    EXPECT_EQ((UINT)BACKACT_BACKUP, f.uBackupAction);

    /* unknown letters and empty fields give the defaults */
    ASSERT_TRUE(fnDecodeFileFlags("Xz", "", "Q", &f));
    EXPECT_FALSE(f.bRecurse);
    EXPECT_EQ((UINT)INSTALL_NORMAL, f.uInstallMode);
    EXPECT_EQ((UINT)INUSE_PROMPT, f.uInUseAction);
    EXPECT_EQ((UINT)VERACT_PROMPT, f.uVerAction);
    EXPECT_FALSE(f.bKeepAttrib);
    EXPECT_EQ((UINT)COPY_NORMAL, f.uCopyMode);
    EXPECT_EQ((UINT)JOIN_NONE, f.uJoinPart);
    EXPECT_EQ((UINT)BACKACT_OVERWRITE, f.uBackupAction);

    const struct {
        const char *lpszFlags2;
        UINT uJoinCopy, uPart;
    } joins[] = {{"JN1", COPY_NORMAL, JOIN_FIRST}, {"JV0", COPY_V, JOIN_LAST},  {"JF2", COPY_FORCE, JOIN_MIDDLE},
                 {"JJ12", COPY_NORMAL, JOIN_MIDDLE}, {"JN01", COPY_NORMAL, JOIN_FIRST}, {"J", COPY_NORMAL, JOIN_NONE}};
    for (const auto &j : joins) {
        ASSERT_TRUE(fnDecodeFileFlags("N", j.lpszFlags2, "N", &f)) << j.lpszFlags2;
        EXPECT_EQ((UINT)COPY_JOIN, f.uCopyMode) << j.lpszFlags2;
        EXPECT_EQ(j.uJoinCopy, f.uJoinCopyMode) << j.lpszFlags2;
        EXPECT_EQ(j.uPart, f.uJoinPart) << j.lpszFlags2;
    }
    /* four letters behind the "+" are allowed, five are not, in any field */
    EXPECT_TRUE(fnDecodeFileFlags("+NNNN", "NNNN", "NNNN", &f));
    EXPECT_FALSE(fnDecodeFileFlags("NNNNN", "N", "N", &f));
    EXPECT_FALSE(fnDecodeFileFlags("N", "JN123", "N", &f));
    EXPECT_FALSE(fnDecodeFileFlags("N", "N", "BBBBB", &f));
}

struct FakeFilesStruct {
    std::set<std::string> files;
    int nCalls = 0;
};

BOOL fnFakeExists(const char *lpszPath, void *lpContext)
{
    FakeFilesStruct *lpFake = (FakeFilesStruct *)lpContext;
    lpFake->nCalls++;
    return lpFake->files.count(lpszPath) ? TRUE : FALSE;
}

TEST(FileRules, UniqueAndBackupNames)
{
    FakeFilesStruct fake;
    char sz[CCH_PATH];
    EXPECT_EQ(1, fnMakeUniqueName("C:\\D", "README.TXT", BACKUP_ORIEXT, fnFakeExists, &fake, sz, sizeof(sz)));
    EXPECT_STREQ("C:\\D\\README.TXT", sz);

    fake.files = {"C:\\D\\README.TXT"};
    EXPECT_EQ(2, fnMakeUniqueName("C:\\D", "README.TXT", BACKUP_ORIEXT, fnFakeExists, &fake, sz, sizeof(sz)));
    EXPECT_STREQ("C:\\D\\README.ORI", sz);
    EXPECT_EQ(2, fnMakeUniqueName("C:\\D", "README.TXT", BACKUP_NOMOD, fnFakeExists, &fake, sz, sizeof(sz)));
    EXPECT_STREQ("C:\\D\\README.MOD", sz);
    EXPECT_EQ(2, fnMakeUniqueName("C:\\D", "README.TXT", BACKUP_DATE, fnFakeExists, &fake, sz, sizeof(sz)));
    EXPECT_STREQ("C:\\D\\README.{00}.SAV.TXT", sz);

    /* a taken .ORI falls back to numbers; the next is one above the highest in use, gaps not refilled */
    fake.files.insert("C:\\D\\README.ORI");
    for (int n : {0, 3})
        fake.files.insert("C:\\D\\README.{0" + std::to_string(n) + "}.SAV.TXT");
    EXPECT_EQ(2, fnMakeUniqueName("C:\\D", "README.TXT", BACKUP_ORIEXT, fnFakeExists, &fake, sz, sizeof(sz)));
    EXPECT_STREQ("C:\\D\\README.{04}.SAV.TXT", sz);
    fake.files.insert("C:\\D\\README.{99}.SAV.TXT");
    EXPECT_EQ(0, fnMakeUniqueName("C:\\D", "README.TXT", BACKUP_UNIQUE, fnFakeExists, &fake, sz, sizeof(sz)));
    EXPECT_STREQ("", sz);

    /* long base cut at 24 characters; no extension keeps a trailing dot; a directory part of the name stays;
       the base is the name without its last extension only */
    std::string strLong(30, 'L');
    fake.files = {"C:\\D\\" + strLong, "C:\\D\\SUB\\A.B.TXT"};
    EXPECT_EQ(2, fnMakeUniqueName("C:\\D", strLong.c_str(), BACKUP_UNIQUE, fnFakeExists, &fake, sz, sizeof(sz)));
    EXPECT_EQ("C:\\D\\" + std::string(24, 'L') + ".{00}.SAV.", std::string(sz));
    EXPECT_EQ(2, fnMakeUniqueName("C:\\D", "SUB\\A.B.TXT", BACKUP_ORIEXT, fnFakeExists, &fake, sz, sizeof(sz)));
    EXPECT_STREQ("C:\\D\\SUB\\A.B.ORI", sz);

    /* a name that would not fit is no name */
    std::string strDir = "C:\\" + std::string(250, 'd');
    fake.files = {strDir + "\\F.TXT"};
    EXPECT_EQ(0, fnMakeUniqueName(strDir.c_str(), "F.TXT", BACKUP_UNIQUE, fnFakeExists, &fake, sz, sizeof(sz)));
}

struct RecordStruct {
    std::vector<std::string> made;
    std::vector<BOOL> logged;
    std::set<std::string> fail;
};

BOOL fnRecordCreate(const char *lpszDir, BOOL bLog, void *lpContext)
{
    RecordStruct *r = (RecordStruct *)lpContext;
    r->made.push_back(lpszDir);
    r->logged.push_back(bLog);
    return !r->fail.count(lpszDir);
}

TEST(FileRules, TreeWalk)
{
    RecordStruct r;
    /* the whole path is tried first; when that fails each level is made, the drive with the first */
    r.fail = {"C:\\A\\\\B\\C\\"};
    EXPECT_TRUE(fnWalkDirTree("C:/A//B\\C\\", TRUE, fnRecordCreate, &r));
    std::vector<std::string> want = {"C:\\A\\\\B\\C\\", "C:\\A", "C:\\A\\\\B", "C:\\A\\\\B\\C"};
    EXPECT_EQ(want, r.made);
    std::vector<BOOL> wantLog = {TRUE, FALSE, FALSE, TRUE};
    EXPECT_EQ(wantLog, r.logged);
    r = RecordStruct();
    r.fail = {"C:\\A\\B", "C:\\A\\B\\C"};
    EXPECT_FALSE(fnWalkDirTree("C:\\A\\B\\C", FALSE, fnRecordCreate, &r));
    EXPECT_EQ(3u, r.made.size());  /* stops at the first level that fails */

    r = RecordStruct();
    EXPECT_TRUE(fnWalkDirTree("C:\\A\\B\\C", TRUE, fnRecordCreate, &r));
    EXPECT_EQ(1u, r.made.size());  /* created at once, with the log flag */
    EXPECT_TRUE(r.logged[0]);

    r = RecordStruct();
    r.fail = {"\\\\srv\\share\\X\\Y"};
    EXPECT_FALSE(fnWalkDirTree("\\\\srv\\share\\X\\Y", TRUE, fnRecordCreate, &r));
    /* server and share are never created on their own; only the whole path carries the log flag */
    want = {"\\\\srv\\share\\X\\Y", "\\\\srv\\share\\X", "\\\\srv\\share\\X\\Y"};
    EXPECT_EQ(want, r.made);
    wantLog = {TRUE, FALSE, TRUE};
    EXPECT_EQ(wantLog, r.logged);

    EXPECT_TRUE(fnWalkDirTree("", TRUE, fnRecordCreate, &r));
}

TEST(FileRules, ExpandedNames)
{
    const BYTE szdd[14] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33, 'A', 'T', 0, 0, 0, 0};
    const BYTE mscf[80] = {'M', 'S', 'C', 'F'};
    char sz[CCH_PATH];
    const struct {
        const char *lpszName;
        const BYTE *lpb;
        size_t cb;
        const char *lpszWant;
    } rows[] = {
        {"SETUP.EX_", szdd, sizeof(szdd), "SETUP.EXT"},   /* byte 9 replaces the '_' */
        {"README.T_", szdd, sizeof(szdd), "README.T"},    /* short extension: cut at its last '_' */
        {"DATA_1.BIN", szdd, sizeof(szdd), "DATA_1.BIN"}, /* '_' outside the extension */
        {"SETUP.EX_", szdd, 9, "SETUP.EX_"},              /* too short to hold the character */
        {"SETUP.EX_", mscf, sizeof(mscf), "SETUP.EX_"},   /* a cabinet is copied as it is, under its own name */
    };
    for (const auto &r : rows) {
        fnExpandedNameFromHeader(r.lpszName, r.lpb, r.cb, sz, sizeof(sz));
        EXPECT_STREQ(r.lpszWant, sz) << r.lpszName;
    }
}

TEST(FileRules, ResultMappings)
{
    /* a later bit of the list wins over an earlier one */
    EXPECT_EQ(1133u, fnVifMessageId(VIF_WRITEPROT | VIF_FILEINUSE | VIF_CANNOTCREATE));
    EXPECT_EQ(1114u, fnVifMessageId(VIF_SHARINGVIOLATION | VIF_OUTOFSPACE));
    EXPECT_EQ(0u, fnVifMessageId(VIF_TEMPFILE | VIF_MISMATCH));
    EXPECT_EQ(1138u, fnConflictMessageId(VIF_MISMATCH | VIF_DIFFTYPE));
    EXPECT_EQ(1135u, fnConflictMessageId(VIF_TEMPFILE | VIF_MISMATCH | VIF_SRCOLD));

    EXPECT_EQ(0u, fnVerInfoToVif(1));
    EXPECT_EQ(0u, fnVerInfoToVif(2));
    EXPECT_EQ((DWORD)0x20001, fnVerInfoToVif(4));
    EXPECT_EQ((DWORD)0x7, fnVerInfoToVif(7));
    EXPECT_EQ((DWORD)0x23, fnVerInfoToVif(9));
    EXPECT_EQ((DWORD)0xb, fnVerInfoToVif(10));

    /* a full disk is no file in use; a read-only file is write protection */
    EXPECT_EQ((DWORD)VIF_OUTOFSPACE, fnWriteErrorToVif(112, FALSE, VIF_CANNOTCREATE));
    EXPECT_EQ((DWORD)VIF_WRITEPROT, fnWriteErrorToVif(5, TRUE, VIF_CANNOTCREATE));
    EXPECT_EQ((DWORD)VIF_ACCESSVIOLATION, fnWriteErrorToVif(5, FALSE, VIF_CANNOTCREATE));
    EXPECT_EQ((DWORD)VIF_CANNOTCREATE, fnWriteErrorToVif(87, FALSE, VIF_CANNOTCREATE));
    EXPECT_EQ((DWORD)VIF_OUTOFSPACE, fnLzResultToVif(-4));
    EXPECT_EQ(0u, fnLzResultToVif(-1988100096L));  /* a good copy of over 2 GiB */
    EXPECT_EQ(0u, fnLzResultToVif(25249));
}

struct AskStruct {
    UINT uInUse = 0, uElsewhere = 0;
    BOOL bCloses = FALSE;
    std::vector<UINT> asked;
};

UINT fnAsk(UINT uQuestion, void *lpContext)
{
    AskStruct *a = (AskStruct *)lpContext;
    a->asked.push_back(uQuestion);
    return uQuestion == FINDASK_INUSE ? a->uInUse : uQuestion == FINDASK_ELSEWHERE ? a->uElsewhere : a->bCloses;
}

UINT fnDecide(const FindFactsStruct &f, const char *lpszFlags1, const char *lpszFlags2, AskStruct *lpAsk,
              BOOL *lpbTried = NULL)
{
    IFStruct lf = {};
    fnDecodeFileFlags(lpszFlags1, lpszFlags2, "N", &lf);
    BOOL bTried = FALSE;
    UINT u = fnFindCopyDecision(&f, &lf, lpbTried ? lpbTried : &bTried, fnAsk, lpAsk);
    return u;
}

TEST(FileRules, ExistingCopyDecision)
{
    AskStruct ask;
    FindFactsStruct f = {};
    /* nothing found anywhere: install */
    f.dwVFF = VFF_CURNEDEST;
    f.bCurEmpty = TRUE;
    EXPECT_EQ((UINT)FIND_INSTALL, fnDecide(f, "N", "N", &ask));
    /* the copy found is the source: installed, never deleted; an elsewhere copy stays by default */
    f = {};
    f.dwVFF = VFF_CURNEDEST;
    f.bSrcIsExisting = TRUE;
    EXPECT_EQ((UINT)FIND_KEEPOTHER, fnDecide(f, "N", "C", &ask));
    f.bSrcIsExisting = FALSE;
    EXPECT_EQ((UINT)FIND_KEEPOTHER, fnDecide(f, "N", "N", &ask));
    EXPECT_EQ((UINT)FIND_INSTALL, fnDecide(f, "N", "C", &ask));
    EXPECT_EQ((UINT)FIND_INTODST, fnDecide(f, "N", "F", &ask));
    EXPECT_EQ((UINT)FIND_NORMAL, fnDecide(f, "N", "W", &ask));
    const struct {
        UINT uAnswer, uWant;
    } elsewhere[] = {{103, FIND_KEEPOTHER}, {104, FIND_INSTALL}, {105, FIND_INTOCUR}, {106, FIND_SKIP}, {107, FIND_ABORT}};
    for (const auto &e : elsewhere) {
        ask.uElsewhere = e.uAnswer;
        EXPECT_EQ(e.uWant, fnDecide(f, "N", "P", &ask)) << e.uAnswer;
    }
    f.dwVFF |= VFF_BUFFTOOSMALL;
    EXPECT_EQ((UINT)FIND_BUFFTOOSMALL, fnDecide(f, "N", "N", &ask));

    /* in use: the actions and the dialog's answers */
    f = {};
    f.dwVFF = VFF_FILEINUSE;
    EXPECT_EQ((UINT)FIND_SKIP, fnDecide(f, "NS", "N", &ask));
    EXPECT_EQ((UINT)FIND_SKIP, fnDecide(f, "N", "S", &ask));
    EXPECT_EQ((UINT)FIND_INSTALL, fnDecide(f, "NR", "N", &ask));
    f.bCurIsDstDir = TRUE;
    EXPECT_EQ((UINT)FIND_INTODST, fnDecide(f, "N", "N", &ask));
    f.bCurIsDstDir = FALSE;
    const struct {
        UINT uAnswer, uWant;
    } inUse[] = {{101, FIND_AGAIN}, {102, FIND_INSTALL}, {103, FIND_SKIP}, {104, FIND_ABORT}, {0, FIND_INSTALL}};
    for (const auto &u : inUse) {
        ask.uInUse = u.uAnswer;
        EXPECT_EQ(u.uWant, fnDecide(f, "VP", "N", &ask)) << u.uAnswer;
    }
    /* close the holder once: when it closes, search again; afterwards ask */
    ask = AskStruct();
    ask.bCloses = TRUE;
    BOOL bTried = FALSE;
    EXPECT_EQ((UINT)FIND_AGAIN, fnDecide(f, "NC", "N", &ask, &bTried));
    EXPECT_TRUE(bTried);
    f.bCloseTried = TRUE;
    ask.uInUse = 103;
    EXPECT_EQ((UINT)FIND_SKIP, fnDecide(f, "NC", "N", &ask));
    std::vector<UINT> wantAsked = {FINDASK_CLOSEHOLDER, FINDASK_INUSE};
    EXPECT_EQ(wantAsked, ask.asked);
}

TEST(FileRules, MismatchDecision)
{
    IFStruct lf = {};
    const struct {
        const char *lpszFlags1, *lpszFlags2;
        DWORD dwVIF;
        UINT uWant;
    } rows[] = {
        {"S", "S", VIF_MISMATCH, MISMATCH_SKIP},
        {"S", "F", VIF_MISMATCH | VIF_SRCOLD, MISMATCH_FORCE},
        {"T", "N", VIF_MISMATCH, MISMATCH_FORCE},            /* T with N installs unless older */
        {"T", "N", VIF_MISMATCH | VIF_SRCOLD, MISMATCH_ASK},
        {"T", "D", VIF_MISMATCH, MISMATCH_ASK},              /* only with N */
        {"SNK", "N", VIF_MISMATCH, MISMATCH_SKIP},
        {"SNC", "N", VIF_MISMATCH, MISMATCH_ABORT},
        {"V", "N", VIF_MISMATCH | VIF_DIFFLANG, MISMATCH_ASK},
    };
    for (const auto &r : rows) {
        fnDecodeFileFlags(r.lpszFlags1, r.lpszFlags2, "N", &lf);
        EXPECT_EQ(r.uWant, fnMismatchDecision(&lf, r.dwVIF)) << r.lpszFlags1 << " " << r.lpszFlags2;
    }
}

TEST(FileRules, MeterStepsWhenItsPercentageMovesOrTimePasses)
{
    MeterStepStruct step = {(DWORD)-1, 0};
    EXPECT_TRUE(fnMeterStepDue(&step, 1, 1000, 5000));    /* the first step paints */
    EXPECT_FALSE(fnMeterStepDue(&step, 2, 1000, 5010));   /* still 0 %, 10 ms later */
    EXPECT_TRUE(fnMeterStepDue(&step, 3, 1000, 5050));    /* 50 ms passed */
    EXPECT_FALSE(fnMeterStepDue(&step, 9, 1000, 5060));
    EXPECT_TRUE(fnMeterStepDue(&step, 10, 1000, 5061));   /* 1 % */
    EXPECT_TRUE(fnMeterStepDue(&step, 995, 1000, 5062));  /* 99 % */
    EXPECT_FALSE(fnMeterStepDue(&step, 999, 1000, 5063)); /* 99 % again */
    EXPECT_TRUE(fnMeterStepDue(&step, 1000, 1000, 5064)); /* the last file always paints */
    EXPECT_TRUE(fnMeterStepDue(&step, 1001, 1000, 5065)); /* past the range (a wildcard found more) */
    /* a tick counter that wrapped still counts the time passed */
    step = {5, 0xFFFFFFF0u};
    EXPECT_FALSE(fnMeterStepDue(&step, 50, 1000, 0x10u));
    EXPECT_TRUE(fnMeterStepDue(&step, 50, 1000, 0x30u));
    /* no range: 100 % from the start */
    step = {(DWORD)-1, 0};
    EXPECT_TRUE(fnMeterStepDue(&step, 1, 0, 100));
    EXPECT_TRUE(fnMeterStepDue(&step, 2, 0, 101));
}

}  // namespace
