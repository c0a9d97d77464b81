// The list of every operating-system function the programs call through the
// platform seam, with the kind of value that reports its failure. The seam
// (Os.h) and the test hooks are both generated from this one list.
//
// Failure kinds:
//   Zero        FALSE, NULL, 0
//   BadHandle   INVALID_HANDLE_VALUE
//   ErrorCode   the function returns the Windows error code itself
//   BadAttrs    INVALID_FILE_ATTRIBUTES / INVALID_SET_FILE_POINTER (all bits set)
//   NoFail      void functions: cannot be made to fail
#pragma once

// The print spooler's functions. WINSPOOL.DRV is not one of the DLLs the
// system always loads from its own directory, so the programs bind these at
// run time from the system directory instead of importing them (Os.cpp).
#define VKP_OS_SPOOLER_FUNCTIONS(X)             \
  X(EnumPrintersA, Zero)                        \
  X(EnumPrinterDriversA, Zero)                  \
  X(EnumPrintProcessorsA, Zero)                 \
  X(EnumMonitorsA, Zero)                        \
  X(EnumJobsA, Zero)                            \
  X(SetJobA, Zero)                              \
  X(EnumFormsA, Zero)                           \
  X(DeleteFormA, Zero)                          \
  X(OpenPrinterA, Zero)                         \
  X(ClosePrinter, Zero)                         \
  X(GetPrinterDataA, ErrorCode)                 \
  X(AddPrinterA, Zero)                          \
  X(DeletePrinter, Zero)                        \
  X(AddPrinterDriverA, Zero)                    \
  X(DeletePrinterDriverExA, Zero)               \
  X(AddMonitorA, Zero)                          \
  X(DeleteMonitorA, Zero)                       \
  X(AddPrintProcessorA, Zero)                   \
  X(DeletePrintProcessorA, Zero)                \
  X(GetPrinterDriverDirectoryA, Zero)           \
  X(GetPrintProcessorDirectoryA, Zero)          \
  X(XcvDataW, Zero)

// Kernel functions newer than Windows 2000, which the programs still start
// on (to refuse or to install): bound at run time from kernel32 (Os.cpp), as
// an import would keep the program from loading there.
#define VKP_OS_KERNEL_LATE_FUNCTIONS(X)         \
  X(GetSystemWow64DirectoryA, Zero)

// Display scale functions of user32, newer than Windows 2000 (Windows 10
// 1607 on): bound at run time from user32 (Os.cpp). Where they are missing
// the dialog layer falls back to the system's one scale (ui/Dpi.cpp).
#define VKP_OS_USER_LATE_FUNCTIONS(X)           \
  X(GetDpiForWindow, Zero)                      \
  X(GetSystemMetricsForDpi, Zero)               \
  X(GetWindowDpiAwarenessContext, Zero)         \
  X(AreDpiAwarenessContextsEqual, Zero)

// Graphics functions the installer needs only for a change of display
// scale. The installer imports nothing from gdi32 and keeps it so: bound at
// run time from the system directory (Os.cpp), where user32 has loaded it.
#define VKP_OS_GDI_LATE_FUNCTIONS(X)            \
  X(GetDeviceCaps, Zero)                        \
  X(GetObjectA, Zero)                           \
  X(CreateFontIndirectA, Zero)                  \
  X(DeleteObject, Zero)

// The functions imported at load time, all from DLLs the system loads from
// its own directory (KnownDLLs from Vista on).
#define VKP_OS_IMPORTED_FUNCTIONS(X)            \
  /* files, directories, paths */               \
  X(CreateFileA, BadHandle)                     \
  X(WriteFile, Zero)                            \
  X(ReadFile, Zero)                             \
  X(SetFilePointer, BadAttrs)                   \
  X(GetFileSize, BadAttrs)                      \
  X(CloseHandle, Zero)                          \
  X(DeleteFileA, Zero)                          \
  X(CopyFileA, Zero)                            \
  X(MoveFileA, Zero)                            \
  X(MoveFileExA, Zero)                          \
  X(CreateDirectoryA, Zero)                     \
  X(RemoveDirectoryA, Zero)                     \
  X(GetFileAttributesA, BadAttrs)               \
  X(GetFileInformationByHandle, Zero)           \
  X(SetFileAttributesA, Zero)                   \
  X(FindFirstFileA, BadHandle)                  \
  X(FindNextFileA, Zero)                        \
  X(FindFirstFileW, BadHandle)                  \
  X(FindNextFileW, Zero)                        \
  X(FindClose, Zero)                            \
  X(GetWindowsDirectoryA, Zero)                 \
  X(GetSystemDirectoryA, Zero)                  \
  X(GetCurrentDirectoryA, Zero)                 \
  X(SetCurrentDirectoryA, Zero)                 \
  X(GetModuleFileNameA, Zero)                   \
  /* the program's own resources */             \
  X(FindResourceA, Zero)                        \
  X(LoadResource, Zero)                         \
  X(LockResource, Zero)                         \
  X(SizeofResource, Zero)                       \
  X(GetPrivateProfileStringA, Zero)             \
  /* processes, modules, time, version */       \
  X(CreateProcessA, Zero)                       \
  X(WaitForSingleObject, BadAttrs)              \
  X(GetExitCodeProcess, Zero)                   \
  X(GlobalAddAtomA, Zero)                       \
  X(GlobalFindAtomA, Zero)                      \
  X(GlobalDeleteAtom, NoFail)                   \
  X(Sleep, NoFail)                              \
  X(ExitProcess, NoFail)                        \
  X(GetCurrentProcess, NoFail)                  \
  X(GetModuleHandleA, Zero)                     \
  X(GetProcAddress, Zero)                       \
  X(GetVersionExA, Zero)                        \
  X(GetLocalTime, NoFail)                       \
  X(FormatMessageA, Zero)                       \
  X(GetLastError, NoFail)                       \
  X(LocalFree, NoFail)                          \
  /* text conversion */                         \
  X(MultiByteToWideChar, Zero)                  \
  X(WideCharToMultiByte, Zero)                  \
  /* user interaction */                        \
  X(MessageBoxA, Zero)                          \
  /* registry and shell registry */             \
  X(RegOpenKeyExA, ErrorCode)                   \
  X(RegCreateKeyExA, ErrorCode)                 \
  X(RegCloseKey, ErrorCode)                     \
  X(RegSetValueExA, ErrorCode)                  \
  X(RegQueryValueExA, ErrorCode)                \
  X(RegDeleteValueA, ErrorCode)                 \
  X(RegDeleteKeyA, ErrorCode)                   \
  X(RegEnumKeyExA, ErrorCode)                   \
  X(RegConnectRegistryA, ErrorCode)             \
  X(SHDeleteKeyA, ErrorCode)                    \
  /* security, privileges, restart */           \
  X(GetSecurityInfo, ErrorCode)                 \
  X(SetSecurityInfo, ErrorCode)                 \
  X(SetEntriesInAclA, ErrorCode)                \
  X(BuildExplicitAccessWithNameA, NoFail)       \
  X(AllocateAndInitializeSid, Zero)             \
  X(FreeSid, NoFail)                            \
  X(EqualSid, Zero)                             \
  X(InitializeSecurityDescriptor, Zero)         \
  X(SetSecurityDescriptorDacl, Zero)            \
  X(OpenProcessToken, Zero)                     \
  X(GetTokenInformation, Zero)                  \
  X(LookupPrivilegeValueA, Zero)                \
  X(AdjustTokenPrivileges, Zero)                \
  X(ExitWindowsEx, Zero)                        \
  /* setup API and device database */          \
  X(SetupOpenInfFileA, BadHandle)               \
  X(SetupCloseInfFile, NoFail)                  \
  X(SetupFindFirstLineA, Zero)                  \
  X(SetupCopyOEMInfA, Zero)                     \
  X(SetupGetInfFileListW, Zero)                 \
  X(SetupDiGetClassDevsA, BadHandle)            \
  X(SetupDiEnumDeviceInfo, Zero)                \
  X(SetupDiGetDeviceRegistryPropertyA, Zero)    \
  X(SetupDiRemoveDevice, Zero)                  \
  X(SetupDiDestroyDeviceInfoList, Zero)

// Windows Installer's functions, which only the package's custom actions
// call, with the session handle msiexec gives them: bound at run time from
// the system directory (Os.cpp), so that the programs never load msi.dll.
#define VKP_OS_MSI_LATE_FUNCTIONS(X)            \
  X(MsiGetPropertyA, ErrorCode)                 \
  X(MsiSetPropertyA, ErrorCode)                 \
  X(MsiCreateRecord, Zero)                      \
  X(MsiRecordSetStringA, ErrorCode)             \
  X(MsiProcessMessage, BadAttrs)                \
  X(MsiCloseHandle, ErrorCode)                  \
  X(MsiSetMode, ErrorCode)

#define VKP_OS_FUNCTIONS(X)    \
  VKP_OS_IMPORTED_FUNCTIONS(X)    \
  VKP_OS_KERNEL_LATE_FUNCTIONS(X) \
  VKP_OS_USER_LATE_FUNCTIONS(X)   \
  VKP_OS_GDI_LATE_FUNCTIONS(X)    \
  VKP_OS_MSI_LATE_FUNCTIONS(X)    \
  VKP_OS_SPOOLER_FUNCTIONS(X)
