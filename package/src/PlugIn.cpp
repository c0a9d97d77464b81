// Minimal plug-in module: the package names several DLLs that the spooler
// only copies and loads by name. Each one is a real DLL with one harmless
// export telling which module it is, so a loader test can tell them apart.
#include <windows.h>

#ifndef VKP_MODULE_ID
#error VKP_MODULE_ID must be defined
#endif

// High word: package version 2.0; low word: the module's id.
extern "C" __declspec(dllexport) DWORD WINAPI VkpModuleInfo()
{
  return (0x0200u << 16) | static_cast<DWORD>(VKP_MODULE_ID);
}
