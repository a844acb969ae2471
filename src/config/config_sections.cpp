/*
 * config/config_sections.cpp -- the registry, environment, defaults and configuration-file sections.
 * Section kinds that this build does not carry out yet report so in the
 * debug log and let the run go on.
 */
#include "driver/handlers.h"

UINT fnRegistrySection(HWND hWnd, const char *lpszSection, const char *lpszName)
{
    return fnNotYetHandled("fnRegistrySection", lpszSection, lpszName);
}
