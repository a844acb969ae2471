/*
 * driver/tests/cmdline_test.cpp -- the options that choose a script and what
 * the loader does with it: -e=, -u=...file= and the start line.
 */
#include <gtest/gtest.h>

#include "driver/cmdline.h"

namespace {

TEST(CmdLineLoad, LoadModesAndStartLine)
{
    const struct {
        const char *lpszArgs;
        UINT uLoadMode;
        const char *lpszIniFile;
        BOOL bIniNamed;
        const char *lpszStartHere;
    } rows[] = {
        {"-e=c:\\dir\\setup.inf", 1, "C:\\DIR\\SETUP.INF", FALSE, ""},
        {"-E=a.inf", 1, "A.INF", FALSE, ""},
        {"-e=", 0, "", FALSE, ""},                               /* no value: ignored */
        {"-u=1,file=c:\\x.inf", 2, "C:\\X.INF", FALSE, ""},
        {"-U=FILE=b.inf", 2, "B.INF", FALSE, ""},
        {"-u=b.inf", 0, "", FALSE, ""},                          /* "file=" is missing */
        {"-file=b.inf", 0, "", FALSE, ""},                       /* not the u option */
        {"-u=1,file=", 0, "", FALSE, ""},
        {"-e=a.inf -i=b.inf", 1, "B.INF", TRUE, ""},             /* -i= names it; the mode stays */
        {"-[Registry] t.inf", 0, "T.INF", TRUE, "[Registry]"},   /* kept as written, not upper-cased */
        {"\"-[Start here]\"", 0, "", FALSE, "[Start here]"},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.lpszArgs);
        CmdOptionStruct opt;
        fnParseCmdLine(r.lpszArgs, &opt);
        EXPECT_EQ(r.uLoadMode, opt.uLoadMode);
        EXPECT_STREQ(r.lpszIniFile, opt.szIniFile);
        EXPECT_EQ(r.bIniNamed, opt.bIniNamed);
        EXPECT_STREQ(r.lpszStartHere, opt.szStartHere);
    }
}

}  // namespace
