// What the spooler DLLs have in common: the package's language monitor and
// print processor, and the test-prefix stand-ins built with them. The
// spooler reads a failure as FALSE or a null handle plus the thread's last
// error; handles we give out are our own objects, recognised by a magic
// number so that a stale or foreign handle is refused instead of used.
#pragma once

#include <windows.h>
#include <winspool.h>
#include <winsplp.h>

#include <new>
#include <utility>

namespace vkpdll {

// Converts to the failure value of the caller's return type: FALSE, or a
// null pointer or handle.
struct Failure {
  operator BOOL() const { return FALSE; }
  template <typename T>
  operator T*() const { return nullptr; }
};

// Sets the thread's last error: `return Fail(ERROR_...);`.
inline Failure Fail(DWORD error)
{
  SetLastError(error);
  return {};
}

// A new object, or null with ERROR_NOT_ENOUGH_MEMORY: nothing may throw
// into the spooler.
template <typename T, typename... Args>
T* New(Args&&... args)
{
  T* object = new (std::nothrow) T(std::forward<Args>(args)...);
  if (object == nullptr)
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return object;
}

// Hands a new object out as the caller's handle: TRUE, or FALSE with
// ERROR_NOT_ENOUGH_MEMORY.
template <typename T, typename... Args>
BOOL HandOut(PHANDLE handle, Args&&... args)
{
  T* object = New<T>(std::forward<Args>(args)...);
  if (object == nullptr)
    return FALSE;
  *handle = object;
  return TRUE;
}

// The object behind a handle we gave out (T has `magic` and `kMagic`), or
// null with ERROR_INVALID_HANDLE.
template <typename T>
T* FromHandle(HANDLE h)
{
  auto* object = static_cast<T*>(h);
  if (object == nullptr || object->magic != T::kMagic)
    return Fail(ERROR_INVALID_HANDLE);
  return object;
}

// Frees an object behind a handle; its handle is refused from then on.
template <typename T>
void Destroy(T* object)
{
  object->magic = 0;
  delete object;
}

// A MONITOR2 table with the calls that carry a job's data to a port, in the
// table's order; the caller adds what else its monitor answers.
inline MONITOR2 PortTable(decltype(MONITOR2::pfnOpenPort) open, decltype(MONITOR2::pfnStartDocPort) startDoc,
                          decltype(MONITOR2::pfnWritePort) write, decltype(MONITOR2::pfnReadPort) read,
                          decltype(MONITOR2::pfnEndDocPort) endDoc, decltype(MONITOR2::pfnClosePort) close)
{
  MONITOR2 table{};
  table.cbSize = sizeof(MONITOR2);
  table.pfnOpenPort = open;
  table.pfnStartDocPort = startDoc;
  table.pfnWritePort = write;
  table.pfnReadPort = read;
  table.pfnEndDocPort = endDoc;
  table.pfnClosePort = close;
  return table;
}

}  // namespace vkpdll
