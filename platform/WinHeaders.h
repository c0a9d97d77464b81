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
