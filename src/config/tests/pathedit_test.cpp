/*
 * config/tests/pathedit_test.cpp -- the PATH statement editor of batch files.
 */
#include <gtest/gtest.h>

#include <string>

#include "config/pathedit.h"

namespace {

std::string fnPath(const std::string &strIn, const char *lpszWord, const char *lpszTest, const char *lpszNew,
                   char cAction, char cPlace)
{
    TextBufGuardStruct out;
    BOOL bChanged = FALSE;
    EXPECT_TRUE(fnEditPathText(strIn.data(), strIn.size(), "AUTOEXEC.BAT", lpszWord, lpszTest, lpszNew, cAction,
                               cPlace, &out.buf, &bChanged));
    std::string strOut(fnTextBufText(&out.buf), out.buf.cch);
    EXPECT_EQ(bChanged, strOut != strIn) << "changed flag";
    return strOut;
}

TEST(PathEdit, StatementForms)
{
    struct Row {
        const char *lpszLine;
        const char *lpszValue;  /* NULL: no statement */
    } aRows[] = {
        {"SET PATH = x", "x"}, {"SET PATH =x", "x"}, {"set path= x", "x"}, {"SET PATH=x", "x"},
        {"@SET PATH = x", "x"}, {"@SET PATH=x", "x"}, {"PATH = x", "x"}, {"PATH =x", "x"}, {"PATH= x", "x"},
        {"PATH x", "x"}, {"PATH=x", "x"}, {"@PATH = x", "x"}, {"@PATH x", "x"}, {"@path=x", "x"},
        {"  PATH x", "x"}, {"PATHEXT=x", NULL}, {"SET PATHEXT=x", NULL}, {"PATH", NULL}, {"REM PATH x", NULL},
    };
    for (const Row &r : aRows) {
        SCOPED_TRACE(r.lpszLine);
        size_t cch = fnPathStatementHead(r.lpszLine, "PATH");
        EXPECT_EQ(r.lpszValue != NULL, cch != 0);
        if (r.lpszValue && cch) {
            EXPECT_STREQ(r.lpszValue, r.lpszLine + cch);
        }
    }
    /* another variable is only set with SET */
    EXPECT_NE(0u, fnPathStatementHead("SET LIB=C:\\LIB", "LIB"));
    EXPECT_EQ(0u, fnPathStatementHead("LIB C:\\LIB", "LIB"));
}

TEST(PathEdit, EditsElementsOfEveryStatement)
{
    struct Row {
        const char *lpszIn;
        const char *lpszElem;
        char cAction;
        char cPlace;
        const char *lpszOut;
    } aRows[] = {
        /* a missing element goes in front, or behind with E; the head becomes "PATH " */
        {"set PATH=D:\\DOS\r\n", "C:\\NEW", 'N', 'E', "PATH C:\\NEW;D:\\DOS\r\n"},
        {"set PATH=D:\\DOS\r\n", "C:\\NEW", 'E', 'E', "PATH D:\\DOS;C:\\NEW\r\n"},
        /* found: S leaves the line, N writes the element in its place, D drops it whole */
        {"PATH C:\\A;C:\\B\r\n", "c:\\b", 'S', 'E', "PATH C:\\A;C:\\B\r\n"},
        {"PATH C:\\A;C:\\B;C:\\C\r\n", "c:\\b", 'N', 'E', "PATH C:\\A;c:\\b;C:\\C\r\n"},
        {"PATH C:\\A;C:\\B;C:\\C\r\n", "C:\\B", 'D', 'E', "PATH C:\\A;C:\\C\r\n"},
        {"PATH C:\\AB;C:\\C\r\n", "B", 'D', 'E', "PATH C:\\AB;C:\\C\r\n"},
        {"PATH C:\\A\r\n", "C:\\B", 'R', 'E', "PATH C:\\A\r\n"},
        /* every statement is edited; other lines stay byte for byte */
        {"PATH C:\\A\nREM x \nSET PATH=%PATH%;C:\\B\n", "C:\\N", 'E', 'E',
         "PATH C:\\A;C:\\N\nREM x \nPATH %PATH%;C:\\B;C:\\N\n"},
        /* no statement: at the end (after a missing line end), at the top, or behind ECHO OFF */
        {"@ECHO OFF\r\nPROMPT $p$g", "C:\\DOS", 'N', 'E', "@ECHO OFF\r\nPROMPT $p$g\r\nPATH C:\\DOS\r\n"},
        {"@ECHO OFF\r\nPROMPT $p$g\r\n", "C:\\DOS", 'N', 'B', "PATH C:\\DOS\r\n@ECHO OFF\r\nPROMPT $p$g\r\n"},
        {"REM\r\n@ECHO OFF\r\nX\r\n", "C:\\DOS", 'N', 'A', "REM\r\n@ECHO OFF\r\nPATH C:\\DOS\r\nX\r\n"},
        {"X\r\n", "C:\\DOS", 'N', 'A', "X\r\nPATH C:\\DOS\r\n"},
        {"", "C:\\DOS", 'E', 'A', "PATH C:\\DOS\r\n"},
        {"X\r\n", "C:\\DOS", 'D', 'E', "X\r\n"},
        /* an empty statement gains the element without a stray ";" */
        {"PATH=\r\n", "C:\\DOS", 'E', 'E', "PATH C:\\DOS\r\n"},
    };
    for (const Row &r : aRows) {
        SCOPED_TRACE(std::string(r.lpszIn) + " / " + r.lpszElem + " / " + r.cAction);
        EXPECT_EQ(r.lpszOut, fnPath(r.lpszIn, "PATH ", r.lpszElem, r.lpszElem, r.cAction, r.cPlace));
    }
}

TEST(PathEdit, WordsAndLongStatements)
{
    /* an empty word stands for PATH; a SET word keeps its "="; another variable leaves PATH alone */
    EXPECT_EQ("PATH C:\\X\r\n", fnPath("", "", "C:\\X", "C:\\X", 'N', 'E'));
    EXPECT_EQ("PATH C:\\DOS\r\nSET LIB=C:\\L;C:\\X\r\n",
              fnPath("PATH C:\\DOS\r\nSET LIB=C:\\L\r\n", "SET LIB", "C:\\X", "C:\\X", 'E', 'E'));
    /* a 3,000-character statement is extended whole */
    std::string strValue;
    while (strValue.size() < 3000)
        strValue += "C:\\LONGFOLDER\\" + std::to_string(strValue.size()) + ";";
    strValue.pop_back();
    EXPECT_EQ("PATH " + strValue + ";D:\\X\r\n", fnPath("PATH " + strValue + "\r\n", "PATH", "D:\\X", "D:\\X", 'E', 'E'));
    /* past 32,767 characters the edit fails and nothing is produced */
    std::string strHuge = "PATH " + std::string(32760, 'x') + "\r\n";
    TextBufGuardStruct out;
    BOOL bChanged = FALSE;
    EXPECT_FALSE(fnEditPathText(strHuge.data(), strHuge.size(), "A.BAT", "PATH", "D:\\TOOLS", "D:\\TOOLS", 'E', 'E',
                                &out.buf, &bChanged));
}

}  // namespace
