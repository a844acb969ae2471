/*
 * install/mismatchlb.h -- the list box class of the version-conflict dialog,
 * whose two lists scroll together.
 */
#ifndef TG_INSTALL_MISMATCHLB_H
#define TG_INSTALL_MISMATCHLB_H

#include <windows.h>

/* Registers "MisMatchLBTG7K9" (string 1022) derived from the system list box; safe to call twice. */
BOOL fnRegisterMismatchListClass(HINSTANCE hInst);

#endif
