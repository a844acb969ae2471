/*
 * lint/tests/lint_test.cpp -- the script checker over small scripts, one
 * finding each (its file, line, column, code and whether it counts as an
 * error), and over every script of examples/ and of the end-to-end cases,
 * which must check clean unless the case tests a faulty script on purpose.
 */
#include <gtest/gtest.h>

#include <dirent.h>
#include <string.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "driver/scramble.h"
#include "lint/lint.h"

namespace {

struct FoundStruct {
    std::string strFile;
    UINT uLine, uCol;
    int nSeverity;
    std::string strCode, strText, strLine;
};

void fnCollect(const LintFindingStruct *f, void *lpCtx)
{
    auto *lpFound = static_cast<std::vector<FoundStruct> *>(lpCtx);
    lpFound->push_back({f->lpszFile, f->uLine, f->uCol, f->nSeverity, f->lpszCode, f->lpszText,
                        f->lpszLineText ? std::string(f->lpszLineText, f->cchLineText) : std::string()});
}

std::vector<FoundStruct> fnLint(const std::string &strScript, UINT *lpcErrors = nullptr, const char *lpszFile = "T.INF")
{
    std::vector<FoundStruct> found;
    UINT cErrors = fnLintScript(lpszFile, strScript.data(), strScript.size(), fnCollect, &found);
    if (lpcErrors)
        *lpcErrors = cErrors;
    return found;
}

std::string fnDescribe(const std::vector<FoundStruct> &found)
{
    std::string str;
    for (const auto &f : found)
        str += f.strFile + ":" + std::to_string(f.uLine) + ":" + std::to_string(f.uCol) + " [" + f.strCode + "] " +
               f.strText + "\n";
    return str;
}

struct RowStruct {
    const char *lpszWhat;
    std::string strScript;
    UINT uLine, uCol;
    const char *lpszCode;
    const char *lpszText;  /* a part the message must hold, or NULL */
};

/* Each row's script holds one fault: the finding is there, and it is the only error. */
void fnCheckRows(const std::vector<RowStruct> &rows)
{
    for (const auto &r : rows) {
        SCOPED_TRACE(r.lpszWhat);
        UINT cErrors = 0;
        auto found = fnLint(r.strScript, &cErrors);
        const LintCodeStruct *lpCode = fnFindLintCode(r.lpszCode);
        ASSERT_NE(lpCode, nullptr);
        const FoundStruct *lpHit = nullptr;
        UINT cOtherErrors = 0;
        for (const auto &f : found) {
            if (f.strCode == r.lpszCode && f.uLine == r.uLine && f.uCol == r.uCol)
                lpHit = &f;
            else if (f.nSeverity == LINT_ERROR)
                cOtherErrors++;
        }
        ASSERT_NE(lpHit, nullptr) << fnDescribe(found);
        EXPECT_EQ(lpHit->strFile, "T.INF");
        EXPECT_EQ(lpHit->nSeverity, lpCode->nSeverity);
        if (r.lpszText) {
            EXPECT_NE(lpHit->strText.find(r.lpszText), std::string::npos) << lpHit->strText;
        }
        EXPECT_EQ(cOtherErrors, 0u) << fnDescribe(found);
        EXPECT_EQ(cErrors, lpCode->nSeverity == LINT_ERROR ? 1u : 0u);
    }
}

} // namespace

TEST(LintStructure, EachFaultAtItsPlace)
{
    std::string strLong = "[Exec]\r\n" + std::string(1100, 'x') + "\r\n";
    fnCheckRows({
        {"text after ]", "[Files] ; copy\r\na.exe\r\n", 1, 9, "header-text", "[Files]"},
        {"no ]", "[Files\r\na.exe\r\n", 1, 7, "header-unclosed", nullptr},
        {"unknown name", "[Exec]\r\nx.exe\r\n[Filez]\r\na\r\n", 3, 1, "unknown-section", "did you mean [Files]?"},
        {"list names a missing section", "[AskFor]\r\n1=[Name]\r\n", 2, 3, "missing-section", "[Name]"},
        {"question before its list", "[Name]\r\nCaption=a\r\n[AskFor]\r\n1=[Name]\r\n", 4, 3, "missing-section",
         "after it"},
        {"question only after [End]", "[AskFor]\r\n1=Name\r\n[End]\r\n[Name]\r\nCaption=a\r\n", 2, 3,
         "missing-section", "[End]"},
        {"section after [End]", "[End]\r\n[Exec]\r\nx.exe\r\n", 2, 1, "after-end", nullptr},
        {"question twice", "[AskFor]\r\n1=[Q]\r\n[Q]\r\nCaption=a\r\n[Q]\r\nCaption=b\r\n", 5, 1, "duplicate-section",
         "line 3"},
        {"[Config] twice", "[Config]\r\nWinPause=1\r\n[Config]\r\nWinPause=2\r\n", 3, 1, "duplicate-section",
         nullptr},
        {"shortcut section before its list", "[Links]\r\na,b.exe\r\n[ShortCuts]\r\nLinks=Grp,@W6,N\r\n", 1, 1,
         "section-order", nullptr},
        {"tenth question", "[AskFor]\r\n1=Q\r\n2=Q\r\n3=Q\r\n4=Q\r\n5=Q\r\n6=Q\r\n7=Q\r\n8=Q\r\n9=Q\r\n10=Q\r\n[Q]\r\n"
                           "Caption=a\r\n",
         11, 1, "section-order", "at most 9"},
        {"long line", strLong, 2, 1025, "line-too-long", "1100"},
        {"last line unended", "[Exec]\r\nx.exe", 2, 6, "no-final-newline", nullptr},
        {"text before the first header", "x.exe\r\n[Exec]\r\ny.exe\r\n", 1, 1, "before-first-section", nullptr},
        {"NUL byte", std::string("[Exec]\r\nx\0y\r\n", 12), 2, 2, "nul-byte", nullptr},
    });
}

TEST(LintStructure, ScriptOverTheLoadersSize)
{
    std::string strScript = "[Exec]\r\nx.exe\r\n";
    while (strScript.size() <= 262139)
        strScript += ";" + std::string(97, 'c') + "\r\n";
    UINT cErrors = 0;
    auto found = fnLint(strScript, &cErrors);
    ASSERT_FALSE(found.empty());
    /* the loader keeps 262,139 bytes: the finding stands where its text ends */
    size_t cchLine = 8 + 7;
    UINT uLine = 3 + (UINT)((262139 - cchLine) / 100), uCol = (UINT)((262139 - cchLine) % 100) + 1;
    EXPECT_EQ(found[0].strCode, "script-too-large");
    EXPECT_EQ(found[0].uLine, uLine);
    EXPECT_EQ(found[0].uCol, uCol);
    EXPECT_EQ(cErrors, 1u);
    /* exactly at the size, nothing is said */
    strScript.resize(262139);
    EXPECT_EQ(fnDescribe(fnLint(strScript)).find("script-too-large"), std::string::npos);
}

TEST(LintStructure, ScrambledScriptIsReadInPlainForm)
{
    std::string strPlain = "[Exec]\r\nx.exe\r\n[Filez]\r\n";
    std::string strScript = "@";
    strScript += (char)17;
    std::string strBody = strPlain;
    ASSERT_TRUE(fnShiftEnCrypt(&strBody[0], 17, (DWORD)strBody.size()));
    strScript += strBody;
    auto found = fnLint(strScript);
    ASSERT_EQ(found.size(), 2u) << fnDescribe(found);
    EXPECT_EQ(found[0].strCode, "scrambled");
    EXPECT_EQ(found[0].uLine, 0u);
    EXPECT_EQ(found[1].strCode, "unknown-section");
    EXPECT_EQ(found[1].uLine, 3u);
    EXPECT_EQ(found[1].strLine, "[Filez]");
}

TEST(LintLines, QuotesOptionsAndFunctions)
{
    fnCheckRows({
        {"open quote", "[Exec]\r\nx.exe,\"a b\r\n", 2, 7, "unclosed-quote", nullptr},
        {"open parenthesis", "[Exec]\r\nx.exe,(a,b\r\n", 2, 7, "unclosed-paren", nullptr},
        {"unknown option letter", "[Exec]\r\nx.exe @Yes\r\n", 2, 7, "option", "@Yes"},
        {"missing digit", "[Exec]\r\nx.exe,@A\r\n", 2, 7, "option", nullptr},
        {"unterminated variable", "[Exec]\r\nx.exe,@%PATH x\r\n", 2, 7, "option", nullptr},
        {"option in a quoted field", "[Exec]\r\nx.exe,\"a,@Yb\"\r\n", 2, 10, "option", nullptr},
        {"option in a function argument", "[Exec]\r\nx.exe,@_fnStrLen(@Y1)\r\n", 2, 18, "option", nullptr},
        {"function without )", "[Exec]\r\nx.exe,@_fnStrLen(abc\r\n", 2, 7, "function-unclosed", nullptr},
        {"too few arguments", "[Exec]\r\nx.exe,@_fnStrCmp(a)\r\n", 2, 7, "function-args", "2 arguments, 1 given"},
        {"too many arguments", "[Exec]\r\nx.exe,@_fnStrLen(a;b)\r\n", 2, 7, "function-args", "at most 1"},
        {"unknown function", "[Exec]\r\nx.exe,@_fnStrLn(a)\r\n", 2, 7, "function-unknown", "fnStrLen"},
        {"nested function", "[Exec]\r\nx.exe,@_fnStrLen(@_fnStrLen(x)\r\n", 2, 7, "function-nested", nullptr},
    });
    /* what the expander reads is no finding: escapes, doubled option characters, quoted commas */
    auto found = fnLint("[Exec]\r\nx.exe,@@Y @\\g \"@\\,\" @D11 @W47 @B14 @%TEMP% @_fnStrLen(\"a,b\") @_fnSum(1;2;3) @Z\r\n");
    EXPECT_TRUE(found.empty()) << fnDescribe(found);
}

TEST(LintKeys, EachReadersKeysAndFields)
{
    fnCheckRows({
        {"unknown key ends [Config]", "[Config]\r\nWinPause=1\r\nBeQueit=Y\r\nCaption=x\r\n", 3, 1, "unknown-key",
         "did you mean 'BeQuiet'?"},
        {"unknown key after a condition", "[Config]\r\n@V1=3,WinPaus=1\r\n", 2, 7, "unknown-key", "'WinPause'"},
        {"line without a key ends [Set]", "[Set]\r\nBeQuiet=Y\r\nhello\r\nCaption=x\r\n", 3, 1, "unknown-key",
         "no key"},
        {"lone Restart first", "[Config]\r\nRestart\r\nWinPause=1\r\n", 2, 1, "section-order", "put it last"},
        {"registry line without keyword", "[Registry]\r\n,HKEY_CURRENT_USER\\X\r\n", 2, 1, "missing-keyword",
         "[Registry]"},
        {"registry keyword misspelt", "[ReadRegistry]\r\nRaed=,HKEY_CURRENT_USER\\X\\Y\r\n", 2, 1, "unknown-key",
         "did you mean 'Read'?"},
        {"registry line without key path", "[Registry]\r\nEdit=SZ,,Name,Data\r\n", 2, 1, "missing-field", nullptr},
        {"version test line without key", "[VersionTest]\r\n4,LE\r\n", 2, 1, "missing-keyword", nullptr},
        {"check-for key unknown", "[CheckFor]\r\nFiles=a.exe\r\n", 2, 1, "unknown-key", "'File'"},
        {"ini edit without file", "[IniEdits]\r\n=,,Sec,Key,Value\r\n", 2, 1, "missing-field", nullptr},
        {"ini edit action letter", "[IniEdits]\r\n=,a.ini,Sec,Key,Value,Q,W\r\n", 2, 23, "flag-letter", "NSDRAI"},
        {"ini edit type letter", "[IniEdits]\r\n=,a.ini,Sec,Key,Value,N,Z\r\n", 2, 25, "flag-letter", nullptr},
        {"environment without name", "[SetEnvironment]\r\n=\r\n", 2, 1, "missing-field", nullptr},
        {"environment action", "[SetEnvironment]\r\n=,PATH,C:\\x,P\r\n", 2, 13, "flag-letter", "NRSDBE"},
        {"environment second letter", "[SetEnvironment]\r\n=,PATH,C:\\x,EX\r\n", 2, 14, "flag-letter", "ABET"},
        {"info page key misspelt", "[Info]\r\nLine=a\r\nLnie=b\r\nLine=c\r\n", 3, 1, "unknown-key",
         "did you mean 'Line'?"},
        {"signon line without a key", "[Signon]\r\nLine=a\r\nWelcome\r\n", 3, 1, "unknown-key", "no key"},
        {"install options key misspelt", "[Install Options]\r\nOpt2Mgs=b\r\n", 2, 1, "unknown-key", "'Opt2Msg'"},
    });
    /* what each reader takes is no finding: keys, conditions, lone words, tests that never hold */
    auto found = fnLint("[Config]\r\nWinPause=100\r\nSkipIfTrue:@V1=3\r\n@V1=3,BeQuiet=Y\r\nStayHome\r\n"
                        "[Set]\r\nCopyFile=a,b\r\nExitNow\r\n[Registry]\r\nEdit=SZ,HKEY_CURRENT_USER\\X,N,D\r\n"
                        "ExpandDelims=;\r\n[IniEdits]\r\nExpandDelims=;\r\nx=y\r\n=,a.ini,S,K,V,d,w\\\r\n"
                        "[SetEnvironment]\r\n=,PATH,C:\\x,eb\r\n[VersionTest]\r\nWinMajor=4,LE,old\r\n");
    EXPECT_TRUE(found.empty()) << fnDescribe(found);
}

TEST(LintKeys, InputLaunchAndFloatingSections)
{
    fnCheckRows({
        {"question key misspelt", "[AskFor]\r\n1=[Q]\r\n[Q]\r\nMesage=a\r\n", 4, 1, "unknown-key", "'Message'"},
        {"[InitOptions] key", "[InitOptions]\r\nButtonMsg1=a\r\nBtnMsg2=b\r\n", 3, 1, "unknown-key", "[InitOptions]"},
        {"[GetAllInstallInfo] reads a question", "[GetAllInstallInfo]\r\nPath2=x\r\nPaht3=y\r\n", 3, 1,
         "unknown-key", "'Path3'"},
        {"[AppInit] key", "[AppInit]\r\nCaption=a\r\nDestMsg3=x\r\n", 3, 1, "unknown-key", "'DestMsg1'"},
        {"[AppInit] value missing", "[AppInit]\r\nSpaceNeeded\r\n", 2, 1, "unknown-key", "no key"},
        {"[LaunchAndBack] keyword", "[LaunchAndBack]\r\nExec=a.exe\r\nWaitForExex=a\r\n", 3, 1, "unknown-key",
         "'WaitForExec'"},
        {"[LaunchAndBack] field missing", "[LaunchAndBack]\r\nRefresh=a.ini\r\n", 2, 1, "missing-field", "field 2"},
        {"[FloatInfo] key passed over", "[FloatInfo]\r\nCaptoin=a\r\nMessage=b\r\n", 2, 1, "unused-key",
         "'Caption'"},
        {"[FloatInfo] key without =", "[FloatInfo]\r\nMessage=b\r\nWait\r\n", 3, 1, "missing-field", nullptr},
        {"[WriteCmdFile] key", "[WriteCmdFile]\r\nWriteFile=a.cmd\r\nDestDri=C:\\x\r\n", 3, 1, "unknown-key",
         "'DestDir'"},
        {"[WriteCmdFile] line without key", "[WriteCmdFile]\r\nWriteFile=a.cmd\r\nC:\\x\r\n", 3, 1,
         "missing-keyword", nullptr},
    });
    auto found = fnLint("[AskFor]\r\n1=[Q]\r\n[Q]\r\n@V1=3,Caption=a\r\nMsg1=b\r\nList=x\r\n[AppInit]\r\nCaption=a\r\n"
                        "DirSection=[D]\r\n[LaunchAndBack]\r\nExec=a.exe,MIN,YS\r\nWaitForWindow=T,N,N,30\r\n"
                        "[FloatInfo]\r\nCaption=a\r\nsome words\r\n[D]\r\nsub\r\n");
    EXPECT_TRUE(found.empty()) << fnDescribe(found);
}

TEST(LintKeys, CopyAndMoveSections)
{
    fnCheckRows({
        {"header key misspelt", "[Files]\r\nTotalFile=3\r\n1,a,a,N,N,N\r\n", 2, 1, "unknown-key", "'TotalFiles'"},
        {"move header key", "[MoveFiles]\r\nBeQuite=Y\r\na.txt,b.txt\r\n", 2, 1, "unknown-key", "'BeQuiet'"},
        {"install mode letter", "[Files]\r\n1,a,a,X,N,N\r\n", 2, 7, "flag-letter", "install mode"},
        {"in-use letter after +", "[Files]\r\n1,a,a,+NQ,N,N\r\n", 2, 9, "flag-letter", "in-use"},
        {"copy mode letter", "[CopyFiles]\r\n1,a,a,N, Z,N\r\n", 2, 10, "flag-letter", "copy mode"},
        {"joined twice", "[Files]\r\n1,a,a,N,JJ1,N\r\n", 2, 10, "flag-letter", "joined"},
        {"join part without digit", "[Files]\r\n1,a,a,N,JNx,N\r\n", 2, 11, "flag-letter", "number"},
        {"backup letter after a test", "[Files]\r\n@V1=3,1,a,a,N,N,Q\r\n", 2, 17, "flag-letter", "backup"},
        {"flag field too long", "[Files]\r\n1,a,a,+SRCKK,N,N\r\n", 2, 12, "flag-too-long", "5 characters"},
        {"flag field missing", "[Files]\r\n1,a,a,N,N\r\n", 2, 1, "missing-field", "flag field 6"},
        {"source missing", "[Files]\r\n1,,a,N,N,N\r\n", 2, 3, "missing-field", "source file"},
        {"disk copy needs a destination", "[MakeDisks]\r\n1,a\r\n", 2, 1, "missing-field", "destination"},
        {"move source missing", "[MoveFiles]\r\na=a,\r\n", 2, 5, "missing-field", "source"},
        {"disks section missing", "[Files]\r\nDisksSection=MyDisks\r\n1,a,a,N,N,N\r\n", 2, 14, "missing-section",
         "[MyDisks]"},
        {"directories section missing", "[MakeDisks]\r\nDirsSection=[D]\r\n1,a,a\r\n", 2, 13, "missing-section",
         "[D]"},
        {"directory list without brackets", "[AppInit]\r\nDirSection=Dirs\r\n[Dirs]\r\nsub\r\n", 2, 12,
         "missing-section", "without its brackets"},
        {"directory list before [AppInit]", "[Dirs]\r\nsub\r\n[AppInit]\r\nDirSection=[Dirs]\r\n", 4, 12,
         "missing-section", "after it"},
    });
    /* what the readers take: named and default sections are read, letters of every table, a disk line's fields */
    auto found = fnLint("[Files]\r\nTotalFiles=2\r\nDisksSection=MyDisks\r\nDirsSection=[Dirs]\r\n"
                        "1,a,a,+vck,j?1,b\r\n1,a,a,TRK,JW0,U,Text\r\na=b,1,a,a,X,X,X\r\n[MyDisks]\r\n1=Disk one\r\n"
                        "[Dirs]\r\nsub\r\n[CopyFiles]\r\n1,a,a,,,\r\n[Disks]\r\n1=Label\r\n[CopyConfig]\r\nFilesToCopy=3\r\n"
                        "[MakeDisks]\r\n1,a,a,+Desc,Y,100\r\n[MoveFiles]\r\nExpandDelims=;\r\na.txt,b.txt,X\r\n");
    EXPECT_TRUE(found.empty()) << fnDescribe(found);
}

/* The script parts of a case file: every "%% file" whose name is a script, shaped as the runner writes it. */
struct CaseScriptStruct {
    std::string strName, strText;
};

std::vector<CaseScriptStruct> fnCaseScripts(const std::string &strPath)
{
    std::ifstream in(strPath, std::ios::binary);
    std::vector<CaseScriptStruct> scripts;
    std::vector<std::pair<std::string, std::string>> vars;
    std::string strLine;
    CaseScriptStruct *lpCur = nullptr;
    bool bLf = false, bNoEol = false;
    size_t cbSize = 0;
    auto fnFinish = [&]() {
        if (!lpCur)
            return;
        std::string &str = lpCur->strText;
        if (bNoEol && !str.empty())
            str.resize(str.size() - (bLf ? 1 : 2));
        while (cbSize > str.size()) {
            size_t cbLeft = cbSize - str.size();
            str += cbLeft <= 80 ? std::string(cbLeft, ';') : std::string(78, ';') + "\r\n";
        }
        lpCur = nullptr;
    };
    while (std::getline(in, strLine)) {
        if (!strLine.empty() && strLine.back() == '\r')
            strLine.pop_back();
        if (strLine.compare(0, 2, "%%") == 0) {
            fnFinish();
            std::istringstream words(strLine.substr(2));
            std::string strWord, strName;
            words >> strWord;
            if (strWord == "let") {
                std::string strRest;
                words >> strName;
                std::getline(words, strRest);
                size_t nOpen = strRest.find('"'), nClose = strRest.rfind('"');
                std::string strValue = strRest.substr(nOpen + 1, nClose - nOpen - 1);
                int nTimes = 1;
                size_t nAt = strRest.find("times ");
                if (nAt != std::string::npos && nAt > nClose)
                    nTimes = atoi(strRest.c_str() + nAt + 6);
                std::string strAll;
                for (int n = 0; n < nTimes; n++) {
                    std::string s = strValue;
                    for (size_t p; (p = s.find("{n}")) != std::string::npos;)
                        s.replace(p, 3, std::to_string(n));
                    strAll += s;
                }
                vars.push_back({"%" + strName + "%", strAll});
            } else if (strWord == "file") {
                words >> strName;
                std::string strUpper = strName;
                for (auto &c : strUpper)
                    c = (char)toupper((unsigned char)c);
                bool bScript = strUpper.size() > 4 && (strUpper.compare(strUpper.size() - 4, 4, ".INF") == 0 ||
                                                       strUpper.compare(strUpper.size() - 4, 4, ".BNF") == 0 ||
                                                       strUpper.compare(strUpper.size() - 4, 4, ".RNF") == 0);
                bLf = bNoEol = false;
                cbSize = 0;
                for (std::string strOpt; words >> strOpt;) {
                    bLf = bLf || strOpt == "lf";
                    bNoEol = bNoEol || strOpt == "noeol";
                    if (strOpt.compare(0, 5, "size=") == 0)
                        cbSize = (size_t)atol(strOpt.c_str() + 5);
                }
                if (bScript) {
                    scripts.push_back({strName, ""});
                    lpCur = &scripts.back();
                }
            }
            continue;
        }
        if (lpCur) {
            for (const auto &v : vars) {
                for (size_t p = 0; (p = strLine.find(v.first, p)) != std::string::npos; p += v.second.size())
                    strLine.replace(p, v.first.size(), v.second);
            }
            lpCur->strText += strLine + (bLf ? "\n" : "\r\n");
        }
    }
    fnFinish();
    return scripts;
}

std::vector<std::string> fnFilesIn(const std::string &strDir, const char *lpszExt)
{
    std::vector<std::string> files;
    DIR *lpDir = opendir(strDir.c_str());
    if (!lpDir)
        return files;
    while (dirent *lpEntry = readdir(lpDir)) {
        std::string strName = lpEntry->d_name;
        if (strName.size() > strlen(lpszExt) && strName.compare(strName.size() - strlen(lpszExt), strlen(lpszExt), lpszExt) == 0)
            files.push_back(strDir + "/" + strName);
    }
    closedir(lpDir);
    return files;
}

std::string fnReadFile(const std::string &strPath)
{
    std::ifstream in(strPath, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

/*
 * Cases that run a faulty script on purpose, with the classes of error each
 * shows: "case file:script name" and the findings' codes.
 */
const std::vector<std::pair<std::string, std::string>> s_aExpectedFaults = {
    {"header_with_text.case:TEST.INF", "header-text"},
    {"load_oversize_refused.case:TEST.INF", "script-too-large unknown-key"},
    {"config_ini_edits.case:TEST.INF", "missing-field"},
    /* these mark a section with a line its reader does not know ("a=b"): the case looks for the
       debug-log entry of that line */
    {"closing_message.case:TEST.INF", "unknown-key"},
    {"cmdfile_clears_destination.case:RUN.INF", "unknown-key"},
    {"cmdfile_written_then_read.case:FIRST.INF", "unknown-key"},
    {"cmdfile_written_then_read.case:SECOND.INF", "unknown-key"},
    {"debug_file_level3.case:TEST.INF", "unknown-key"},
    {"debug_off.case:TEST.INF", "unknown-key"},
    {"end_stops_walk.case:TEST.INF", "unknown-key"},
    {"load_backup_numbers.case:TEST.INF", "unknown-key"},
    {"load_default_names.case:SETUP_0.INF", "unknown-key"},
    {"load_default_tallgrid_first.case:TALLGRID.INF", "unknown-key"},
    {"load_scramble_on_disk.case:TEST.INF", "unknown-key"},
    {"load_size_limit.case:TEST.INF", "unknown-key"},
    {"load_start_line_header.case:TEST.INF", "unknown-key"},
    {"load_unscramble_on_disk.case:TEST.INF", "unknown-key"},
    {"missing_script.case:SETUP.INF", "unknown-key"},
    {"plain_argument_order.case:A.INF", "unknown-key"},
    {"sections_in_order.case:TEST.INF", "unknown-key"},
    {"usage_text.case:TALLGRID.INF", "unknown-key"},
};

TEST(LintScripts, ExamplesAndCasesCheckClean)
{
    /* the source tree holds this file as src/lint/tests/lint_test.cpp */
    std::string strSource = __FILE__;
    strSource.resize(strSource.rfind("/src/lint/tests/"));
    std::vector<std::pair<std::string, std::string>> scripts;
    for (const auto &strFile : fnFilesIn(strSource + "/examples", ".inf"))
        scripts.push_back({strFile.substr(strFile.rfind('/') + 1), fnReadFile(strFile)});
    auto cases = fnFilesIn(strSource + "/tests/e2e/cases", ".case");
    ASSERT_GT(cases.size(), 10u);
    for (const auto &strCase : cases) {
        for (const auto &s : fnCaseScripts(strCase))
            scripts.push_back({strCase.substr(strCase.rfind('/') + 1) + ":" + s.strName, s.strText});
    }
    for (const auto &s : scripts) {
        SCOPED_TRACE(s.first);
        auto found = fnLint(s.second, nullptr, s.first.c_str());
        std::string strExpected;
        for (const auto &f : s_aExpectedFaults) {
            if (f.first == s.first)
                strExpected = f.second;
        }
        UINT cExpected = 0, cOther = 0;
        for (const auto &f : found) {
            if (f.nSeverity == LINT_ERROR)
                (((" " + strExpected + " ").find(" " + f.strCode + " ") != std::string::npos) ? cExpected : cOther)++;
        }
        EXPECT_EQ(cOther, 0u) << fnDescribe(found);
        EXPECT_EQ(cExpected > 0, !strExpected.empty()) << fnDescribe(found);
    }
}
