// The entry point of every DLL of the package and of the stand-ins (each
// target gets this file from vkp_dll() or vkp_standin()): none of them keeps
// per-thread state, so thread notifications are switched off.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
  if (reason == DLL_PROCESS_ATTACH)
    DisableThreadLibraryCalls(instance);
  return TRUE;
}
