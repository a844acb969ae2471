/*
 * tests/e2e/e2erun.cpp -- the end-to-end runner: writes a case's files into a
 * fresh case folder, starts setup32.exe on them, answers its windows the way a
 * person would (find the window by caption or text, fill controls, press a
 * button), waits with a time-out, then checks the exit code, files, registry
 * and logs. Any dialog or message box that no rule of the case expects fails
 * the case.
 *
 *   e2erun.exe CASEFILE SETUP32.EXE
 *
 * A case file is text; lines starting with "%%" are directives, every other
 * line belongs to the file being written:
 *   %% file NAME [lf] [noeol] [size=N]
 *                               start a file in the case folder, its folders made (CR LF line ends unless "lf";
 *                               "noeol": no line end after the last line; "size=N": padded
 *                               with comment lines to exactly N bytes)
 *   %% copy-program NAME        copy setup32.exe into the case folder as NAME and run that
 *   %% pack NAME SCRIPT [scramble] [unchecked]
 *                               write %CASE%\NAME: setup32.exe, the marker line and the case
 *                               file SCRIPT (scrambled when asked; "unchecked" appends it even
 *                               when the packer would refuse it), and run that program
 *   %% run ARGS...              arguments for the program; several runs go one after another
 *   %% timeout SECONDS          default 30
 *   %% regclean KEY             delete registry key KEY (HKCU\..., HKLM\..., HKCR\...) with all it
 *                               holds before the first run (the Wine prefix outlives a case)
 *   %% answer "TEXT" [STEP]... press "BUTTON"
 *                               when a dialog whose caption or text holds TEXT appears, take the
 *                               steps in the order written, then press the button (matched without
 *                               '&'; a disabled or hidden button fails the case). Steps:
 *                                 set ID "VALUE"      put the text into control ID
 *                                 check ID | uncheck ID   click the box when its state differs
 *                                 select ID "ITEM"    choose the line ITEM (case ignored) of a list
 *                                                     or combo box, as a click would
 *                                 expect-text ID "T"  control ID holds exactly T
 *                                 expect-enabled ID | expect-disabled ID | expect-hidden ID
 *                                 expect-checked ID | expect-unchecked ID
 *                                 shot NAME           when TG_SHOT_DIR is set, the dialog as the screen
 *                                                     shows it, into TG_SHOT_DIR\NAME.png
 *   %% answer "TEXT" close      close the shell folder window whose caption holds TEXT (a shortcut
 *                               section opens one; its explorer.exe would never end by itself), or
 *                               the dialog whose caption or text holds TEXT with its close box
 *   %% answer "TEXT" again ...  the rule may answer a dialog already answered once it is usable
 *                               again (a box it showed was answered; a refused OK left it open)
 *   %% answer "TEXT" [expect ID "VALUE"]... press "BUTTON"|none
 *                               before any other step, control ID must hold exactly VALUE (else the
 *                               case fails); "press none" leaves the window as it is (a floating
 *                               window that stays while the run goes on counts as expected)
 *   %% answer "TEXT" swap DIR press "BUTTON"
 *                               before pressing, move everything on the removable drive R: into
 *                               %CASE%\DIR, as if the disk in it were changed
 *   %% expect exit N
 *   %% expect file PATH | nofile PATH
 *   %% expect contains PATH "TEXT" | notcontains PATH "TEXT"
 *   %% expect order PATH "TEXT1" "TEXT2" ...   the texts stand in the file in this order
 *   %% expect reg KEY NAME "DATA" | noreg KEY NAME
 *   %% expect windows N          at least N dialogs were answered
 *   %% expect text PATH "EXACT" | attrib PATH RHS | nomatch PATTERN
 *                               exact bytes; exactly these of the read-only, hidden and system
 *                               attributes; no file matches the wildcard pattern
 *   %% expect regtype KEY NAME TYPE ["DATA"]   the value has this type (SZ, EXPAND_SZ, ...) and raw text
 *   %% expect settingchange N    N notices of environment changes reached a window of the runner
 *                               (only such a case gives the runner a window: a case that ends the
 *                               Windows session must not see the runner ended with it)
 *   %% start NAME ARGS...        copy tgholder.exe (beside the program) to %CASE%\NAME and start it with
 *                               ARGS before the runs, outside the run's job; ended after the checks
 *   %% expect running NAME | notrunning NAME   a program of "%% start" still runs, or has ended
 *   %% expect lnk PATH FIELD "V" a shell link's target|args|workdir|icon|index|hotkey|show|desc
 *                               (numbers in decimal; show read from the link file's header)
 *   %% let NAME "TEXT" [times N] %NAME% stands for TEXT (N copies, "{n}" numbering each) in what follows
 *   %% setreg KEY NAME SZ|EXPAND_SZ "DATA"   stage a registry value; its old state comes back after the case
 *   %% remove PATH...           delete files outside the case folder before the runs and after the checks
 *   %% attrib NAME RHS          give a case file attributes (R read-only, H hidden, S system)
 *   %% lock NAME                hold a case file open (others may only read it) while the program runs
 *   %% service NAME             install a demand-start service NAME running tgsvc.exe (beside the program;
 *                               it logs to %CASE%\NAME.log) before the runs; stopped and deleted afterwards
 * A "%% file" name with a drive (C:\AUTOEXEC.BAT) is written there rather than in the case folder.
 * The copy progress dialog (it holds the progress meter) is passed over unless an answer matches it.
 * In paths, arguments, texts and file contents %CASE% is the case folder, %DEBUGLOG% its
 * debug file and %BIN% the folder of the program under test (tgholder.exe beside it); "\r\n"
 * and "\n" in quoted texts (not in file contents) stand for line ends and \" for a double quote.
 */
#include <windows.h>

#include <objbase.h>
#include <shlobj.h>
#include <tlhelp32.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "driver/appended.h"

struct CaseFileStruct {
    std::string strName;
    std::string strText;
    bool bLf;
    bool bNoEol;
    size_t cbSize;  /* 0: as written */
};

struct PackStruct {
    std::string strName;
    std::string strScript;
    bool bScramble;
    bool bUnchecked;
};

/* One step of an answer: its verb, the control and the text it takes. */
struct StepStruct {
    std::string strVerb;
    int nId;
    std::string strText;
};

struct AnswerStruct {
    std::string strMatch;
    std::vector<StepStruct> steps;
    std::string strButton;
    bool bClose;
    bool bAgain;
    bool bUsed;
    std::string strSwap;  /* folder of the case that takes R:'s contents before the button is pressed */
};

/* A registry value a case stages, and what it held before. */
struct StagedRegStruct {
    std::string strKey, strName, strType, strData;
    bool bHad;
    DWORD dwOldType;
    std::vector<BYTE> oldData;
};

struct CaseStruct {
    std::vector<StagedRegStruct> regs;
    std::vector<std::pair<std::string, std::string>> attribs;
    std::vector<std::string> locks, removes;
    std::vector<CaseFileStruct> files;
    std::vector<AnswerStruct> answers;
    std::vector<std::vector<std::string>> expects;
    std::vector<std::string> runs;
    std::string strProgram;  /* in the case folder; empty: setup32.exe where it was built */
    std::vector<PackStruct> packs;
    DWORD dwTimeoutMs = 30000;
    std::vector<std::string> regcleans;
    std::vector<std::string> services;
    std::vector<std::pair<std::string, std::string>> starts;  /* "%% start": name, arguments */
};

/* A program "%% start" started, by its name in the case folder. */
struct StartedStruct {
    std::string strName;
    HANDLE hProcess;
};
static std::vector<StartedStruct> s_started;

static std::string s_strCaseDir;
static std::string s_strBinDir;  /* the folder of the program under test and the helper programs */
static int s_nFailures;
static int s_nAnswered;
static DWORD s_dwLastAnswer;  /* when the runner last answered a window */
static std::vector<std::pair<std::string, std::string>> s_vars;  /* "%% let" texts */
static LONG s_nSettingChanges;

static void fnFail(const char *lpszFormat, const std::string &a, const std::string &b = "")
{
    printf("FAIL: ");
    printf(lpszFormat, a.c_str(), b.c_str());
    printf("\n");
    s_nFailures++;
}

/* %CASE% and %DEBUGLOG% replaced; used on file contents, where backslashes are text. */
static std::string fnSubstVars(std::string str)
{
    const struct {
        const char *lpszKey;
        std::string strValue;
    } vars[] = {{"%CASE%", s_strCaseDir}, {"%DEBUGLOG%", s_strCaseDir + "\\TG7k9Dbg.LOG"}, {"%BIN%", s_strBinDir}};
    for (const auto &v : vars) {
        size_t nPos;
        while ((nPos = str.find(v.lpszKey)) != std::string::npos)
            str.replace(nPos, strlen(v.lpszKey), v.strValue);
    }
    for (const auto &v : s_vars) {
        for (size_t nPos = 0; (nPos = str.find(v.first, nPos)) != std::string::npos; nPos += v.second.size())
            str.replace(nPos, v.first.size(), v.second);
    }
    return str;
}

static std::string fnSubst(const std::string &strIn)
{
    /* escapes first, so a folder like "C:\\users\\root" keeps its backslashes */
    std::string str;
    for (size_t i = 0; i < strIn.size(); i++) {
        if (strIn[i] == '\\' && i + 1 < strIn.size() && (strIn[i + 1] == 'n' || strIn[i + 1] == 'r')) {
            str += (strIn[i + 1] == 'n') ? '\n' : '\r';
            i++;
        } else {
            str += strIn[i];
        }
    }
    return fnSubstVars(str);
}

/* Splits a directive into words; "quoted words" keep their blanks. */
static std::vector<std::string> fnWords(const std::string &str)
{
    std::vector<std::string> words;
    size_t i = 0;
    while (i < str.size()) {
        while (i < str.size() && (str[i] == ' ' || str[i] == '\t'))
            i++;
        if (i >= str.size())
            break;
        std::string w;
        if (str[i] == '"') {
            i++;
            while (i < str.size() && str[i] != '"') {
                /* \" stands for a double quote inside a quoted word */
                if (str[i] == '\\' && i + 1 < str.size() && str[i + 1] == '"')
                    i++;
                w += str[i++];
            }
            i++;
        } else {
            while (i < str.size() && str[i] != ' ' && str[i] != '\t')
                w += str[i++];
        }
        words.push_back(w);
    }
    return words;
}

static bool fnReadCase(const char *lpszPath, CaseStruct *lpCase)
{
    FILE *fp = fopen(lpszPath, "rb");
    if (!fp)
        return false;
    std::string strAll;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), fp)) > 0)
        strAll.append(buf, n);
    fclose(fp);

    CaseFileStruct *lpFile = NULL;
    size_t nPos = 0;
    while (nPos < strAll.size()) {
        size_t nEnd = strAll.find('\n', nPos);
        std::string line = strAll.substr(nPos, nEnd == std::string::npos ? std::string::npos : nEnd - nPos);
        nPos = (nEnd == std::string::npos) ? strAll.size() : nEnd + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.compare(0, 2, "%%") != 0) {
            if (lpFile) {
                lpFile->strText += line;
                lpFile->strText += lpFile->bLf ? "\n" : "\r\n";
            }
            continue;
        }
        std::vector<std::string> w = fnWords(line.substr(2));
        lpFile = NULL;
        if (w.empty() || w[0] == "#" || w[0] == "name")
            continue;
        if (w[0] == "file" && w.size() >= 2) {
            CaseFileStruct f = {w[1], "", false, false, 0};
            for (size_t i = 2; i < w.size(); i++) {
                if (w[i] == "lf")
                    f.bLf = true;
                else if (w[i] == "noeol")
                    f.bNoEol = true;
                else if (w[i].compare(0, 5, "size=") == 0)
                    f.cbSize = (size_t)atol(w[i].c_str() + 5);
            }
            lpCase->files.push_back(f);
            lpFile = &lpCase->files.back();
        } else if (w[0] == "copy-program" && w.size() >= 2) {
            lpCase->strProgram = w[1];
        } else if (w[0] == "pack" && w.size() >= 3) {
            PackStruct pk = {w[1], w[2], false, false};
            for (size_t i = 3; i < w.size(); i++) {
                pk.bScramble = pk.bScramble || w[i] == "scramble";
                pk.bUnchecked = pk.bUnchecked || w[i] == "unchecked";
            }
            lpCase->packs.push_back(pk);
            lpCase->strProgram = w[1];
        } else if (w[0] == "run") {
            size_t nAt = line.find("run");
            lpCase->runs.push_back(line.substr(nAt + 3));
        } else if (w[0] == "regclean" && w.size() >= 2) {
            lpCase->regcleans.push_back(w[1]);
        } else if (w[0] == "service" && w.size() >= 2) {
            lpCase->services.push_back(w[1]);
        } else if (w[0] == "timeout" && w.size() >= 2) {
            lpCase->dwTimeoutMs = (DWORD)atoi(w[1].c_str()) * 1000;
        } else if (w[0] == "answer" && w.size() >= 2) {
            AnswerStruct a;
            a.strMatch = w[1];
            a.bClose = false;
            a.bAgain = false;
            a.bUsed = false;
            size_t nExpects = 0;
            for (size_t i = 2; i < w.size(); i++) {
                if ((w[i] == "set" || w[i] == "select" || w[i] == "expect-text") && i + 2 < w.size()) {
                    a.steps.push_back({w[i], atoi(w[i + 1].c_str()), w[i + 2]});
                    i += 2;
                } else if (w[i] == "expect" && i + 2 < w.size()) {
                    /* checked before the other steps, in the order written */
                    a.steps.insert(a.steps.begin() + nExpects++, {"expect-text", atoi(w[i + 1].c_str()), w[i + 2]});
                    i += 2;
                } else if (w[i] == "shot" && i + 1 < w.size()) {
                    a.steps.push_back({w[i], 0, w[i + 1]});
                    i += 1;
                } else if ((w[i] == "check" || w[i] == "uncheck" || w[i].compare(0, 7, "expect-") == 0) &&
                           i + 1 < w.size()) {
                    a.steps.push_back({w[i], atoi(w[i + 1].c_str()), ""});
                    i += 1;
                } else if (w[i] == "press" && i + 1 < w.size()) {
                    a.strButton = w[++i];
                } else if (w[i] == "close") {
                    a.bClose = true;
                } else if (w[i] == "swap" && i + 1 < w.size()) {
                    a.strSwap = w[++i];
                } else if (w[i] == "again") {
                    a.bAgain = true;
                }
            }
            lpCase->answers.push_back(a);
        } else if (w[0] == "let" && w.size() >= 3) {
            int nTimes = (w.size() >= 5 && w[3] == "times") ? atoi(w[4].c_str()) : 1;
            std::string strValue;
            for (int n = 0; n < nTimes; n++) {
                std::string strCopy = w[2];
                size_t nPos;
                while ((nPos = strCopy.find("{n}")) != std::string::npos)
                    strCopy.replace(nPos, 3, std::to_string(n));
                strValue += strCopy;
            }
            s_vars.push_back({"%" + w[1] + "%", strValue});
        } else if (w[0] == "setreg" && w.size() >= 5) {
            lpCase->regs.push_back({w[1], w[2], w[3], w[4], false, 0, {}});
        } else if (w[0] == "remove") {
            lpCase->removes.insert(lpCase->removes.end(), w.begin() + 1, w.end());
        } else if (w[0] == "attrib" && w.size() >= 3) {
            lpCase->attribs.push_back({w[1], w[2]});
        } else if (w[0] == "start" && w.size() >= 2) {
            size_t nAt = line.find(w[1], line.find("start") + 5);
            lpCase->starts.push_back({w[1], line.substr(nAt + w[1].size())});
        } else if (w[0] == "lock" && w.size() >= 2) {
            lpCase->locks.push_back(w[1]);
        } else if (w[0] == "expect" && w.size() >= 2) {
            lpCase->expects.push_back(std::vector<std::string>(w.begin() + 1, w.end()));
        } else {
            printf("bad directive: %s\n", line.c_str());
            return false;
        }
    }
    return true;
}

/* Moves the contents of folder strFrom into strTo (made when missing), folder by folder. */
static void fnMoveContents(const std::string &strFrom, const std::string &strTo)
{
    CreateDirectoryA(strTo.c_str(), NULL);
    WIN32_FIND_DATAA fd;
    HANDLE hFind = FindFirstFileA((strFrom + "\\*").c_str(), &fd);
    if (hFind == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string strName = fd.cFileName;
        if (strName == "." || strName == "..")
            continue;
        std::string strSrc = strFrom + "\\" + strName, strDst = strTo + "\\" + strName;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            fnMoveContents(strSrc, strDst);
            RemoveDirectoryA(strSrc.c_str());
        } else {
            SetFileAttributesA(strSrc.c_str(), FILE_ATTRIBUTE_NORMAL);
            MoveFileExA(strSrc.c_str(), strDst.c_str(), MOVEFILE_COPY_ALLOWED | MOVEFILE_REPLACE_EXISTING);
        }
    } while (FindNextFileA(hFind, &fd));
    FindClose(hFind);
}

static BOOL CALLBACK fnFindMeterProc(HWND hWnd, LPARAM lParam)
{
    char szClass[64] = "";
    GetClassNameA(hWnd, szClass, sizeof(szClass));
    if (lstrcmpiA(szClass, "ProgressMeterTG7K9") != 0)
        return TRUE;
    *(bool *)lParam = true;
    return FALSE;
}

/* TRUE for the copy progress dialog: it holds the progress meter (class names read across processes). */
static bool fnIsProgressDialog(HWND hWnd)
{
    bool bFound = false;
    EnumChildWindows(hWnd, fnFindMeterProc, (LPARAM)&bFound);
    return bFound;
}

static std::string fnWindowText(HWND hWnd)
{
    char sz[2048];
    sz[0] = '\0';
    GetWindowTextA(hWnd, sz, sizeof(sz));
    return sz;
}

static std::string fnNoAmp(const std::string &str)
{
    std::string out;
    for (char c : str)
        if (c != '&')
            out += c;
    return out;
}

struct FindButtonStruct {
    std::string strText;
    HWND hButton;
};

static BOOL CALLBACK fnFindButtonProc(HWND hWnd, LPARAM lParam)
{
    FindButtonStruct *lpFind = (FindButtonStruct *)lParam;
    char szClass[32];
    GetClassNameA(hWnd, szClass, sizeof(szClass));
    if (lstrcmpiA(szClass, "Button") == 0 && _stricmp(fnNoAmp(fnWindowText(hWnd)).c_str(), fnNoAmp(lpFind->strText).c_str()) == 0) {
        lpFind->hButton = hWnd;
        return FALSE;
    }
    return TRUE;
}

static BOOL CALLBACK fnCollectTextProc(HWND hWnd, LPARAM lParam)
{
    std::string *lpstr = (std::string *)lParam;
    /* GetWindowText does not read an edit control of another process; the message does */
    char sz[2048] = "";
    DWORD_PTR dwResult = 0;
    SendMessageTimeoutA(hWnd, WM_GETTEXT, sizeof(sz), (LPARAM)sz, SMTO_ABORTIFHUNG, 1000, &dwResult);
    *lpstr += sz;
    *lpstr += "\n";
    return TRUE;
}

/* CRC-32 of PNG chunks. */
static DWORD fnCrc32(DWORD dwCrc, const BYTE *lpb, size_t cb)
{
    dwCrc = ~dwCrc;
    for (size_t i = 0; i < cb; i++) {
        dwCrc ^= lpb[i];
        for (int k = 0; k < 8; k++)
            dwCrc = (dwCrc >> 1) ^ (0xEDB88320u & (0u - (dwCrc & 1)));
    }
    return ~dwCrc;
}

static void fnPutBE32(std::string *lpstr, DWORD dw)
{
    for (int i = 3; i >= 0; i--)
        lpstr->push_back((char)((dw >> (i * 8)) & 0xFF));
}

static void fnPngChunk(std::string *lpPng, const char *lpszType, const std::string &strData)
{
    fnPutBE32(lpPng, (DWORD)strData.size());
    std::string strBody = std::string(lpszType, 4) + strData;
    lpPng->append(strBody);
    fnPutBE32(lpPng, fnCrc32(0, (const BYTE *)strBody.data(), strBody.size()));
}

/* The window's client area as the screen shows it (child controls included), as an uncompressed PNG. */
static bool fnShotWindow(HWND hWnd, const std::string &strPath)
{
    /* the client area: without a window manager the frame is never painted */
    RECT rc;
    GetClientRect(hWnd, &rc);
    MapWindowPoints(hWnd, NULL, (POINT *)&rc, 2);
    int cx = rc.right - rc.left, cy = rc.bottom - rc.top;
    if (cx <= 0 || cy <= 0)
        return false;
    HDC hdcScreen = GetDC(NULL);
    HDC hdcMem = CreateCompatibleDC(hdcScreen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = cx;
    bi.bmiHeader.biHeight = -cy;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void *lpBits = NULL;
    HBITMAP hbm = CreateDIBSection(hdcScreen, &bi, DIB_RGB_COLORS, &lpBits, NULL, 0);
    HGDIOBJ hOld = SelectObject(hdcMem, hbm);
    BitBlt(hdcMem, 0, 0, cx, cy, hdcScreen, rc.left, rc.top, SRCCOPY);
    GdiFlush();
    /* rows of filter byte 0 and RGB, in stored deflate blocks */
    std::string strRaw;
    const BYTE *lpb = (const BYTE *)lpBits;
    for (int y = 0; y < cy; y++) {
        strRaw.push_back(0);
        for (int x = 0; x < cx; x++) {
            const BYTE *p = lpb + ((size_t)y * cx + x) * 4;
            strRaw.push_back((char)p[2]);
            strRaw.push_back((char)p[1]);
            strRaw.push_back((char)p[0]);
        }
    }
    SelectObject(hdcMem, hOld);
    DeleteObject(hbm);
    DeleteDC(hdcMem);
    ReleaseDC(NULL, hdcScreen);
    std::string strZ = "\x78\x01";
    for (size_t nPos = 0; nPos < strRaw.size() || nPos == 0;) {
        size_t cb = strRaw.size() - nPos < 65535 ? strRaw.size() - nPos : 65535;
        strZ.push_back(nPos + cb >= strRaw.size() ? 1 : 0);
        strZ.push_back((char)(cb & 0xFF));
        strZ.push_back((char)(cb >> 8));
        strZ.push_back((char)(~cb & 0xFF));
        strZ.push_back((char)((~cb >> 8) & 0xFF));
        strZ.append(strRaw, nPos, cb);
        nPos += cb;
        if (cb == 0)
            break;
    }
    DWORD a = 1, b = 0;
    for (unsigned char c : strRaw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    fnPutBE32(&strZ, (b << 16) | a);
    std::string strPng = "\x89PNG\r\n\x1a\n", strHdr;
    fnPutBE32(&strHdr, (DWORD)cx);
    fnPutBE32(&strHdr, (DWORD)cy);
    strHdr += std::string("\x08\x02\x00\x00\x00", 5);
    fnPngChunk(&strPng, "IHDR", strHdr);
    fnPngChunk(&strPng, "IDAT", strZ);
    fnPngChunk(&strPng, "IEND", "");
    FILE *fp = fopen(strPath.c_str(), "wb");
    if (!fp)
        return false;
    fwrite(strPng.data(), 1, strPng.size(), fp);
    fclose(fp);
    return true;
}

/* One step of an answer on the dialog hWnd; a step that does not hold fails the case. */
static void fnTakeStep(HWND hWnd, const StepStruct &step, const std::string &strCaption)
{
    if (step.strVerb == "shot") {
        const char *lpszDir = getenv("TG_SHOT_DIR");
        if (lpszDir && *lpszDir) {
            /* let the dialog finish painting before the screen is read */
            RedrawWindow(hWnd, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            Sleep(200);
            std::string strPath = std::string(lpszDir) + "\\" + step.strText + ".png";
            if (!fnShotWindow(hWnd, strPath))
                printf("cannot write %s\n", strPath.c_str());
            else
                printf("shot %s\n", strPath.c_str());
        }
        return;
    }
    HWND hItem = GetDlgItem(hWnd, step.nId);
    std::string strWhere = strCaption + "\", control " + std::to_string(step.nId);
    const std::string &v = step.strVerb;
    if (v == "expect-hidden") {
        if (hItem && IsWindowVisible(hItem))
            fnFail("%s is shown in \"%s", v, strWhere);
        return;
    }
    if (!hItem) {
        fnFail("%s: no such control in \"%s", v, strWhere);
        return;
    }
    std::string strText = fnSubst(step.strText);
    /* another process's control: its text comes through the message, not GetWindowText */
    char szItemText[4096] = "";
    DWORD_PTR dwResult = 0;
    SendMessageTimeoutA(hItem, WM_GETTEXT, sizeof(szItemText), (LPARAM)szItemText, SMTO_ABORTIFHUNG, 5000, &dwResult);
    char szClass[32];
    GetClassNameA(hItem, szClass, sizeof(szClass));
    if (v == "set") {
        SetDlgItemTextA(hWnd, step.nId, strText.c_str());
    } else if (v == "check" || v == "uncheck") {
        bool bWant = v == "check";
        if ((SendMessageA(hItem, BM_GETCHECK, 0, 0) == BST_CHECKED) != bWant)
            SendMessageA(hItem, BM_CLICK, 0, 0);
    } else if (v == "select") {
        /* as a click does: the line is chosen and the dialog hears of the change */
        bool bList = lstrcmpiA(szClass, "ListBox") == 0;
        LRESULT n = SendMessageA(hItem, bList ? LB_FINDSTRINGEXACT : CB_FINDSTRINGEXACT, (WPARAM)-1,
                                 (LPARAM)strText.c_str());
        if (n < 0) {
            fnFail("no line \"%s\" in \"%s", strText, strWhere);
            return;
        }
        SendMessageA(hItem, bList ? LB_SETCURSEL : CB_SETCURSEL, (WPARAM)n, 0);
        SendMessageA(hWnd, WM_COMMAND, MAKEWPARAM(step.nId, bList ? LBN_SELCHANGE : CBN_SELCHANGE), (LPARAM)hItem);
    } else if (v == "expect-text") {
        if (szItemText != strText)
            fnFail("text \"%s\" in \"%s", szItemText, strWhere + " (expected \"" + strText + "\")");
    } else if (v == "expect-enabled" || v == "expect-disabled") {
        if ((IsWindowEnabled(hItem) != FALSE) != (v == "expect-enabled"))
            fnFail("%s does not hold in \"%s", v, strWhere);
    } else if (v == "expect-checked" || v == "expect-unchecked") {
        if ((SendMessageA(hItem, BM_GETCHECK, 0, 0) == BST_CHECKED) != (v == "expect-checked"))
            fnFail("%s does not hold in \"%s", v, strWhere);
    } else {
        fnFail("unknown step %s in \"%s", v, strWhere);
    }
}

struct ScanStruct {
    std::vector<DWORD> pids;
    CaseStruct *lpCase;
    std::vector<HWND> *lpSeen;
    bool bUnexpected;
};

/*
 * Wine starts its service processes (rpcss.exe for COM, services.exe and the
 * services it runs) on demand as children of the first program that needs
 * them; they outlive the run and are none of its processes.
 */
static std::string fnProcessName(DWORD dwPid)
{
    std::string strName;
    HANDLE hSnap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (hSnap == INVALID_HANDLE_VALUE)
        return strName;
    PROCESSENTRY32 pe;
    pe.dwSize = sizeof(pe);
    for (BOOL b = Process32First(hSnap, &pe); b; b = Process32Next(hSnap, &pe)) {
        if (pe.th32ProcessID == dwPid) {
            strName = pe.szExeFile;
            break;
        }
    }
    CloseHandle(hSnap);
    return strName;
}

static bool fnIsServiceProcess(DWORD dwPid)
{
    static const char *const s_names[] = {"rpcss.exe", "services.exe", "svchost.exe", "winedevice.exe",
                                          "plugplay.exe"};
    std::string strName = fnProcessName(dwPid);
    for (const char *lpsz : s_names)
        if (_stricmp(strName.c_str(), lpsz) == 0)
            return true;
    return false;
}

/*
 * The processes of the run that are still alive: the job's list when the
 * system keeps one, else just the program while it runs.
 */
static std::vector<DWORD> fnJobProcesses(HANDLE hJob, DWORD dwMainPid, bool bMainEnded)
{
    std::vector<DWORD> pids;
    if (hJob) {
        struct {
            JOBOBJECT_BASIC_PROCESS_ID_LIST list;
            ULONG_PTR extra[63];
        } ids;
        ZeroMemory(&ids, sizeof(ids));
        ids.list.NumberOfAssignedProcesses = 64;
        if (QueryInformationJobObject(hJob, JobObjectBasicProcessIdList, &ids, sizeof(ids), NULL)) {
            for (DWORD i = 0; i < ids.list.NumberOfProcessIdsInList && i < 64; i++) {
                DWORD dwPid = (DWORD)ids.list.ProcessIdList[i];
                if (dwPid == dwMainPid || !fnIsServiceProcess(dwPid))
                    pids.push_back(dwPid);
            }
            return pids;
        }
    }
    if (!bMainEnded)
        pids.push_back(dwMainPid);
    return pids;
}

static bool fnSeen(std::vector<HWND> *lpSeen, HWND hWnd)
{
    for (HWND h : *lpSeen)
        if (h == hWnd)
            return true;
    return false;
}

static BOOL CALLBACK fnScanProc(HWND hWnd, LPARAM lParam)
{
    ScanStruct *lpScan = (ScanStruct *)lParam;
    DWORD dwPid = 0;
    GetWindowThreadProcessId(hWnd, &dwPid);
    bool bOurs = false;
    for (DWORD dw : lpScan->pids)
        bOurs = bOurs || dw == dwPid;
    if (!bOurs || !IsWindowVisible(hWnd))
        return TRUE;
    char szClass[64];
    GetClassNameA(hWnd, szClass, sizeof(szClass));
    bool bFolder = lstrcmpA(szClass, "ExplorerWClass") == 0 || lstrcmpA(szClass, "CabinetWClass") == 0;
    if (lstrcmpA(szClass, "#32770") != 0 && !bFolder)
        return TRUE;
    /* a dialog answered before is only taken up again by an "again" rule, once a box above it has gone */
    bool bSeen = fnSeen(lpScan->lpSeen, hWnd);
    if (bSeen && (bFolder || !IsWindowEnabled(hWnd) || GetTickCount() - s_dwLastAnswer < 300))
        return TRUE;
    std::string strCaption = fnWindowText(hWnd);
    if (bFolder) {
        for (AnswerStruct &a : lpScan->lpCase->answers) {
            if (a.bUsed || !a.bClose || strCaption.find(fnSubst(a.strMatch)) == std::string::npos)
                continue;
            a.bUsed = true;
            lpScan->lpSeen->push_back(hWnd);
            printf("closed folder window \"%s\"\n", strCaption.c_str());
            PostMessageA(hWnd, WM_CLOSE, 0, 0);
            return TRUE;
        }
        fnFail("unexpected folder window \"%s\"%s", strCaption);
        lpScan->bUnexpected = true;
        return FALSE;
    }
    /* looked at before its texts: the dialog may be going away while it is read */
    bool bProgress = fnIsProgressDialog(hWnd);
    std::string strText;
    EnumChildWindows(hWnd, fnCollectTextProc, (LPARAM)&strText);
    for (AnswerStruct &a : lpScan->lpCase->answers) {
        if (a.bUsed || (bSeen && !a.bAgain))
            continue;
        std::string strMatch = fnSubst(a.strMatch);
        if (strCaption.find(strMatch) == std::string::npos && strText.find(strMatch) == std::string::npos)
            continue;
        a.bUsed = true;
        if (!bSeen)
            lpScan->lpSeen->push_back(hWnd);
        s_dwLastAnswer = GetTickCount();
        if (a.bClose) {
            printf("closed window \"%s\"\n", strCaption.c_str());
            s_nAnswered++;
            PostMessageA(hWnd, WM_CLOSE, 0, 0);
            return TRUE;
        }
        for (const StepStruct &step : a.steps)
            fnTakeStep(hWnd, step, strCaption);
        if (a.strButton == "none") {
            printf("seen \"%s\"\n", strCaption.c_str());
            s_nAnswered++;
            return TRUE;
        }
        FindButtonStruct find = {a.strButton, NULL};
        EnumChildWindows(hWnd, fnFindButtonProc, (LPARAM)&find);
        if (!find.hButton || !IsWindowVisible(find.hButton) || !IsWindowEnabled(find.hButton)) {
            fnFail(find.hButton ? "button \"%s\" cannot be pressed in window \"%s\"" : "no button \"%s\" in window \"%s\"",
                   a.strButton, strCaption);
            lpScan->bUnexpected = true;
            return FALSE;
        }
        if (!a.strSwap.empty()) {
            fnMoveContents("R:", s_strCaseDir + "\\" + a.strSwap);
            printf("moved the contents of R: to %s\n", a.strSwap.c_str());
        }
        printf("answered \"%s\" with \"%s\"\n", strCaption.c_str(), a.strButton.c_str());
        s_nAnswered++;
        PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(find.hButton), BN_CLICKED), (LPARAM)find.hButton);
        return TRUE;
    }
    if (bSeen)
        return TRUE;
    /* the progress dialog, or a window that closed while it was read, needs no answer */
    if (bProgress || fnIsProgressDialog(hWnd) || !IsWindow(hWnd) || !IsWindowVisible(hWnd))
        return TRUE;
    fnFail("unexpected window \"%s\": %s", strCaption, strText);
    lpScan->bUnexpected = true;
    return FALSE;
}

static bool fnReadFile(const std::string &strPath, std::string *lpstr)
{
    FILE *fp = fopen(strPath.c_str(), "rb");
    if (!fp)
        return false;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), fp)) > 0)
        lpstr->append(buf, n);
    fclose(fp);
    return true;
}

static HKEY fnRoot(const std::string &strKey, std::string *lpstrSub)
{
    const struct {
        const char *lpsz;
        HKEY hKey;
    } roots[] = {{"HKCU\\", HKEY_CURRENT_USER}, {"HKLM\\", HKEY_LOCAL_MACHINE}, {"HKCR\\", HKEY_CLASSES_ROOT},
                 {"HKU\\", HKEY_USERS}};
    for (const auto &r : roots) {
        if (_strnicmp(strKey.c_str(), r.lpsz, strlen(r.lpsz)) == 0) {
            *lpstrSub = strKey.substr(strlen(r.lpsz));
            return r.hKey;
        }
    }
    return NULL;
}

/* Reads a registry value as text (strings as they are, numbers in decimal); false when missing. */
static bool fnRegText(const std::string &strKey, const std::string &strName, std::string *lpstr)
{
    std::string strSub;
    HKEY hRoot = fnRoot(strKey, &strSub);
    HKEY hKey;
    if (!hRoot || RegOpenKeyExA(hRoot, strSub.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    BYTE data[4096];
    DWORD cb = sizeof(data) - 1, dwType = 0;
    LONG l = RegQueryValueExA(hKey, strName.c_str(), NULL, &dwType, data, &cb);
    RegCloseKey(hKey);
    if (l != ERROR_SUCCESS)
        return false;
    if (dwType == REG_DWORD && cb == 4) {
        *lpstr = std::to_string(*(DWORD *)data);
    } else {
        data[cb] = 0;
        *lpstr = (char *)data;
    }
    return true;
}

/* R, H and S of a letter set, in that order. */
static std::string fnAttribLetters(const std::string &str)
{
    std::string out;
    for (char c : {'R', 'H', 'S'})
        if (str.find(c) != std::string::npos)
            out += c;
    return out;
}

static DWORD fnRegTypeCode(const std::string &str)
{
    return str == "EXPAND_SZ" ? REG_EXPAND_SZ : str == "DWORD" ? REG_DWORD : str == "MULTI_SZ" ? REG_MULTI_SZ : REG_SZ;
}

/* Stages the case's registry values, keeping what they held; with bRestore puts that back. */
static void fnStageRegistry(CaseStruct *lpCase, bool bRestore)
{
    for (StagedRegStruct &r : lpCase->regs) {
        std::string strSub;
        HKEY hRoot = fnRoot(r.strKey, &strSub);
        HKEY hKey;
        if (!hRoot || RegCreateKeyExA(hRoot, strSub.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hKey, NULL) != ERROR_SUCCESS)
            continue;
        if (!bRestore) {
            DWORD cb = 0;
            r.bHad = RegQueryValueExA(hKey, r.strName.c_str(), NULL, &r.dwOldType, NULL, &cb) == ERROR_SUCCESS;
            r.oldData.resize(cb + 1);
            if (r.bHad)
                RegQueryValueExA(hKey, r.strName.c_str(), NULL, &r.dwOldType, r.oldData.data(), &cb);
            std::string strData = fnSubst(r.strData);
            RegSetValueExA(hKey, r.strName.c_str(), 0, fnRegTypeCode(r.strType), (const BYTE *)strData.c_str(),
                           (DWORD)strData.size() + 1);
        } else if (r.bHad) {
            RegSetValueExA(hKey, r.strName.c_str(), 0, r.dwOldType, r.oldData.data(), (DWORD)r.oldData.size() - 1);
        } else {
            RegDeleteValueA(hKey, r.strName.c_str());
        }
        RegCloseKey(hKey);
    }
}

static LRESULT CALLBACK fnListenProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg == WM_SETTINGCHANGE && lParam && lstrcmpW((const wchar_t *)lParam, L"Environment") == 0)
        s_nSettingChanges++;
    return DefWindowProcW(hWnd, uMsg, wParam, lParam);
}

/* One field of a shell link as text; false when the link cannot be read. */
static bool fnLinkField(const std::string &strLink, const std::string &strField, std::string *lpstr)
{
    if (strField == "show") {
        /* the show command sits at offset 0x3C of the link header */
        std::string strData;
        if (!fnReadFile(strLink, &strData) || strData.size() < 0x40)
            return false;
        *lpstr = std::to_string(*(const DWORD *)(strData.data() + 0x3C));
        return true;
    }
    CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
    IShellLinkA *lpLink = NULL;
    IPersistFile *lpFile = NULL;
    WCHAR wsz[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, strLink.c_str(), -1, wsz, MAX_PATH);
    bool bOk = SUCCEEDED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                          (void **)&lpLink)) &&
               SUCCEEDED(lpLink->QueryInterface(IID_IPersistFile, (void **)&lpFile)) &&
               SUCCEEDED(lpFile->Load(wsz, STGM_READ));
    char sz[MAX_PATH] = "";
    int n = 0;
    WORD w = 0;
    if (bOk) {
        if (strField == "target")
            lpLink->GetPath(sz, sizeof(sz), NULL, SLGP_RAWPATH);
        else if (strField == "args")
            lpLink->GetArguments(sz, sizeof(sz));
        else if (strField == "workdir")
            lpLink->GetWorkingDirectory(sz, sizeof(sz));
        else if (strField == "icon" || strField == "index")
            lpLink->GetIconLocation(sz, sizeof(sz), &n);
        else if (strField == "desc")
            lpLink->GetDescription(sz, sizeof(sz));
        else if (strField == "hotkey")
            lpLink->GetHotkey(&w);
        else
            bOk = false;
    }
    *lpstr = strField == "index" ? std::to_string(n) : strField == "hotkey" ? std::to_string(w) : std::string(sz);
    if (lpFile)
        lpFile->Release();
    if (lpLink)
        lpLink->Release();
    CoUninitialize();
    return bOk;
}

static void fnCheck(const std::vector<std::string> &e, DWORD dwExit)
{
    const std::string &k = e[0];
    std::string a1 = e.size() > 1 ? fnSubst(e[1]) : "";
    std::string a2 = e.size() > 2 ? fnSubst(e[2]) : "";
    if (k == "exit") {
        if (dwExit != (DWORD)atoi(a1.c_str()))
            fnFail("exit code %s, expected %s", std::to_string(dwExit), a1);
    } else if (k == "file" || k == "nofile") {
        bool bExists = GetFileAttributesA(a1.c_str()) != INVALID_FILE_ATTRIBUTES;
        if (bExists != (k == "file"))
            fnFail(bExists ? "file %s exists%s" : "file %s missing%s", a1);
    } else if (k == "contains" || k == "notcontains") {
        std::string str;
        if (!fnReadFile(a1, &str)) {
            if (k == "contains")
                fnFail("cannot read %s%s", a1);
            return;
        }
        bool bHas = str.find(a2) != std::string::npos;
        if (bHas != (k == "contains"))
            fnFail(bHas ? "%s holds \"%s\"" : "%s lacks \"%s\"", a1, a2);
    } else if (k == "order") {
        std::string str;
        if (!fnReadFile(a1, &str)) {
            fnFail("cannot read %s%s", a1);
            return;
        }
        size_t nAt = 0;
        for (size_t i = 2; i < e.size(); i++) {
            std::string t = fnSubst(e[i]);
            size_t nFound = str.find(t, nAt);
            if (nFound == std::string::npos) {
                fnFail("%s: \"%s\" missing or out of order", a1, t);
                return;
            }
            nAt = nFound + t.size();
        }
    } else if (k == "reg" || k == "noreg") {
        std::string str;
        bool bHas = fnRegText(a1, a2, &str);
        if (k == "noreg") {
            if (bHas)
                fnFail("registry value %s %s exists", a1, a2);
        } else if (!bHas) {
            fnFail("registry value %s %s missing", a1, a2);
        } else if (e.size() > 3 && str != fnSubst(e[3])) {
            fnFail("registry value %s holds \"%s\"", a1 + " " + a2, str);
        }
    } else if (k == "text") {
        std::string str;
        if (!fnReadFile(a1, &str))
            fnFail("cannot read %s%s", a1);
        else if (str != a2)
            fnFail("%s holds \"%s\"", a1, str);
    } else if (k == "attrib") {
        DWORD dwAttr = GetFileAttributesA(a1.c_str());
        std::string strHas;
        if (dwAttr != INVALID_FILE_ATTRIBUTES) {
            strHas += (dwAttr & FILE_ATTRIBUTE_READONLY) ? "R" : "";
            strHas += (dwAttr & FILE_ATTRIBUTE_HIDDEN) ? "H" : "";
            strHas += (dwAttr & FILE_ATTRIBUTE_SYSTEM) ? "S" : "";
        }
        if (dwAttr == INVALID_FILE_ATTRIBUTES || strHas != fnAttribLetters(a2))
            fnFail("%s has attributes \"%s\"", a1, strHas);
    } else if (k == "nomatch") {
        WIN32_FIND_DATAA fd;
        HANDLE hFind = FindFirstFileA(a1.c_str(), &fd);
        if (hFind != INVALID_HANDLE_VALUE) {
            fnFail("%s is there (%s)", a1, fd.cFileName);
            FindClose(hFind);
        }
    } else if (k == "regtype") {
        std::string strSub;
        HKEY hRoot = fnRoot(a1, &strSub);
        std::vector<char> data(70000);
        DWORD cb = (DWORD)data.size() - 1, dwType = 0;
        if (!hRoot || RegGetValueA(hRoot, strSub.c_str(), a2.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &dwType, data.data(),
                                   &cb) != ERROR_SUCCESS) {
            fnFail("registry value %s %s missing", a1, a2);
        } else if (dwType != fnRegTypeCode(e.size() > 3 ? e[3] : "")) {
            fnFail("registry value %s has type %s", a1 + " " + a2, std::to_string(dwType));
        } else if (e.size() > 4 && std::string(data.data()) != fnSubst(e[4])) {
            fnFail("registry value %s holds \"%s\"", a1 + " " + a2, data.data());
        }
    } else if (k == "settingchange") {
        if (s_nSettingChanges != atoi(a1.c_str()))
            fnFail("%s environment notices, expected %s", std::to_string(s_nSettingChanges), a1);
    } else if (k == "lnk") {
        std::string str;
        if (!fnLinkField(a1, a2, &str))
            fnFail("cannot read the link %s%s", a1);
        else if (e.size() > 3 && str != fnSubst(e[3]))
            fnFail("link field %s holds \"%s\"", a1 + " " + a2, str);
    } else if (k == "running" || k == "notrunning") {
        const StartedStruct *lpStarted = NULL;
        for (const StartedStruct &st : s_started)
            if (_stricmp(st.strName.c_str(), a1.c_str()) == 0)
                lpStarted = &st;
        if (!lpStarted) {
            fnFail("%s was not started by the case%s", a1);
            return;
        }
        bool bRunning = WaitForSingleObject(lpStarted->hProcess, 0) == WAIT_TIMEOUT;
        if (bRunning != (k == "running"))
            fnFail(bRunning ? "%s still runs%s" : "%s has ended%s", a1);
    } else if (k == "windows") {
        if (s_nAnswered < atoi(a1.c_str()))
            fnFail("%s dialogs answered, expected %s", std::to_string(s_nAnswered), a1);
    } else {
        fnFail("unknown expectation %s%s", k);
    }
}

/* Drops the last line end ("noeol") and pads with comment lines to the size asked. */
static void fnShapeFile(CaseFileStruct *lpFile)
{
    std::string &str = lpFile->strText;
    const char *lpszEol = lpFile->bLf ? "\n" : "\r\n";
    if (lpFile->bNoEol && str.size() >= strlen(lpszEol))
        str.resize(str.size() - strlen(lpszEol));
    while (lpFile->cbSize > str.size()) {
        size_t cbLeft = lpFile->cbSize - str.size();
        if (cbLeft <= 80) {
            str += std::string(cbLeft, ';');
            break;
        }
        str += std::string(78, ';') + "\r\n";
    }
}

/* Writes the case folder's program with a case file appended behind the marker line. */
/*
 * A program's place: a plain name lies in the case folder; a path with a
 * drive (such as the removable test drive R:) is taken as it is, and its
 * folder is made when missing.
 */
static std::string fnProgramPath(const std::string &strName)
{
    if (strName.find(':') == std::string::npos)
        return s_strCaseDir + "\\" + strName;
    std::string strPath = fnSubst(strName);
    size_t nSlash = strPath.find_last_of('\\');
    if (nSlash != std::string::npos && nSlash > 2)
        CreateDirectoryA(strPath.substr(0, nSlash).c_str(), NULL);
    return strPath;
}

static bool fnPack(const char *lpszExe, const PackStruct &pk)
{
    std::string strOut = fnProgramPath(pk.strName);
    std::string strScript = s_strCaseDir + "\\" + pk.strScript;
    if (!pk.bUnchecked) {
        char szError[512];
        if (!fnPackInstaller(lpszExe, strScript.c_str(), strOut.c_str(), pk.bScramble ? TRUE : FALSE, szError,
                             sizeof(szError))) {
            printf("cannot pack %s: %s\n", strOut.c_str(), szError);
            return false;
        }
        return true;
    }
    std::string strExe, strText;
    char szMarker[128];
    fnBuildMarker(MARKER_WORD, MARKER_HEADER, szMarker, sizeof(szMarker));
    if (!fnReadFile(lpszExe, &strExe) || !fnReadFile(strScript, &strText))
        return false;
    FILE *fp = fopen(strOut.c_str(), "wb");
    if (!fp)
        return false;
    strExe += szMarker;
    strExe += strText;
    bool bOk = fwrite(strExe.data(), 1, strExe.size(), fp) == strExe.size();
    fclose(fp);
    return bOk;
}

static void fnRemoveTree(const std::string &strDir)
{
    WIN32_FIND_DATAA fd;
    HANDLE hFind = FindFirstFileA((strDir + "\\*").c_str(), &fd);
    if (hFind != INVALID_HANDLE_VALUE) {
        do {
            std::string strName = fd.cFileName;
            if (strName == "." || strName == "..")
                continue;
            std::string strPath = strDir + "\\" + strName;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                fnRemoveTree(strPath);
            } else {
                SetFileAttributesA(strPath.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(strPath.c_str());
            }
        } while (FindNextFileA(hFind, &fd));
        FindClose(hFind);
    }
    RemoveDirectoryA(strDir.c_str());
}

/* Makes the folders above a file of the case folder ("%% file SUB\\NAME"). */
static void fnMakeParents(const std::string &strPath)
{
    for (size_t n = s_strCaseDir.size() + 1; (n = strPath.find('\\', n)) != std::string::npos; n++)
        CreateDirectoryA(strPath.substr(0, n).c_str(), NULL);
}

/* The runner's environment with TMP and TEMP pointing at the case folder. */
static std::vector<char> fnChildEnvironment(void)
{
    std::vector<char> env;
    char *lpszEnv = GetEnvironmentStringsA();
    for (char *p = lpszEnv; *p; p += strlen(p) + 1) {
        if (_strnicmp(p, "TMP=", 4) == 0 || _strnicmp(p, "TEMP=", 5) == 0)
            continue;
        env.insert(env.end(), p, p + strlen(p) + 1);
    }
    FreeEnvironmentStringsA(lpszEnv);
    for (const char *lpszVar : {"TMP=", "TEMP="}) {
        std::string s = std::string(lpszVar) + s_strCaseDir;
        env.insert(env.end(), s.c_str(), s.c_str() + s.size() + 1);
    }
    env.push_back('\0');
    return env;
}

/* Stops and deletes a service the case installed (or a stale one of an earlier run). */
static void fnRemoveService(const std::string &strName)
{
    SC_HANDLE hManager = OpenSCManagerA(NULL, NULL, SC_MANAGER_ALL_ACCESS);
    SC_HANDLE hService = hManager ? OpenServiceA(hManager, strName.c_str(), SERVICE_ALL_ACCESS) : NULL;
    if (hService) {
        SERVICE_STATUS ss;
        if (ControlService(hService, SERVICE_CONTROL_STOP, &ss))
            for (int i = 0; i < 100 && QueryServiceStatus(hService, &ss) && ss.dwCurrentState != SERVICE_STOPPED; i++)
                Sleep(100);
        DeleteService(hService);
        CloseServiceHandle(hService);
    }
    if (hManager)
        CloseServiceHandle(hManager);
}

/* Installs the test service tgsvc.exe found beside the program under test. */
static bool fnInstallService(const std::string &strName, const std::string &strProgram)
{
    fnRemoveService(strName);
    std::string strDir = strProgram.substr(0, strProgram.find_last_of('\\') + 1);
    std::string strCmd = "\"" + strDir + "tgsvc.exe\" \"" + s_strCaseDir + "\\" + strName + ".log\"";
    SC_HANDLE hManager = OpenSCManagerA(NULL, NULL, SC_MANAGER_ALL_ACCESS);
    SC_HANDLE hService = hManager ? CreateServiceA(hManager, strName.c_str(), strName.c_str(), SERVICE_ALL_ACCESS,
                                                   SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START,
                                                   SERVICE_ERROR_NORMAL, strCmd.c_str(), NULL, NULL, NULL, NULL, NULL)
                                  : NULL;
    if (hService)
        CloseServiceHandle(hService);
    if (hManager)
        CloseServiceHandle(hManager);
    return hService != NULL;
}

int main(int argc, char **argv)
{
    if (argc < 3) {
        printf("usage: e2erun CASEFILE SETUP32.EXE\n");
        return 2;
    }
    CaseStruct c;
    if (!fnReadCase(argv[1], &c)) {
        printf("cannot read case %s\n", argv[1]);
        return 2;
    }
    std::string strCase = argv[1];
    size_t nSlash = strCase.find_last_of("\\/");
    std::string strBase = strCase.substr(nSlash == std::string::npos ? 0 : nSlash + 1);
    char szTemp[MAX_PATH];
    GetTempPathA(sizeof(szTemp), szTemp);
    std::string strRoot = std::string(szTemp) + "tge2e";
    CreateDirectoryA(strRoot.c_str(), NULL);
    s_strCaseDir = strRoot + "\\" + strBase.substr(0, strBase.find('.'));
    s_strBinDir = std::string(argv[2]).substr(0, std::string(argv[2]).find_last_of('\\'));
    fnRemoveTree(s_strCaseDir);
    if (!CreateDirectoryA(s_strCaseDir.c_str(), NULL)) {
        printf("cannot make %s\n", s_strCaseDir.c_str());
        return 2;
    }
    for (const std::string &strRemove : c.removes) {
        SetFileAttributesA(fnSubst(strRemove).c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(fnSubst(strRemove).c_str());
    }
    for (CaseFileStruct &f : c.files) {
        std::string strName = fnSubst(f.strName);
        std::string strPath = (strName.find(':') != std::string::npos) ? strName : s_strCaseDir + "\\" + strName;
        fnMakeParents(strPath);
        FILE *fp = fopen(strPath.c_str(), "wb");
        if (!fp) {
            printf("cannot write %s\n", strPath.c_str());
            return 2;
        }
        f.strText = fnSubstVars(f.strText);
        fnShapeFile(&f);
        fwrite(f.strText.data(), 1, f.strText.size(), fp);
        fclose(fp);
    }
    std::string strProgram = argv[2];
    for (const PackStruct &pk : c.packs) {
        if (!fnPack(argv[2], pk))
            return 2;
    }
    if (!c.strProgram.empty()) {
        strProgram = fnProgramPath(c.strProgram);
        if (c.packs.empty() && !CopyFileA(argv[2], strProgram.c_str(), FALSE)) {
            printf("cannot copy the program to %s\n", strProgram.c_str());
            return 2;
        }
    }
    for (const auto &a : c.attribs) {
        std::string strA = fnAttribLetters(a.second);
        DWORD dwAttr = (strA.find('R') != std::string::npos ? FILE_ATTRIBUTE_READONLY : 0) |
                       (strA.find('H') != std::string::npos ? FILE_ATTRIBUTE_HIDDEN : 0) |
                       (strA.find('S') != std::string::npos ? FILE_ATTRIBUTE_SYSTEM : 0);
        SetFileAttributesA((s_strCaseDir + "\\" + a.first).c_str(), dwAttr ? dwAttr : FILE_ATTRIBUTE_NORMAL);
    }
    std::vector<HANDLE> locks;
    for (const std::string &strLock : c.locks)
        locks.push_back(CreateFileA((s_strCaseDir + "\\" + strLock).c_str(), GENERIC_READ, FILE_SHARE_READ, NULL,
                                    OPEN_EXISTING, 0, NULL));
    for (const std::string &strKey : c.regcleans) {
        std::string strSub;
        HKEY hRoot = fnRoot(strKey, &strSub);
        if (!hRoot || strSub.empty()) {
            printf("bad regclean key %s\n", strKey.c_str());
            return 2;
        }
        RegDeleteTreeA(hRoot, strSub.c_str());
        RegDeleteKeyA(hRoot, strSub.c_str());
    }
    for (const std::string &strService : c.services) {
        if (!fnInstallService(strService, argv[2])) {
            printf("cannot install service %s: %lu\n", strService.c_str(), GetLastError());
            return 2;
        }
    }
    fnStageRegistry(&c, false);
    std::string strHolder = argv[2];
    strHolder = strHolder.substr(0, strHolder.find_last_of("\\/") + 1) + "tgholder.exe";
    for (const auto &st : c.starts) {
        std::string strPath = s_strCaseDir + "\\" + st.first;
        fnMakeParents(strPath);
        if (!CopyFileA(strHolder.c_str(), strPath.c_str(), FALSE)) {
            printf("cannot copy %s to %s\n", strHolder.c_str(), strPath.c_str());
            return 2;
        }
        std::string strCmd = "\"" + strPath + "\"" + fnSubst(st.second);
        std::vector<char> cmd(strCmd.begin(), strCmd.end());
        cmd.push_back('\0');
        STARTUPINFOA si;
        ZeroMemory(&si, sizeof(si));
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi;
        if (!CreateProcessA(NULL, cmd.data(), NULL, NULL, FALSE, 0, NULL, s_strCaseDir.c_str(), &si, &pi)) {
            printf("cannot start %s: %lu\n", strCmd.c_str(), GetLastError());
            return 2;
        }
        CloseHandle(pi.hThread);
        /* its window is there before the program looks for it */
        WaitForInputIdle(pi.hProcess, 5000);
        s_started.push_back({st.first, pi.hProcess});
        printf("started %s\n", strCmd.c_str());
    }
    bool bListen = false;
    for (const auto &e : c.expects)
        bListen = bListen || e[0] == "settingchange";
    /* a hidden wide window hears the environment notices (the wait below pumps its messages) */
    WNDCLASSW wcListen = {};
    wcListen.lpfnWndProc = fnListenProc;
    wcListen.hInstance = GetModuleHandleW(NULL);
    wcListen.lpszClassName = L"TgE2eListen";
    RegisterClassW(&wcListen);
    HWND hListen = bListen ? CreateWindowW(L"TgE2eListen", L"", WS_OVERLAPPED, 0, 0, 1, 1, NULL, NULL,
                                           wcListen.hInstance, NULL)
                           : NULL;
    if (c.runs.empty())
        c.runs.push_back("");
    printf("case folder %s\n", s_strCaseDir.c_str());
    /* Wine starts the desktop's explorer.exe for the first window a session makes; made here,
       it is not a child of the run and does not keep the run's job alive */
    HWND hWndWarm = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, NULL, NULL, NULL, NULL);
    if (hWndWarm)
        DestroyWindow(hWndWarm);
    std::vector<char> env = fnChildEnvironment();
    std::vector<HWND> seen;
    DWORD dwExit = 0;
    bool bTimedOut = false, bUnexpected = false;
    for (size_t nRun = 0; nRun < c.runs.size() && !bTimedOut && !bUnexpected; nRun++) {
        std::string strCmd = std::string("\"") + strProgram + "\"" + fnSubst(c.runs[nRun]);
        printf("run %s\n", strCmd.c_str());
        std::vector<char> cmd(strCmd.begin(), strCmd.end());
        cmd.push_back('\0');
        STARTUPINFOA si;
        ZeroMemory(&si, sizeof(si));
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi;
        /* a job holds the program and whatever it starts (a temporary copy of itself, say):
           the run ends when the last of them has ended */
        HANDLE hJob = CreateJobObjectA(NULL, NULL);
        if (!CreateProcessA(NULL, cmd.data(), NULL, NULL, FALSE, CREATE_SUSPENDED, env.data(), s_strCaseDir.c_str(),
                            &si, &pi)) {
            printf("cannot start %s: %lu\n", strProgram.c_str(), GetLastError());
            return 2;
        }
        if (hJob)
            AssignProcessToJobObject(hJob, pi.hProcess);
        ResumeThread(pi.hThread);
        CloseHandle(pi.hThread);

        DWORD dwStart = GetTickCount();
        for (;;) {
            bool bMainEnded =
                MsgWaitForMultipleObjects(1, &pi.hProcess, FALSE, 100, QS_ALLINPUT) == WAIT_OBJECT_0 &&
                WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0;
            MSG msg;
            while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE))
                DispatchMessageW(&msg);
            std::vector<DWORD> pids = fnJobProcesses(hJob, pi.dwProcessId, bMainEnded);
            if (pids.empty())
                break;
            ScanStruct scan = {pids, &c, &seen, false};
            EnumWindows(fnScanProc, (LPARAM)&scan);
            if (scan.bUnexpected) {
                bUnexpected = true;
                break;
            }
            if (GetTickCount() - dwStart > c.dwTimeoutMs) {
                bTimedOut = true;
                break;
            }
        }
        if (bTimedOut || bUnexpected) {
            if (bTimedOut) {
                std::string strLeft;
                for (DWORD dwPid : fnJobProcesses(hJob, pi.dwProcessId, false))
                    strLeft += " " + fnProcessName(dwPid);
                fnFail("time-out after %s s, still running:%s", std::to_string(c.dwTimeoutMs / 1000), strLeft);
            }
            if (hJob)
                TerminateJobObject(hJob, 99);
            TerminateProcess(pi.hProcess, 99);
            WaitForSingleObject(pi.hProcess, 5000);
        }
        if (hJob)
            CloseHandle(hJob);
        GetExitCodeProcess(pi.hProcess, &dwExit);
        CloseHandle(pi.hProcess);
        printf("exit code %lu\n", dwExit);
    }
    for (HANDLE hLock : locks)
        if (hLock != INVALID_HANDLE_VALUE)
            CloseHandle(hLock);
    if (hListen)
        DestroyWindow(hListen);
    if (!bTimedOut && !bUnexpected) {
        for (const auto &e : c.expects)
            fnCheck(e, dwExit);
        for (const AnswerStruct &a : c.answers)
            if (!a.bUsed)
                fnFail("expected window \"%s\" never came%s", a.strMatch);
    }
    if (s_nFailures) {
        std::string strLog;
        if (fnReadFile(s_strCaseDir + "\\TG7k9Dbg.LOG", &strLog))
            printf("--- debug log (tail) ---\n%s\n", strLog.substr(strLog.size() > 3000 ? strLog.size() - 3000 : 0).c_str());
    }
    for (const StartedStruct &st : s_started) {
        TerminateProcess(st.hProcess, 99);
        WaitForSingleObject(st.hProcess, 5000);
        CloseHandle(st.hProcess);
    }
    fnStageRegistry(&c, true);
    for (const std::string &strService : c.services)
        fnRemoveService(strService);
    for (const std::string &strRemove : c.removes) {
        SetFileAttributesA(fnSubst(strRemove).c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(fnSubst(strRemove).c_str());
    }
    printf("%s: %d failure(s)\n", strBase.c_str(), s_nFailures);
    return s_nFailures ? 1 : 0;
}
