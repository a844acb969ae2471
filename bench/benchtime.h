/*
 * bench/benchtime.h -- what every benchmark program shares: a millisecond
 * clock and the Markdown table row each measurement prints.
 */
#ifndef TG_BENCH_BENCHTIME_H
#define TG_BENCH_BENCHTIME_H

#include <windows.h>

#include <stdio.h>

/* Milliseconds from the performance counter: only differences mean anything. */
static inline double fnNowMs(void)
{
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return (double)c.QuadPart * 1000.0 / (double)f.QuadPart;
}

/* One row "| what | size | n ms | note |", flushed so a run that hangs later still shows it. */
static inline void fnRow(const char *lpszWhat, const char *lpszSize, double dMs, const char *lpszNote)
{
    printf("| %s | %s | %.1f ms | %s |\n", lpszWhat, lpszSize, dMs, lpszNote);
    fflush(stdout);
}

#endif
