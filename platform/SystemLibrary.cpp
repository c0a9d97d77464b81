#include "platform/SystemLibrary.h"

#include <cstring>

namespace vkp {

namespace {

template <typename Fn>
Fn KernelFunction(const char* name) {
  const HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
  if (kernel == nullptr) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(::GetProcAddress(kernel, name)));
}

}  // namespace

void RestrictDllSearchToSystem() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  using SetDllDirectoryFn = BOOL(WINAPI*)(LPCSTR);
  const auto setDefault = KernelFunction<SetDefaultDllDirectoriesFn>("SetDefaultDllDirectories");
  if (setDefault != nullptr && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
  const auto setDirectory = KernelFunction<SetDllDirectoryFn>("SetDllDirectoryA");
  if (setDirectory != nullptr) setDirectory("");
}

HMODULE LoadSystemLibrary(const char* name) {
  HMODULE module = ::LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (module != nullptr || ::GetLastError() != ERROR_INVALID_PARAMETER) return module;
  // Systems without the search flags: the full path, and the DLL's own folder
  // for what it needs in turn.
  char path[MAX_PATH];
  const UINT length = ::GetSystemDirectoryA(path, MAX_PATH);
  if (length == 0 || length + 1 + std::strlen(name) >= MAX_PATH) return nullptr;
  path[length] = '\\';
  std::strcpy(path + length + 1, name);
  return ::LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace vkp
