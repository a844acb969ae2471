/*
 * main/winmain.cpp -- the program entry of setup32.exe.
 */
#include <windows.h>

#include "driver/startup.h"

int WINAPI WinMain(HINSTANCE hInst, HINSTANCE hPrevInst, LPSTR lpszCmdLine, int nCmdShow)
{
    (void)hPrevInst;
    return fnRunProgram(hInst, lpszCmdLine, nCmdShow);
}
