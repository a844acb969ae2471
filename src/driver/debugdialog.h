/*
 * driver/debugdialog.h -- the level-1 box and level-2 dialog of the debug log.
 */
#ifndef TG_DRIVER_DEBUGDIALOG_H
#define TG_DRIVER_DEBUGDIALOG_H

#include <windows.h>

#define DEBUG_DELAY_DEFAULT 5000

/* Milliseconds after which the debug dialog closes by itself; its buttons change it. */
extern UINT g_uDebugDelay;

/* Connects the debug log's levels 1 and 2 to the box and the dialog. */
void fnInstallDebugUi(void);

/* The delay after "+" (100 ms less up to 1000, else 500 less, never below 0) and "-" (500 more below 60,000). */
UINT fnDebugDelayFaster(UINT uDelay);
UINT fnDebugDelaySlower(UINT uDelay);

#endif
