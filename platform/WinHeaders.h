// The Windows headers the programs use, included in one fixed order.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <winspool.h>
#include <setupapi.h>
#include <aclapi.h>
#include <shlwapi.h>
#include <commctrl.h>
#include <msi.h>
#include <msiquery.h>

// Display scale functions of Windows 10 (1607 on). The programs build for an
// older WINVER and bind them at run time (OsFunctions.h), so only their
// declarations are needed here, never an import.
#if WINVER < 0x0605
extern "C" {
UINT WINAPI GetDpiForWindow(HWND window);
int WINAPI GetSystemMetricsForDpi(int index, UINT dpi);
DPI_AWARENESS_CONTEXT WINAPI GetWindowDpiAwarenessContext(HWND window);
BOOL WINAPI AreDpiAwarenessContextsEqual(DPI_AWARENESS_CONTEXT a, DPI_AWARENESS_CONTEXT b);
}
#endif
#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif
