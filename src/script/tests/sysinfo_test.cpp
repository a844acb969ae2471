/*
 * script/tests/sysinfo_test.cpp -- the operating-system rows, the SMBIOS
 * structure walk, the adapter order and the start-up folders, on the host
 * with hand-built records and faked machine lookups.
 */
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "common/bounded.h"
#include "common/machine.h"
#include "common/runstate.h"
#include "script/sysinfo.h"

namespace {

struct OSRow {
    const char *lpszTrace;
    DWORD dwPlatform, dwMajor, dwMinor, dwBuild;
    const char *lpszCSD;
    BOOL bHaveEx;
    BYTE bProductType;
    WORD wSuite;
    BOOL b64;
    const char *lpszEdition;
    /* expected */
    DWORD uIndex, uFamily, uSR, dwBuildOut, uBits, bNT;
    const char *lpszName, *lpszVersion, *lpszLabel;
};

const OSRow kOSRows[] = {
    {"Win32s", 0, 3, 10, 0, "", FALSE, 0, 0, FALSE, "", 0, 1, 0, 0, 32, 0, "WIN3", "32s\n3.10", "Windows"},
    {"95", 1, 4, 0, 950, "", FALSE, 0, 0, FALSE, "", 1, 2, 0, 950, 32, 0, "9X", "95, Vs. 4.0, build 950", "Win95"},
    {"95 build in the high word", 1, 4, 0, 0x040003B6, "", FALSE, 0, 0, FALSE, "", 1, 2, 0, 950, 32, 0, "9X",
     "95, Vs. 4.0, build 950", "Win95"},
    {"95 SR 1 edge", 1, 4, 0, 1024, "", FALSE, 0, 0, FALSE, "", 1, 2, 1, 1024, 32, 0, "9X",
     "95, Vs. 4.0, build 1024, SR 1", "Win95-SR1"},
    {"95 not yet SR 1", 1, 4, 0, 1023, "", FALSE, 0, 0, FALSE, "", 1, 2, 0, 1023, 32, 0, "9X",
     "95, Vs. 4.0, build 1023", "Win95"},
    {"95 OEM SR 2, blank text counts as none", 1, 4, 0, 1111, " B", FALSE, 0, 0, FALSE, "", 1, 2, 2, 1111, 32, 0, "9X",
     "95, Vs. 4.0, build 1111, OEM SR 2", "Win95-SR2"},
    {"95 SR 1 top", 1, 4, 0, 1079, "", FALSE, 0, 0, FALSE, "", 1, 2, 1, 1079, 32, 0, "9X",
     "95, Vs. 4.0, build 1079, SR 1", "Win95-SR1"},
    {"95 with a service text keeps it", 1, 4, 0, 1111, "C", FALSE, 0, 0, FALSE, "", 1, 2, 0, 1111, 32, 0, "9X",
     "95, Vs. 4.0, build 1111, C", "Win95-C"},
    {"98", 1, 4, 10, 2222, "A", FALSE, 0, 0, FALSE, "", 2, 2, 0, 2222, 32, 0, "9X", "98, Vs. 4.10, build 2222, A",
     "Win98-A"},
    {"ME", 1, 4, 90, 3000, "", FALSE, 0, 0, FALSE, "", 6, 2, 0, 3000, 32, 0, "9X", "ME, Vs. 4.90, build 3000",
     "WinME"},
    {"NT 4", 2, 4, 0, 1381, "Service Pack 6", TRUE, 1, 0, FALSE, "", 3, 3, 6, 1381, 32, 1, "NT",
     "NT, Vs. 4.0, build 1381, Service Pack 6", "WinNT-Service Pack 6"},
    {"2000", 2, 5, 0, 2195, "Service Pack 4", TRUE, 1, 0, FALSE, "", 4, 3, 4, 2195, 32, 1, "2000",
     "2000, Vs. 5.0, build 2195, Service Pack 4", "Win2000-Service Pack 4"},
    {"2000 server", 2, 5, 0, 2195, "", TRUE, 3, 0, FALSE, "", 5, 3, 0, 2195, 32, 1, "2000",
     "2000 Server, Vs. 5.0, build 2195", "Win2000Server"},
    {"2000 domain controller", 2, 5, 0, 2195, "", TRUE, 2, 0, FALSE, "", 5, 3, 0, 2195, 32, 1, "2000",
     "2000 Server, Vs. 5.0, build 2195", "Win2000Server"},
    {"2000 without the extended record", 2, 5, 0, 2195, "", FALSE, 3, 0, FALSE, "", 4, 3, 0, 2195, 32, 1, "2000",
     "2000, Vs. 5.0, build 2195", "Win2000"},
    {"XP SP2", 2, 5, 1, 2600, "Service Pack 2", TRUE, 1, 0, FALSE, "", 8, 3, 2, 2600, 32, 1, "XP",
     "XP, Vs. 5.1, build 2600, Service Pack 2", "WinXP-Service Pack 2"},
    {"XP Home", 2, 5, 1, 2600, "Service Pack 3", TRUE, 1, 0x200, FALSE, "", 7, 3, 3, 2600, 32, 1, "XP",
     "XP Home, Vs. 5.1, build 2600, Service Pack 3", "WinXPHome-Service Pack 3"},
    {"XP all digits read as one", 2, 5, 1, 2600, "SP 1.2a", TRUE, 1, 0, FALSE, "", 8, 3, 12, 2600, 32, 1, "XP",
     "XP, Vs. 5.1, build 2600, SP 1.2a", "WinXP-SP 1.2a"},
    {"XP blank service text", 2, 5, 1, 2600, " 2", TRUE, 1, 0, FALSE, "", 8, 3, 0, 2600, 32, 1, "XP",
     "XP, Vs. 5.1, build 2600", "WinXP"},
    {"XP 64", 2, 5, 2, 3790, "", TRUE, 1, 0, TRUE, "", 9, 3, 0, 3790, 64, 1, "XP", "XP 64, Vs. 5.2, build 3790",
     "WinXP64"},
    {"2003 not 64-bit", 2, 5, 2, 3790, "Service Pack 1", TRUE, 3, 0, FALSE, "", 10, 3, 1, 3790, 32, 1, "XP",
     "2003 Server, Vs. 5.2, build 3790, Service Pack 1", "Win2003Server-Service Pack 1"},
    {"2003 on 64-bit", 2, 5, 2, 3790, "", TRUE, 3, 0, TRUE, "", 10, 3, 0, 3790, 64, 1, "XP",
     "2003 Server, Vs. 5.2, build 3790", "Win2003Server"},
    {"Vista", 2, 6, 0, 6000, "", TRUE, 1, 0, FALSE, "", 13, 3, 0, 6000, 32, 1, "Vista", "Vista, Vs. 6.0, build 6000",
     "WinVista"},
    {"Vista with edition", 2, 6, 0, 6001, "Service Pack 1", TRUE, 1, 0, FALSE, "Business", 13, 3, 1, 6001, 32, 1,
     "Vista", "Vista Business, Vs. 6.0, build 6001, Service Pack 1", "WinVistaBusiness-Service Pack 1"},
    {"Vista 64", 2, 6, 0, 6000, "", TRUE, 1, 0, TRUE, "", 14, 3, 0, 6000, 64, 1, "Vista",
     "Vista 64, Vs. 6.0, build 6000", "WinVista64"},
    {"Vista 64 with edition", 2, 6, 1, 7601, "Service Pack 1", TRUE, 1, 0, TRUE, "Ultimate", 14, 3, 1, 7601, 64, 1,
     "Vista", "Vista Ultimate 64, Vs. 6.1, build 7601, Service Pack 1", "WinVista64Ultimate-Service Pack 1"},
    {"Vista without the extended record", 2, 6, 0, 6000, "", FALSE, 0, 0, FALSE, "Business", 13, 3, 0, 6000, 32, 1,
     "Vista", "Vista, Vs. 6.0, build 6000", "WinVista"},
    {"Vista 64 without the extended record", 2, 6, 0, 6000, "", FALSE, 0, 0, TRUE, "", 14, 3, 0, 6000, 64, 1,
     "Vista", "Vista 64, Vs. 6.0, build 6000", "WinVista64"},
    {"Vista Home", 2, 6, 0, 6000, "", TRUE, 1, 0x200, FALSE, "", 12, 3, 0, 6000, 32, 1, "Vista",
     "Vista Home, Vs. 6.0, build 6000", "WinVistaHome"},
    {"Vista Home with edition", 2, 6, 0, 6000, "", TRUE, 1, 0x200, FALSE, "Premium", 12, 3, 0, 6000, 32, 1, "Vista",
     "Vista Home Premium, Vs. 6.0, build 6000", "WinVistaHomePremium"},
    {"Vista Home on 64-bit", 2, 6, 0, 6000, "", TRUE, 1, 0x200, TRUE, "Basic", 12, 3, 0, 6000, 64, 1, "Vista",
     "Vista Home Basic, Vs. 6.0, build 6000", "WinVistaHomeBasic"},
    {"2008", 2, 6, 0, 6001, "", TRUE, 3, 0, FALSE, "", 15, 3, 0, 6001, 32, 1, "Vista",
     "2008 Server, Vs. 6.0, build 6001", "Win2008Server"},
    {"2008 with edition", 2, 6, 0, 6001, "Service Pack 2", TRUE, 2, 0, FALSE, "Datacenter", 15, 3, 2, 6001, 32, 1,
     "Vista", "2008 Datacenter Server, Vs. 6.0, build 6001, Service Pack 2",
     "Win2008ServerDatacenter-Service Pack 2"},
    {"2008 64", 2, 6, 1, 7600, "", TRUE, 3, 0, TRUE, "", 16, 3, 0, 7600, 64, 1, "Vista",
     "2008 Server 64, Vs. 6.1, build 7600", "Win200864Server"},
    {"2008 64 with edition", 2, 6, 1, 7600, "", TRUE, 3, 0, TRUE, "Standard(core)", 16, 3, 0, 7600, 64, 1, "Vista",
     "2008 Standard(core) Server 64, Vs. 6.1, build 7600", "Win200864ServerStandard(core)"},
    {"major 10", 2, 10, 0, 19045, "", TRUE, 1, 0, FALSE, "Professional", 3, 3, 0, 19045, 32, 1, "XP", "10.0",
     "Windows"},
    {"major 10 on 64-bit", 2, 10, 0, 19045, "", TRUE, 1, 0, TRUE, "", 3, 3, 0, 19045, 64, 1, "XP", "10.0", "Windows"},
    {"unknown platform", 3, 2, 1, 5, "", FALSE, 0, 0, FALSE, "", 1, 2, 0, 5, 32, 0, "XP", "2.1", "Windows"},
};

TEST(OSVersion, EveryRow)
{
    for (const OSRow &row : kOSRows) {
        SCOPED_TRACE(row.lpszTrace);
        OSVersionInputStruct in;
        memset(&in, 0, sizeof(in));
        in.dwPlatformId = row.dwPlatform;
        in.dwMajor = row.dwMajor;
        in.dwMinor = row.dwMinor;
        in.dwBuild = row.dwBuild;
        fnCopyBounded(in.szCSDVersion, sizeof(in.szCSDVersion), row.lpszCSD);
        in.bHaveEx = row.bHaveEx;
        in.bProductType = row.bProductType;
        in.wSuiteMask = row.wSuite;
        in.bOn64BitWindows = row.b64;
        fnCopyBounded(in.szEdition, sizeof(in.szEdition), row.lpszEdition);
        OSInfoStruct os;
        memset(&os, 0x5a, sizeof(os));
        fnMapOSVersion(&in, &os);
        EXPECT_EQ(row.uIndex, os.uWinIndex);
        EXPECT_EQ(row.uFamily, os.uWinFamily);
        EXPECT_EQ(row.uSR, os.uWinSR);
        EXPECT_EQ(row.dwBuildOut, os.dwWinBuild);
        EXPECT_EQ(row.uBits, os.uWinBits);
        EXPECT_EQ(row.bNT, os.bWinNT);
        EXPECT_EQ(row.dwMajor, os.dwWinMajor);
        EXPECT_EQ(row.dwMinor, os.dwWinMinor);
        EXPECT_EQ(row.dwPlatform, os.dwWinPlatformID);
        EXPECT_STREQ(row.lpszName, os.szWinName);
        EXPECT_STREQ(row.lpszVersion, os.szWinVersion);
        EXPECT_STREQ(row.lpszLabel, os.szWinLabel);
        EXPECT_STREQ(row.lpszCSD, os.szWinVSDescription);
    }
}

TEST(OSVersion, LongServiceTextIsCut)
{
    OSVersionInputStruct in;
    memset(&in, 0, sizeof(in));
    in.dwPlatformId = 2;
    in.dwMajor = 5;
    in.dwMinor = 1;
    in.dwBuild = 2600;
    memset(in.szCSDVersion, 'S', sizeof(in.szCSDVersion) - 1);
    OSInfoStruct os;
    fnMapOSVersion(&in, &os);
    EXPECT_EQ(CCH_WINVERSION - 1, (int)strlen(os.szWinVersion));
    EXPECT_EQ(0, strncmp(os.szWinVersion, "XP, Vs. 5.1, build 2600, SSS", 28));
    EXPECT_EQ(CCH_WINVSDESC - 1, (int)strlen(os.szWinVSDescription));
}

TEST(OSVersion, EditionNames)
{
    struct Row {
        DWORD dwType;
        const char *lpszName;
    } aRows[] = {{1, "Ultimate"}, {2, "Basic"}, {5, "Basic"}, {3, "Premium"}, {4, "Enterprise"}, {10, "Enterprise"},
                 {6, "Business"}, {16, "Business"}, {7, "Standard"}, {8, "Datacenter"}, {11, "Starter"},
                 {12, "Datacenter(core)"}, {13, "Standard(core)"}, {14, "Enterprise(core)"},
                 {15, "Enterprise(Itanium)"}, {17, "Web"}, {0xABCDABCD, "Unlicensed"}, {0, NULL}, {9, NULL},
                 {0x30, NULL}};
    for (const Row &row : aRows) {
        SCOPED_TRACE(row.dwType);
        if (row.lpszName) {
            EXPECT_STREQ(row.lpszName, fnEditionName(row.dwType));
        } else {
            EXPECT_EQ(nullptr, fnEditionName(row.dwType));
        }
    }
}

/* ---- SMBIOS ---- */

/* Appends one structure: formatted area (type, length, handle, then lpbBody) and its strings. */
void AddStructure(std::vector<BYTE> *lpTable, BYTE bType, std::vector<BYTE> body, std::vector<std::string> strings)
{
    lpTable->push_back(bType);
    lpTable->push_back((BYTE)(4 + body.size()));
    lpTable->push_back(0x10);
    lpTable->push_back(0x00);
    lpTable->insert(lpTable->end(), body.begin(), body.end());
    for (const std::string &s : strings) {
        lpTable->insert(lpTable->end(), s.begin(), s.end());
        lpTable->push_back(0);
    }
    if (strings.empty())
        lpTable->push_back(0);
    lpTable->push_back(0);
}

std::vector<BYTE> SampleTable()
{
    std::vector<BYTE> t;
    AddStructure(&t, 0, {1, 2, 0, 0}, {"BIOS Vendor", "1.0"});
    /* system: manufacturer 1, product 2, version 3, serial 4 */
    AddStructure(&t, 1, {1, 2, 3, 4, 0, 0, 0, 0}, {"  Maker Inc.  ", "Model 7", "v1", "\tSN-123 "});
    /* an empty socket before the real processor */
    std::vector<BYTE> cpuEmpty(22, 0);
    AddStructure(&t, 4, cpuEmpty, {});
    std::vector<BYTE> cpu(22, 0);
    cpu[19] = 0x09;  /* offset 22: 2400 MHz = 0x0960 */
    cpu[18] = 0x60;
    AddStructure(&t, 4, cpu, {"CPU"});
    AddStructure(&t, 127, {}, {});
    return t;
}

TEST(Smbios, SelectorsOnAHandBuiltTable)
{
    std::vector<BYTE> t = SampleTable();
    struct Row {
        UINT uSelector;
        BOOL bFound;
        const char *lpszValue;
    } aRows[] = {
        {SMBIOS_SYS_MANUFACTURER, TRUE, "Maker Inc."},
        {SMBIOS_SYS_PRODUCT, TRUE, "Model 7"},
        {SMBIOS_SYS_SERIAL, TRUE, "SN-123"},
        {SMBIOS_CPU_SPEED, TRUE, "2400MHz"},
        {26, FALSE, ""},
    };
    for (const Row &row : aRows) {
        SCOPED_TRACE(row.uSelector);
        char szOut[64] = "junk";
        EXPECT_EQ(row.bFound, fnSmbiosValue(t.data(), t.size(), row.uSelector, szOut, sizeof(szOut)));
        EXPECT_STREQ(row.lpszValue, szOut);
    }
}

TEST(Smbios, MissingEmptyAndDamagedValues)
{
    char szOut[64];
    /* string number 0, a blank string and a number past the strings */
    std::vector<BYTE> t;
    AddStructure(&t, 1, {0, 1, 0, 9}, {"   "});
    EXPECT_FALSE(fnSmbiosValue(t.data(), t.size(), SMBIOS_SYS_MANUFACTURER, szOut, sizeof(szOut)));
    EXPECT_FALSE(fnSmbiosValue(t.data(), t.size(), SMBIOS_SYS_PRODUCT, szOut, sizeof(szOut)));
    EXPECT_FALSE(fnSmbiosValue(t.data(), t.size(), SMBIOS_SYS_SERIAL, szOut, sizeof(szOut)));
    EXPECT_STREQ("", szOut);

    /* a processor structure too short to hold the speed */
    std::vector<BYTE> shortCpu;
    AddStructure(&shortCpu, 4, std::vector<BYTE>(16, 0x11), {});
    EXPECT_FALSE(fnSmbiosValue(shortCpu.data(), shortCpu.size(), SMBIOS_CPU_SPEED, szOut, sizeof(szOut)));

    /* nothing after the end structure is read */
    std::vector<BYTE> ended;
    AddStructure(&ended, 127, {}, {});
    AddStructure(&ended, 1, {1, 1, 0, 1}, {"After"});
    EXPECT_FALSE(fnSmbiosValue(ended.data(), ended.size(), SMBIOS_SYS_MANUFACTURER, szOut, sizeof(szOut)));

    /* every cut of a good table stays inside the buffer (the sanitizers watch) */
    std::vector<BYTE> good = SampleTable();
    for (size_t cb = 0; cb < good.size(); cb++) {
        std::vector<BYTE> cut(good.begin(), good.begin() + cb);
        for (UINT u : {24u, 25u, 27u, 416u})
            fnSmbiosValue(cut.data(), cut.size(), u, szOut, sizeof(szOut));
    }
    /* a length byte below the header size ends the walk */
    std::vector<BYTE> bad = {1, 2, 0, 0, 0, 0};
    EXPECT_FALSE(fnSmbiosValue(bad.data(), bad.size(), SMBIOS_SYS_MANUFACTURER, szOut, sizeof(szOut)));

    /* a value longer than the output is cut */
    std::vector<BYTE> longName;
    AddStructure(&longName, 1, {1, 0, 0, 0}, {"ABCDEFGHIJ"});
    char szSmall[5];
    EXPECT_TRUE(fnSmbiosValue(longName.data(), longName.size(), SMBIOS_SYS_MANUFACTURER, szSmall, sizeof(szSmall)));
    EXPECT_STREQ("ABCD", szSmall);
}

TEST(Smbios, AnchorAtSixteenByteBoundaries)
{
    std::vector<BYTE> mem(256, 0);
    memcpy(&mem[40], "_SM_", 4);   /* not on a boundary */
    EXPECT_EQ(-1, fnFindSmbiosAnchor(mem.data(), mem.size()));
    memcpy(&mem[96], "_SM_", 4);
    EXPECT_EQ(96, fnFindSmbiosAnchor(mem.data(), mem.size()));
    memcpy(&mem[252], "_SM_", 4);
    EXPECT_EQ(96, fnFindSmbiosAnchor(mem.data(), mem.size()));
    EXPECT_EQ(-1, fnFindSmbiosAnchor(mem.data(), 96 + 3));
}

/* ---- network adapters ---- */

NetAdapterStruct Adapter(BYTE bLast, const char *lpszIp, UINT uType = 6, UINT cbAddress = 6)
{
    NetAdapterStruct a;
    memset(&a, 0, sizeof(a));
    a.uType = uType;
    a.cbAddress = cbAddress;
    const BYTE abMac[6] = {0x00, 0x1a, 0x2b, 0x3c, 0x4d, bLast};
    memcpy(a.abAddress, abMac, 6);
    fnCopyBounded(a.szIp, sizeof(a.szIp), lpszIp);
    fnFormatBounded(a.szMask, sizeof(a.szMask), "255.255.%u.0", bLast);
    fnFormatBounded(a.szGateway, sizeof(a.szGateway), "10.0.%u.1", bLast);
    return a;
}

NetIfRowStruct IfRow(BYTE bLast, DWORD dwStatus, ULONGLONG ullOut)
{
    NetIfRowStruct r;
    memset(&r, 0, sizeof(r));
    const BYTE abMac[6] = {0x00, 0x1a, 0x2b, 0x3c, 0x4d, bLast};
    memcpy(r.abPhysAddr, abMac, 6);
    r.cbPhysAddr = 6;
    r.dwOperStatus = dwStatus;
    r.ullOutOctets = ullOut;
    return r;
}

TEST(NetAdapters, PrimaryActiveInactiveOrder)
{
    NetAdapterStruct aAdapters[] = {
        Adapter(0x01, "10.1.1.1"),        /* operational, 100 sent: primary until 0x03 */
        Adapter(0x02, "0.0.0.0"),         /* no address: inactive */
        Adapter(0x03, "10.3.3.3"),        /* operational, 500 sent: primary */
        Adapter(0x04, "10.4.4.4"),        /* operational, 50 sent: active */
        Adapter(0x05, "10.5.5.5"),        /* not operational: inactive */
        Adapter(0x06, "10.6.6.6", 71),    /* wireless: not listed */
        Adapter(0x07, "10.7.7.7", 6, 8),  /* not a 6-byte address: not listed */
        Adapter(0x08, "10.8.8.8"),        /* no interface row: inactive */
    };
    NetIfRowStruct aRows[] = {IfRow(0x01, 5, 100), IfRow(0x03, 4, 500), IfRow(0x04, 5, 50), IfRow(0x05, 2, 900),
                              IfRow(0x02, 5, 999)};
    char szList[512], szMask[16], szGateway[16];
    EXPECT_EQ(6, fnOrderNetAdapters(aAdapters, 8, aRows, 5, szList, sizeof(szList), szMask, sizeof(szMask),
                                    szGateway, sizeof(szGateway)));
    EXPECT_STREQ("001A2B3C4D03-10.3.3.3;001A2B3C4D01-10.1.1.1;001A2B3C4D04-10.4.4.4;"
                 "001A2B3C4D02-0.0.0.0;001A2B3C4D05-10.5.5.5;001A2B3C4D08-10.8.8.8",
                 szList);
    /* the mask and gateway are those of the last Ethernet adapter */
    EXPECT_STREQ("255.255.8.0", szMask);
    EXPECT_STREQ("10.0.8.1", szGateway);
}

TEST(NetAdapters, TheOneThatSentMoreComesFirst)
{
    struct Row {
        ULONGLONG ullFirst, ullSecond;
        const char *lpszList;
    } aRows[] = {
        {10, 20, "001A2B3C4D02-10.0.0.2;001A2B3C4D01-10.0.0.1"},
        {20, 10, "001A2B3C4D01-10.0.0.1;001A2B3C4D02-10.0.0.2"},
        {10, 10, "001A2B3C4D01-10.0.0.1;001A2B3C4D02-10.0.0.2"},
    };
    for (const Row &row : aRows) {
        SCOPED_TRACE(row.lpszList);
        NetAdapterStruct aAdapters[] = {Adapter(1, "10.0.0.1"), Adapter(2, "10.0.0.2")};
        NetIfRowStruct aIf[] = {IfRow(1, 5, row.ullFirst), IfRow(2, 5, row.ullSecond)};
        char szList[128];
        EXPECT_EQ(2, fnOrderNetAdapters(aAdapters, 2, aIf, 2, szList, sizeof(szList), NULL, 0, NULL, 0));
        EXPECT_STREQ(row.lpszList, szList);
    }
}

TEST(NetAdapters, SameAddressOnSeveralInterfaces)
{
    /* a filter interface that is down must not hide the operational one with the same address */
    NetAdapterStruct aAdapters[] = {Adapter(1, "10.0.0.1")};
    NetIfRowStruct aIf[] = {IfRow(1, 2, 0), IfRow(1, 5, 10)};
    char szList[128];
    fnOrderNetAdapters(aAdapters, 1, aIf, 2, szList, sizeof(szList), NULL, 0, NULL, 0);
    EXPECT_STREQ("001A2B3C4D01-10.0.0.1", szList);
}

TEST(NetAdapters, NoneAndCutLists)
{
    char szList[64] = "junk", szMask[16] = "junk", szGateway[16] = "junk";
    EXPECT_EQ(0, fnOrderNetAdapters(NULL, 0, NULL, 0, szList, sizeof(szList), szMask, sizeof(szMask), szGateway,
                                    sizeof(szGateway)));
    EXPECT_STREQ("NA-0.0.0.0", szList);
    EXPECT_STREQ("", szMask);
    EXPECT_STREQ("", szGateway);

    /* a list that does not fit keeps whole entries only */
    NetAdapterStruct aAdapters[] = {Adapter(1, "10.0.0.1"), Adapter(2, "10.0.0.2")};
    NetIfRowStruct aIf[] = {IfRow(1, 5, 2), IfRow(2, 5, 1)};
    char szShort[30];
    EXPECT_EQ(2, fnOrderNetAdapters(aAdapters, 2, aIf, 2, szShort, sizeof(szShort), NULL, 0, NULL, 0));
    EXPECT_STREQ("001A2B3C4D01-10.0.0.1", szShort);
}

/* ---- start-up folders through faked machine facts ---- */

BOOL g_bFakeHasProgramFiles;

BOOL FakeReadRegistry(UINT uRoot, const char *lpszLookup, char *lpszValue, size_t cchValue, UINT)
{
    if (g_bFakeHasProgramFiles && uRoot == REGROOT_LOCAL_MACHINE &&
        strcmp(lpszLookup, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ProgramFilesDir") == 0)
        return fnCopyBounded(lpszValue, cchValue, "D:\\Apps");
    lpszValue[0] = '\0';
    return FALSE;
}

BOOL FakeShellFolder(BOOL bCommon, const char *lpszFolder, char *lpszPath, size_t cchPath, UINT uDefaultId)
{
    fnFormatBounded(lpszPath, cchPath, "%s|%s|%u", bCommon ? "common" : "user", lpszFolder, uDefaultId);
    return TRUE;
}

int FakeLoadString(UINT uId, char *lpszOut, size_t cchOut)
{
    return uId == 1251 ? fnFormatBounded(lpszOut, cchOut, "C:\\Program Files") : 0;
}

TEST(RegGlobals, FromTheRegistryOrTheDefaults)
{
    MachineLookupStruct fake = g_machineNone;
    fake.pfnReadRegistry = FakeReadRegistry;
    fake.pfnGetShellFolder = FakeShellFolder;
    fake.pfnLoadString = FakeLoadString;
    g_lpMachine = &fake;

    g_bFakeHasProgramFiles = TRUE;
    fnReadRegGlobals();
    EXPECT_STREQ("D:\\Apps", g_szProgramFilesDir);
    EXPECT_STREQ("user|Programs|1254", g_szUserProgramsFolder);

    g_bFakeHasProgramFiles = FALSE;
    fnReadRegGlobals();
    EXPECT_STREQ("C:\\Program Files", g_szProgramFilesDir);

    g_lpMachine = &g_machineNone;
}

TEST(Trim, Blanks)
{
    struct Row {
        const char *lpszIn, *lpszOut;
    } aRows[] = {{"  a b  ", "a b"}, {"\t\r\nx\n", "x"}, {"   ", ""}, {"", ""}, {"ab", "ab"}};
    for (const Row &row : aRows) {
        SCOPED_TRACE(row.lpszIn);
        char sz[16];
        fnCopyBounded(sz, sizeof(sz), row.lpszIn);
        fnTrimValue(sz);
        EXPECT_STREQ(row.lpszOut, sz);
    }
}

}  // namespace
