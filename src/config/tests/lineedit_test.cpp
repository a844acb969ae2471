/*
 * config/tests/lineedit_test.cpp -- the configuration-file line editor and
 * reader on texts in memory: each type group before and after, untouched
 * lines byte for byte, line ends, a last line without one, a large file.
 */
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "config/lineedit.h"

namespace {

struct EditRow {
    const char *lpszIn;
    const char *lpszSection;
    const char *lpszKey;
    const char *lpszValue;
    const char *lpszType;
    char cAction;
    const char *lpszSub;
    const char *lpszOut;
};

std::string fnEdit(const std::string &strIn, const char *lpszSection, const char *lpszKey, const char *lpszValue,
                   const char *lpszType, char cAction, const char *lpszSub, BOOL *lpbChanged = NULL)
{
    IniEditStruct edit = {"X.INI", lpszSection, lpszKey, lpszValue, lpszType, cAction, lpszSub};
    TextBufGuardStruct out;
    BOOL bChanged = FALSE;
    EXPECT_TRUE(fnEditIniText(strIn.data(), strIn.size(), &edit, &out.buf, &bChanged));
    if (lpbChanged)
        *lpbChanged = bChanged;
    std::string strOut(fnTextBufText(&out.buf), out.buf.cch);
    EXPECT_EQ(bChanged, strOut != strIn) << "changed flag";
    return strOut;
}

void fnRunRows(const EditRow *lpRows, size_t nRows)
{
    for (size_t i = 0; i < nRows; i++) {
        const EditRow &r = lpRows[i];
        SCOPED_TRACE(std::string("row ") + std::to_string(i) + ": " + r.lpszType + " " + r.cAction + " " + r.lpszKey);
        EXPECT_EQ(r.lpszOut, fnEdit(r.lpszIn, r.lpszSection, r.lpszKey, r.lpszValue, r.lpszType, r.cAction, r.lpszSub));
    }
}

const char s_szSystemIni[] = "[boot]\r\nshellicon=1\r\nshell=progman.exe\r\n\r\n[386Enh]\r\ndevice=*vpicd\r\n"
                             "device=vshare.386\r\ndevice=*int13\r\n";

TEST(LineEdit, IniSectionsByKey)
{
    const EditRow aRows[] = {
        /* the key itself wins over an earlier longer key; a bare section name is bracketed */
        {s_szSystemIni, "boot", "shell", "Explorer.exe", "W", 'N', "",
         "[boot]\r\nshellicon=1\r\nshell=Explorer.exe\r\n\r\n[386Enh]\r\ndevice=*vpicd\r\ndevice=vshare.386\r\n"
         "device=*int13\r\n"},
        /* a missing key goes before the empty line that stands before the next section */
        {s_szSystemIni, "[boot]", "taskman", "taskman.exe", "W", 'N', "",
         "[boot]\r\nshellicon=1\r\nshell=progman.exe\r\ntaskman=taskman.exe\r\n\r\n[386Enh]\r\ndevice=*vpicd\r\n"
         "device=vshare.386\r\ndevice=*int13\r\n"},
        /* without an empty line there, one is written after the new line */
        {"[a]\r\nx=1\r\n[b]\r\n", "a", "y", "2", "W", 'N', "", "[a]\r\nx=1\r\ny=2\r\n\r\n[b]\r\n"},
        /* a key that only begins with the key is still found when nothing better is there */
        {"[a]\r\nDEVICEHIGH=x\r\n", "a", "DEVICE", "y", "W", 'N', "", "[a]\r\nDEVICE=y\r\n"},
        /* M and S want the sub-value in the value part */
        {s_szSystemIni, "386Enh", "device", "C:\\vshare.386", "M", 'N', "vshare",
         "[boot]\r\nshellicon=1\r\nshell=progman.exe\r\n\r\n[386Enh]\r\ndevice=*vpicd\r\ndevice=C:\\vshare.386\r\n"
         "device=*int13\r\n"},
        {s_szSystemIni, "386Enh", "device", "", "M", 'D', "int13",
         "[boot]\r\nshellicon=1\r\nshell=progman.exe\r\n\r\n[386Enh]\r\ndevice=*vpicd\r\ndevice=vshare.386\r\n"},
        {"[x]\r\n Device = old.sys\r\n", "[x]", "device", "new.sys", "S", 'N', "old", "[x]\r\nDevice=new.sys\r\n"},
        /* S leaves, A writes after, I before, R needs the line, D of a missing key does nothing */
        {"[a]\r\nk=1\r\n", "a", "k", "2", "W", 'S', "", "[a]\r\nk=1\r\n"},
        {"[a]\r\nk=1\r\n", "a", "k", "2", "W", 'A', "", "[a]\r\nk=1\r\nk=2\r\n"},
        {"[a]\r\nk=1\r\n", "a", "k", "2", "W", 'I', "", "[a]\r\nk=2\r\nk=1\r\n"},
        {"[a]\r\nk=1\r\n", "a", "j", "2", "W", 'R', "", "[a]\r\nk=1\r\n"},
        {"[a]\r\nk=1\r\n", "a", "j", "", "W", 'D', "", "[a]\r\nk=1\r\n"},
        /* the section's own key is looked for only inside it */
        {"[a]\r\nk=1\r\n[b]\r\nk=2\r\n", "b", "k", "3", "W", 'N', "", "[a]\r\nk=1\r\n[b]\r\nk=3\r\n"},
        /* a missing section is added at the end, after a line end the last line lacked */
        {"[a]\r\nlast=1", "boot", "shell", "E", "W", 'N', "", "[a]\r\nlast=1\r\n[boot]\r\nshell=E\r\n"},
        /* other letters work as W without brackets; F takes the key's first word */
        {"boot\r\nk=1\r\n", "boot", "k", "2", "Z", 'N', "", "boot\r\nk=2\r\n"},
        {"FILES=30\r\nBUFFERS=20\r\n", "", "FILES x", "40", "F", 'N', "", "FILES x=40\r\nBUFFERS=20\r\n"},
        /* a doubled backslash for files that escape them */
        {"[a]\r\n", "a", "dir", "C:\\X", "W\\", 'N', "", "[a]\r\ndir=C:\\\\X\r\n"},
        /* an empty key never matches a line */
        {"[a]\r\nk=1\r\n", "a", "", "", "W", 'D', "", "[a]\r\nk=1\r\n"},
    };
    fnRunRows(aRows, sizeof(aRows) / sizeof(aRows[0]));
}

TEST(LineEdit, WholeLinesAndPlacement)
{
    const char szBat[] = "@ECHO OFF\r\nPROMPT $p$g\r\nC:\\WINDOWS\\WIN.COM\r\n";
    const EditRow aRows[] = {
        {"@ECHO OFF\r\nSET TEMP=C:\\TEMP\r\n", "", "SET TEMP=", "SET TEMP=D:\\TMP", "C", 'N', "",
         "@ECHO OFF\r\nSET TEMP=D:\\TMP\r\n"},
        {"DEVICEHIGH=A\r\nDEVICE=B\r\n", "", "DEVICE", "DEVICE=C", "C", 'N', "", "DEVICEHIGH=A\r\nDEVICE=C\r\n"},
        /* A near the top behind ECHO OFF, B before the line that starts Windows, T at the top */
        {szBat, "", "SET X=", "SET X=1", "C", 'N', "A", "@ECHO OFF\r\nSET X=1\r\nPROMPT $p$g\r\nC:\\WINDOWS\\WIN.COM\r\n"},
        {szBat, "", "SET X=", "SET X=1", "C", 'N', "B", "@ECHO OFF\r\nPROMPT $p$g\r\nSET X=1\r\nC:\\WINDOWS\\WIN.COM\r\n"},
        {szBat, "", "SET X=", "SET X=1", "C", 'N', "T", "SET X=1\r\n@ECHO OFF\r\nPROMPT $p$g\r\nC:\\WINDOWS\\WIN.COM\r\n"},
        {"REM\r\necho off\r\nX\r\n", "", "Y", "Y", "B", 'N', "A", "REM\r\necho off\r\nY\r\nX\r\n"},
        {"A\r\nwin.exe /x\r\n", "", "SMARTDRV", "SMARTDRV", "B", 'N', "B", "A\r\nSMARTDRV\r\nwin.exe /x\r\n"},
        {"A\r\nWIN\r\n", "", "SMARTDRV", "SMARTDRV", "L", 'N', "B", "A\r\nSMARTDRV\r\nWIN\r\n"},
        /* WINFILE does not start Windows: at the end */
        {"WINFILE\r\n", "", "K", "K", "C", 'N', "B", "WINFILE\r\nK\r\n"},
        /* B wants the key and the section text in the line, X begins with the section text */
        {"LH C:\\MOUSE.COM\r\nMOUSE.INI\r\n", "LH", "MOUSE", "LH D:\\MOUSE.COM", "B", 'N', "",
         "LH D:\\MOUSE.COM\r\nMOUSE.INI\r\n"},
        {"REM LH MOUSE\r\nLH MOUSE\r\n", "LH", "MOUSE", "", "X", 'D', "", "REM LH MOUSE\r\n"},
        {"DEVICE=C:\\X\\EMM386.EXE\r\n", "DEVICE", "EMM386", "DEVICE=C:\\DOS\\EMM386.EXE", "L", 'N', "",
         "DEVICE=C:\\DOS\\EMM386.EXE\r\n"},
        /* K lines are not trimmed and one added at the end keeps no line end */
        {"a\r\nb\r\n", "", "c", "c=1", "K", 'N', "", "a\r\nb\r\nc=1"},
        /* indented sections end at the next unindented line */
        {"Protocol ms$nbf\r\n  Bindings=a\r\nNext\r\n  Bindings=b\r\n", "Protocol", "Bindings", "  Bindings=z", "N",
         'N', "", "Protocol ms$nbf\r\n  Bindings=z\r\nNext\r\n  Bindings=b\r\n"},
        {"Protocol ms$nbf\r\n  Drv=a\r\n\r\nNext\r\n", "Protocol", "Bindings", "  Bindings=z", "N", 'N', "",
         "Protocol ms$nbf\r\n  Drv=a\r\n  Bindings=z\r\n\r\nNext\r\n"},
        {"Other\r\n", "Protocol", "Bindings", "  Bindings=z", "N", 'N', "", "Other\r\n\r\nProtocol\r\n  Bindings=z\r\n"},
        /* the block between two marker lines */
        {";TG\r\na=1\r\n;TG\r\nb=2\r\n", "", "b", "b=3", "O", 'N', ";TG", ";TG\r\na=1\r\nb=3\r\n;TG\r\nb=2\r\n"},
        {"x\r\n", "", "b", "b=3", "O", 'N', ";TG", "x\r\n;TG\r\nb=3\r\n"},
    };
    fnRunRows(aRows, sizeof(aRows) / sizeof(aRows[0]));
}

TEST(LineEdit, TextReplacement)
{
    const char szIn[] = "[x]\r\na=old OLD\r\nb=none\r\n[y]\r\nc=old\r\n";
    const EditRow aRows[] = {
        /* every occurrence in the section, and a value holding the key is not replaced again */
        {szIn, "[x]", "old", "new old", "R", 'N', "", "[x]\r\na=new old new old\r\nb=none\r\n[y]\r\nc=old\r\n"},
        {szIn, "[x]", "old", "", "R", 'D', "", "[x]\r\nb=none\r\n[y]\r\nc=old\r\n"},
        {szIn, "[x]", "old", "new", "R", 'S', "", szIn},
        {szIn, "[x]", "", "new", "R", 'N', "", szIn},
        /* R never adds a line */
        {szIn, "[x]", "absent", "new", "R", 'N', "", szIn},
    };
    fnRunRows(aRows, sizeof(aRows) / sizeof(aRows[0]));
}

TEST(LineEdit, SectionListEntries)
{
    const std::string strIn = "[List]\r\n; keep this\r\nalpha\r\nbeta=2\r\n\r\n[Next]\r\n";
    auto fnList = [](const std::string &strText, const char *lpszKey, const char *lpszValue, char cAction) {
        IniEditStruct edit = {"X.INI", "List", lpszKey, lpszValue, "I", cAction, "G", TRUE};
        TextBufGuardStruct out;
        BOOL bChanged = FALSE;
        EXPECT_TRUE(fnEditIniText(strText.data(), strText.size(), &edit, &out.buf, &bChanged));
        return std::string(fnTextBufText(&out.buf), out.buf.cch);
    };
    /* an entry that is there as key or key=value stays once; comments and bare entries survive */
    EXPECT_EQ(strIn, fnList(strIn, "beta", "2", 'N'));
    EXPECT_EQ(strIn, fnList(strIn, "ALPHA", "", 'N'));
    EXPECT_EQ("[List]\r\n; keep this\r\nalpha\r\nbeta=2\r\ngamma\r\n\r\n[Next]\r\n", fnList(strIn, "gamma", "", 'N'));
    EXPECT_EQ("[List]\r\n; keep this\r\nbeta=2\r\n\r\n[Next]\r\n", fnList(strIn, "alpha", "", 'D'));
    EXPECT_EQ(strIn, fnList(strIn, "delta", "", 'D'));
    EXPECT_EQ("[Other]\r\n[List]\r\nk=v\r\n", fnList("[Other]\r\n", "k", "v", 'N'));
}

TEST(LineEdit, LineEndsAreKept)
{
    /* a last line without a line end gets one before anything is added, for every type */
    for (const char *lpszType : {"W", "M", "S", "F", "C", "K", "N", "O", "B", "X", "L", "Q"}) {
        SCOPED_TRACE(lpszType);
        std::string strWant = (lpszType[0] == 'K') ? "x=1\r\nk=2" : "x=1\r\nk=2\r\n";
        /* key=value types build the line from key and value, the others take the value */
        const char *lpszValue = strchr("WMSFQ", lpszType[0]) ? "2" : "k=2";
        EXPECT_EQ(strWant, fnEdit("x=1", "", "k", lpszValue, lpszType, 'N', ""));
    }
    /* an LF file gets LF lines; untouched lines keep their own ends, even mixed ones */
    EXPECT_EQ("[a]\nx=1\ny=2\n", fnEdit("[a]\nx=1\n", "a", "y", "2", "W", 'N', ""));
    EXPECT_EQ("[a]\nk=2\r\nz\n", fnEdit("[a]\nk=1\r\nz\n", "a", "k", "2", "W", 'N', ""));
    /* the DOS end-of-file mark stays last */
    EXPECT_EQ("PATH C:\\DOS\r\nSET X=1\r\n\x1a", fnEdit("PATH C:\\DOS\r\n\x1a", "", "SET X=", "SET X=1", "C", 'N', ""));
    /* an empty file */
    EXPECT_EQ("[a]\r\nk=1\r\n", fnEdit("", "a", "k", "1", "W", 'N', ""));
}

TEST(LineEdit, LargeFileOnlyTheLineChanges)
{
    std::string strIn;
    for (int s = 0; strIn.size() < 1024 * 1024; s++) {
        strIn += "[Section" + std::to_string(s) + "]\r\n";
        for (int k = 0; k < 20; k++)
            strIn += "Key" + std::to_string(k) + "=" + std::string(40, 'v') + "\r\n";
    }
    std::string strWant = strIn;
    size_t nPos = strWant.find("[Section700]\r\nKey0=");
    ASSERT_NE(std::string::npos, nPos);
    nPos = strWant.find("Key7=", nPos);
    strWant.replace(nPos, strlen("Key7=") + 40, "Key7=new");
    EXPECT_TRUE(fnEdit(strIn, "Section700", "Key7", "new", "W", 'N', "") == strWant);
}

TEST(LineEdit, ReadsValues)
{
    struct Row {
        const char *lpszIn;
        const char *lpszSection;
        const char *lpszKey;
        const char *lpszType;
        const char *lpszSub;
        const char *lpszValue;  /* NULL: nothing found */
    } aRows[] = {
        {"@ECHO OFF\r\nSET TEMP=D:\\TMP\r\n", "", "SET TEMP", "C", "", "D:\\TMP"},
        /* the key as a whole word wins over an earlier longer one */
        {"SET TEMPDIR=C:\\X\r\nSET TEMP=D:\\TMP\r\n", "", "SET TEMP", "C", "", "D:\\TMP"},
        {"[boot]\r\nshellicon=1\r\nshell = Explorer.exe \r\n", "boot", "shell", "W", "", "Explorer.exe"},
        {"[boot]\r\nshellx=1\r\n[b]\r\nshell=2\r\n", "[boot]", "shell", "Q", "", "1"},
        {"[a]\r\ndevice=x.386\r\ndevice=vshare.386\r\n", "a", "device", "M", "VSHARE", "vshare.386"},
        {"DEVICE C:\\HIMEM.SYS\r\n", "", "DEVICE", "F", "", "C:\\HIMEM.SYS"},
        {";TG\r\nb=1\r\n;TG\r\nc=2\r\n", "", "c", "O", ";TG", NULL},
        {"rem\r\n@SET PATH = C:\\DOS;C:\\X\r\n", "", "x", "P", "", "C:\\DOS;C:\\X"},
        {"Net\r\n  Name=ws1\r\nX\r\n", "Net", "Name", "N", "", "ws1"},
        {"[a]\r\nk=\r\n", "a", "k", "W", "", NULL},
        {"[a]\r\nk=1\r\n", "b", "k", "W", "", NULL},
        /* a long line before the match does not matter */
        {"[a]\r\nz=xxxxxxxxxx\r\nk=1\r\n", "a", "k", "W", "", "1"},
    };
    for (const Row &r : aRows) {
        SCOPED_TRACE(std::string(r.lpszType) + " " + r.lpszKey);
        TextBufGuardStruct out;
        std::string strIn = r.lpszIn;
        BOOL bFound = fnReadCfgValueText(strIn.data(), strIn.size(), r.lpszSection, r.lpszKey, r.lpszType, r.lpszSub,
                                         &out.buf);
        EXPECT_EQ(r.lpszValue != NULL, bFound);
        if (r.lpszValue) {
            EXPECT_STREQ(r.lpszValue, fnTextBufText(&out.buf));
        }
    }
}

}  // namespace
