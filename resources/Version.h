// The release's version and names: the one place both programs' string
// tables, every VERSIONINFO (programs, package DLLs, stand-ins) and the
// package build's checks of the INF and GPD take them from. Plain #defines,
// so that windres, the compilers and CMake can all read it.
#pragma once

#define VKP_VERSION_MAJOR 2
#define VKP_VERSION_MINOR 0
#define VKP_VERSION_BUILD 2
#define VKP_VERSION_EXTRA 0

#define VKP_STRINGIFY_(x) #x
#define VKP_STRINGIFY(x) VKP_STRINGIFY_(x)
#define VKP_VERSION_MAJOR_STR VKP_STRINGIFY(VKP_VERSION_MAJOR)
#define VKP_VERSION_MINOR_STR VKP_STRINGIFY(VKP_VERSION_MINOR)
#define VKP_VERSION_BUILD_STR VKP_STRINGIFY(VKP_VERSION_BUILD)
#define VKP_VERSION_EXTRA_STR VKP_STRINGIFY(VKP_VERSION_EXTRA)
// "2.0.2.0"
#define VKP_VERSION_STR \
  VKP_VERSION_MAJOR_STR "." VKP_VERSION_MINOR_STR "." VKP_VERSION_BUILD_STR "." VKP_VERSION_EXTRA_STR

#define VKP_COMPANY_NAME "NORVEKA"
#define VKP_PRODUCT_NAME "NORVEKA VKP-M200 Windows Driver"
// The uninstall entry the installer registers (HKLM, the 64-bit view on
// 64-bit Windows); the package's custom actions hide it under the MSI's own.
#define VKP_UNINSTALL_KEY "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\NORVEKA_VKP-M200"

#define VKP_LEGAL_COPYRIGHT "Copyright (C) 2024 NORVEKA"
