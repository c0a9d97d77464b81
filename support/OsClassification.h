// The operating-system codes 2000 to 2010 and their classification from the
// fields of the extended version record. Pure.
#pragma once

namespace vkp {

enum OsCode : int {
  kOsWin95 = 2000,
  kOsWin98 = 2001,
  kOsWinMe = 2002,
  kOsWinNT4 = 2003,
  kOsWin2000 = 2004,
  kOsWinXP = 2005,
  kOsWin2003 = 2006,
  kOsVista = 2007,
  kOsWin2008 = 2008,
  kOsWin2008R2 = 2009,
  kOsWin7OrUnknown = 2010,
};

constexpr unsigned kPlatformWin32Windows = 1;  // VER_PLATFORM_WIN32_WINDOWS
constexpr unsigned kPlatformWin32NT = 2;       // VER_PLATFORM_WIN32_NT
constexpr unsigned kProductWorkstation = 1;    // VER_NT_WORKSTATION

int ClassifyOs(unsigned platformId, unsigned major, unsigned minor, unsigned productType);

}  // namespace vkp
