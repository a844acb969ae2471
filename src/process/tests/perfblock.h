/*
 * process/tests/perfblock.h -- synthetic performance data for the process
 * lookup tests: a "Counter 009" list and a data block with a "Process" object
 * (index 230) whose "ID Process" counter (784) holds the given ids.
 */
#ifndef TG_PROCESS_TESTS_PERFBLOCK_H
#define TG_PROCESS_TESTS_PERFBLOCK_H

#include <string.h>

#include <string>
#include <utility>
#include <vector>

#include "common/tgtypes.h"

inline std::string fnCounterList(const std::vector<std::pair<const char *, const char *>> &pairs)
{
    std::string s;
    for (const auto &p : pairs) {
        s.append(p.first).push_back('\0');
        s.append(p.second).push_back('\0');
    }
    return s;
}

inline void fnPutDword(std::vector<BYTE> &v, size_t nAt, DWORD dw)
{
    uint32_t u = (uint32_t)dw;
    if (v.size() < nAt + 4)
        v.resize(nAt + 4);
    memcpy(v.data() + nAt, &u, 4);
}

/* Header (88 bytes), a "Thread" object (232) without instances, then the "Process" object at offset 152. */
inline std::vector<BYTE> fnPerfBlock(const std::vector<DWORD> &pids, size_t cbPadTo = 0)
{
    std::vector<BYTE> v(88, 0);
    fnPutDword(v, 24, 88);
    fnPutDword(v, 28, 2);
    size_t o1 = v.size();
    v.resize(o1 + 64);
    fnPutDword(v, o1 + 0, 64);
    fnPutDword(v, o1 + 4, 64);
    fnPutDword(v, o1 + 8, 64);
    fnPutDword(v, o1 + 12, 232);
    fnPutDword(v, o1 + 40, 0xFFFFFFFF);
    size_t o2 = v.size();
    v.resize(o2 + 64 + 2 * 40);
    fnPutDword(v, o2 + 8, 64);
    fnPutDword(v, o2 + 12, 230);
    fnPutDword(v, o2 + 32, 2);
    fnPutDword(v, o2 + 40, (DWORD)pids.size());
    fnPutDword(v, o2 + 64 + 0, 40);     /* counter 1: another one */
    fnPutDword(v, o2 + 64 + 4, 6);
    fnPutDword(v, o2 + 64 + 36, 4);
    fnPutDword(v, o2 + 104 + 0, 40);    /* counter 2: "ID Process" at offset 8 of each counter block */
    fnPutDword(v, o2 + 104 + 4, 784);
    fnPutDword(v, o2 + 104 + 36, 8);
    fnPutDword(v, o2 + 4, (DWORD)(v.size() - o2));
    for (DWORD pid : pids) {
        size_t i = v.size();
        v.resize(i + 32 + 12);
        fnPutDword(v, i, 32);
        fnPutDword(v, i + 32, 12);
        fnPutDword(v, i + 32 + 8, pid);
    }
    fnPutDword(v, o2, (DWORD)(v.size() - o2));
    if (v.size() < cbPadTo)
        v.resize(cbPadTo);
    fnPutDword(v, 20, (DWORD)v.size());
    return v;
}

#endif
