/*
 * driver/tests/sectiondriver_win_test.cpp -- the section walk and the
 * dispatcher's rules, with scripted handler results in place of the real
 * handlers: order, restarts, failures, quiet flags, the stop flag, command
 * sections and registered shortcut sections.
 */
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "common/bounded.h"
#include "common/runstate.h"
#include "driver/sectiondriver.h"

namespace {

std::vector<std::string> s_calls;
std::map<std::string, std::vector<UINT>> s_results;  /* per matched name, one result per call */

UINT fnScripted(const char *lpszName, const char *lpszSection)
{
    (void)lpszSection;
    s_calls.push_back(lpszName);
    std::vector<UINT> &v = s_results[lpszName];
    if (v.empty())
        return 1;
    UINT r = v.front();
    if (v.size() > 1)
        v.erase(v.begin());
    return r;
}

class SectionWalkTest : public ::testing::Test {
protected:
    UserInputStruct m_rec;
    void SetUp() override
    {
        fnResetRunState();
        g_bQuiet = TRUE;  /* no wait windows */
        s_calls.clear();
        s_results.clear();
        g_pfnDispatchOverride = fnScripted;
        fnPrepareUserInput(&m_rec);
        m_rec.uQuiet = 1;
    }
    void TearDown() override
    {
        g_pfnDispatchOverride = NULL;
        fnResetRunState();
    }
    void fnWalk(const char *lpszScript)
    {
        std::string str(lpszScript);
        std::vector<char> buf(str.begin(), str.end());
        buf.push_back('\0');
        fnWalkSections(NULL, buf.data(), &m_rec);
        /* the walk puts every temporary terminator back */
        EXPECT_EQ(str, std::string(buf.data()));
    }
};

using V = std::vector<std::string>;

TEST_F(SectionWalkTest, RunsKnownSectionsInOrderAndPassesOverOthers)
{
    fnWalk("[Registry]\r\na=b\r\n[Unknown]\r\nx\r\n[EXEC]\r\np\r\n[Files]\r\nf\r\n");
    EXPECT_EQ((V{"[Registry]", "[Exec]", "[Files]"}), s_calls);
    EXPECT_EQ(0u, m_rec.uFailed);
    EXPECT_EQ(1u, m_rec.uQuiet);
}

TEST_F(SectionWalkTest, EndAndStopFlag)
{
    fnWalk("[Registry]\r\n[end]\r\n[Exec]\r\n");
    EXPECT_EQ((V{"[Registry]"}), s_calls);
    s_calls.clear();
    g_bStopProcessing = TRUE;
    fnWalk("[Registry]\r\n[Exec]\r\n");
    EXPECT_TRUE(s_calls.empty());
    EXPECT_EQ(0u, m_rec.uFailed);
}

TEST_F(SectionWalkTest, FailureStatusesStopAndMarkTheRunFailed)
{
    const struct {
        const char *lpszSection;
        UINT r;
        UINT uFailed;
        UINT uQuiet;
    } rows[] = {
        {"[Registry]", 0, 1, 1},   /* plain rule: 0 is an error */
        {"[Registry]", 7, 0, 1},   /* plain rule: anything else goes on */
        {"[Exec]", 2, 1, 1},       /* passed on: cancelled */
        {"[Exec]", 5, 0, 1},       /* passed on: end of run */
        {"[CheckFor]", 2, 1, 0},   /* quiet on stop */
        {"[CheckFor]", 6, 0, 0},
        {"[AskFor]", 2, 0, 0},     /* a cancelled question goes on, without a success message */
        {"[AskFor]", 7, 0, 0},
        {"[IsStringInFile]", 2, 0, 0},
        {"[IsStringInFile]", 7, 0, 0},    /* an exit action ends the run */
        {"[IsStringInFile]", 0, 0, 1},    /* a condition that ended the section goes on */
        {"[CopyFilesToDisks]", 0, 1, 1},  /* the disk copy answers to this name too */
        {"[InitOptions]", 103, 0, 0},
        {"[InitOptions]", 100, 0, 1},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(std::string(r.lpszSection) + " returns " + std::to_string(r.r));
        SetUp();
        s_results[r.lpszSection] = {r.r};
        std::string strScript = std::string(r.lpszSection) + "\r\nx\r\n[Files]\r\ny\r\n";
        fnWalk(strScript.c_str());
        EXPECT_EQ(r.uFailed, m_rec.uFailed);
        EXPECT_EQ(r.uQuiet, m_rec.uQuiet);
        bool bWentOn = s_calls.size() == 2;
        bool bShouldGoOn = (r.r == 7 && std::string(r.lpszSection) == "[Registry]") || r.r == 100 ||
                           (std::string(r.lpszSection) == "[AskFor]" && r.r == 2) ||
                           (std::string(r.lpszSection) == "[IsStringInFile]" && r.r == 0);
        EXPECT_EQ(bShouldGoOn, bWentOn);
    }
}

TEST_F(SectionWalkTest, StartAgainRunsFromTheFirstSectionButNotFromTheLast)
{
    s_results["[Exec]"] = {3, 1};
    fnWalk("[Registry]\r\n[Exec]\r\n[Files]\r\n");
    EXPECT_EQ((V{"[Registry]", "[Exec]", "[Registry]", "[Exec]", "[Files]"}), s_calls);
    s_calls.clear();
    s_results["[Files]"] = {3};
    fnWalk("[Registry]\r\n[Files]\r\n");
    EXPECT_EQ((V{"[Registry]", "[Files]"}), s_calls);
}

TEST_F(SectionWalkTest, CommandFailureStopsOnlyWithExitOnCommandError)
{
    s_results["[Set]"] = {0};
    g_uOnExit = 3;
    fnCopyBounded(g_szExitMsg, sizeof(g_szExitMsg), "Bye");
    fnWalk("[Set]\r\nx\r\n[Files]\r\n");
    EXPECT_EQ((V{"[Set]", "[Files]"}), s_calls);
    EXPECT_EQ(0u, m_rec.uFailed);
    EXPECT_EQ(3u, m_rec.uOnExit);
    EXPECT_STREQ("Bye", m_rec.szExitMsg);

    s_calls.clear();
    s_results["[Command]"] = {0};
    g_bExitOnCommandError = TRUE;
    fnWalk("[Command]\r\nx\r\n[Files]\r\n");
    EXPECT_EQ((V{"[Command]"}), s_calls);
    EXPECT_EQ(1u, m_rec.uFailed);
}

TEST_F(SectionWalkTest, RegisteredShortcutSectionOnlyWhenNoListHoldsIt)
{
    m_rec.nShortcutSections = 2;
    fnCopyBounded(m_rec.szShortcutSection[0], sizeof(m_rec.szShortcutSection[0]), "[MyLinks]");
    fnCopyBounded(m_rec.szShortcutSection[1], sizeof(m_rec.szShortcutSection[1]), "[Exec]");
    fnWalk("[mylinks]\r\nx\r\n[Exec]\r\ny\r\n[Other]\r\n");
    EXPECT_EQ((V{"[MyLinks]", "[Exec]"}), s_calls);
}

TEST_F(SectionWalkTest, InstallInfoSectionCopiesExitSettingsBack)
{
    s_results["[AppInit]"] = {1};
    m_rec.uOnExit = 5;
    m_rec.uBackupMode = 506;
    fnWalk("[AppInit]\r\nx\r\n");
    EXPECT_EQ(5u, g_uOnExit);
    EXPECT_EQ(506u, g_uBackUpMethod);
}

}  // namespace
