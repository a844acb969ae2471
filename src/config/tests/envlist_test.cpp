/*
 * config/tests/envlist_test.cpp -- the text edit of plain and list
 * environment values, on the host, with references expanded by a fake table.
 */
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "common/bounded.h"
#include "common/machine.h"
#include "config/envlist.h"

namespace {

/* %SystemRoot% and %LOCALAPPDATA% expand; everything else is left as written. */
BOOL fnFakeExpand(const char *lpszText, char *lpszOut, size_t cchOut)
{
    std::string str(lpszText);
    const std::pair<const char *, const char *> aVars[] = {{"%SystemRoot%", "C:\\windows"},
                                                           {"%LOCALAPPDATA%", "C:\\users\\me\\AppData\\Local"}};
    for (const auto &v : aVars) {
        size_t nPos;
        while ((nPos = str.find(v.first)) != std::string::npos)
            str.replace(nPos, strlen(v.first), v.second);
    }
    return fnCopyBounded(lpszOut, cchOut, str.c_str());
}

class EnvListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_machine = g_machineNone;
        m_machine.pfnExpandEnv = fnFakeExpand;
        m_lpSaved = g_lpMachine;
        g_lpMachine = &m_machine;
    }
    void TearDown() override { g_lpMachine = m_lpSaved; }
    MachineLookupStruct m_machine;
    const MachineLookupStruct *m_lpSaved;
};

TEST_F(EnvListTest, ListAndPlainEdits)
{
    struct Row {
        const char *lpszCur;  /* NULL: the variable does not exist */
        const char *lpszValue;
        char cAction;
        BOOL bList;
        int nResult;
        const char *lpszOut;
    } aRows[] = {
        /* found: S keeps, E moves to the end, B to the front, D removes, N and R keep it in place */
        {"D:\\A;D:\\B", "D:\\B", 'E', TRUE, ENVEDIT_KEEP, ""},
        {"D:\\A;D:\\B", "D:\\B", 'B', TRUE, ENVEDIT_WRITE, "D:\\B;D:\\A"},
        {"D:\\A;D:\\B", "D:\\B", 'D', TRUE, ENVEDIT_WRITE, "D:\\A"},
        {"D:\\B;D:\\A", "d:\\b", 'E', TRUE, ENVEDIT_WRITE, "D:\\A;D:\\B"},
        {"D:\\A;D:\\B;D:\\C", "D:\\B", 'D', TRUE, ENVEDIT_WRITE, "D:\\A;D:\\C"},
        {"D:\\A;D:\\B", "D:\\A", 'N', TRUE, ENVEDIT_KEEP, ""},
        {"D:\\A;D:\\B", "D:\\A", 'S', TRUE, ENVEDIT_KEEP, ""},
        /* not found: N and E append, S and B prepend, R and D keep */
        {"D:\\A", "D:\\B", 'N', TRUE, ENVEDIT_WRITE, "D:\\A;D:\\B"},
        {"D:\\A", "D:\\B", 'E', TRUE, ENVEDIT_WRITE, "D:\\A;D:\\B"},
        {"D:\\A", "D:\\B", 'S', TRUE, ENVEDIT_WRITE, "D:\\B;D:\\A"},
        {"D:\\A", "D:\\B", 'B', TRUE, ENVEDIT_WRITE, "D:\\B;D:\\A"},
        {"D:\\A", "D:\\B", 'R', TRUE, ENVEDIT_KEEP, ""},
        {"D:\\A", "D:\\B", 'D', TRUE, ENVEDIT_KEEP, ""},
        /* whole elements only: B is not the tail of D:\AB, nor C:\X the head of C:\XY */
        {"D:\\AB;D:\\C", "B", 'D', TRUE, ENVEDIT_KEEP, ""},
        {"C:\\XY;D:\\C", "C:\\X", 'N', TRUE, ENVEDIT_WRITE, "C:\\XY;D:\\C;C:\\X"},
        /* empty elements and blanks of other elements stay; the last one removed leaves nothing */
        {"D:\\A;;D:\\B; D:\\C ", "D:\\B", 'D', TRUE, ENVEDIT_WRITE, "D:\\A;; D:\\C "},
        {"D:\\A;", "D:\\A", 'D', TRUE, ENVEDIT_DELETE, ""},
        {"", "D:\\A", 'N', TRUE, ENVEDIT_WRITE, "D:\\A"},
        /* a trailing ";" of the value or of the list is no element */
        {"D:\\A;D:\\B;", "D:\\B;", 'N', TRUE, ENVEDIT_KEEP, ""},
        /* a value of two elements is found as a run */
        {"D:\\A;D:\\B;D:\\C", "D:\\B;D:\\C", 'B', TRUE, ENVEDIT_WRITE, "D:\\B;D:\\C;D:\\A"},
        /* a reference and its expansion name the same element; the written form stays */
        {"%SystemRoot%\\system32;D:\\A", "C:\\windows\\system32", 'N', TRUE, ENVEDIT_KEEP, ""},
        {"%SystemRoot%\\system32;D:\\A", "C:\\WINDOWS\\system32", 'E', TRUE, ENVEDIT_WRITE,
         "D:\\A;%SystemRoot%\\system32"},
        {"C:\\windows\\system32;D:\\A", "%SystemRoot%\\system32", 'D', TRUE, ENVEDIT_WRITE, "D:\\A"},
        /* plain variables */
        {"old", "new", 'S', FALSE, ENVEDIT_KEEP, ""},
        {"old", "new", 'N', FALSE, ENVEDIT_WRITE, "new"},
        {"old", "old", 'N', FALSE, ENVEDIT_KEEP, ""},
        {"old", "x", 'D', FALSE, ENVEDIT_DELETE, ""},
        {"old", "", 'N', FALSE, ENVEDIT_DELETE, ""},
        /* a missing variable: D and R change nothing, the rest write the value */
        {NULL, "x", 'D', FALSE, ENVEDIT_KEEP, ""},
        {NULL, "x", 'R', TRUE, ENVEDIT_KEEP, ""},
        {NULL, "D:\\A;", 'S', TRUE, ENVEDIT_WRITE, "D:\\A"},
        {NULL, "", 'N', FALSE, ENVEDIT_KEEP, ""},
    };
    TextBufStruct out;
    fnTextBufInit(&out);
    for (const Row &row : aRows) {
        SCOPED_TRACE(std::string(row.lpszCur ? row.lpszCur : "(missing)") + " / " + row.lpszValue + " / " +
                     row.cAction);
        EXPECT_EQ(row.nResult, fnEditEnvValue(row.lpszCur, row.lpszValue, row.cAction, row.bList, &out));
        if (row.nResult == ENVEDIT_WRITE) {
            EXPECT_STREQ(row.lpszOut, fnTextBufText(&out));
        }
    }
    fnTextBufFree(&out);
}

TEST_F(EnvListTest, LongValuesAreNeverCut)
{
    /* 30,000 characters of elements, edited at both ends */
    std::string strCur;
    for (int i = 0; strCur.size() < 30000; i++)
        strCur += "C:\\Tools\\Folder" + std::to_string(i) + ";";
    strCur.pop_back();
    TextBufStruct out;
    fnTextBufInit(&out);
    ASSERT_EQ(ENVEDIT_WRITE, fnEditEnvValue(strCur.c_str(), "D:\\New", 'E', TRUE, &out));
    EXPECT_EQ(strCur + ";D:\\New", fnTextBufText(&out));
    ASSERT_EQ(ENVEDIT_WRITE, fnEditEnvValue(strCur.c_str(), "C:\\Tools\\Folder0", 'D', TRUE, &out));
    EXPECT_EQ(strCur.substr(strlen("C:\\Tools\\Folder0;")), fnTextBufText(&out));

    /* a result above 32,767 characters is refused, not cut */
    std::string strFull(CCH_ENV_MAX - 3, 'x');
    EXPECT_EQ(ENVEDIT_TOOLONG, fnEditEnvValue(strFull.c_str(), "D:\\New", 'N', TRUE, &out));
    std::string strExact(CCH_ENV_MAX - 7, 'x');
    EXPECT_EQ(ENVEDIT_WRITE, fnEditEnvValue(strExact.c_str(), "D:\\New", 'N', TRUE, &out));
    EXPECT_EQ((size_t)CCH_ENV_MAX, out.cch);
    fnTextBufFree(&out);
}

}  // namespace
